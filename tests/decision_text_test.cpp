// Decision texts: every row of the table of decision bytes and its colour,
// the seat-letter mode of the hand records and the names of empty seats.
#include "dialogs/decision_text.h"

#include <gtest/gtest.h>

namespace zelbo {
namespace {

const SeatNames kNames = {"Sam", "Wil", "Nan", "Eli"};

TEST(DecisionTextTest, EveryDecisionByteSaidByWest) {
  // West's L = North, O = East, R = South; the doubled seat comes first.
  // Redouble bits without their double bit are never produced: nothing is
  // shown for them rather than a decision nobody took.
  const std::pair<int, const char*> table[] = {
      {1, "Double Nan"}, {2, "Double Eli"}, {4, "Double Sam"}, {3, "Double Nan and Eli"},
      {5, "Double Nan and Sam"}, {6, "Double Eli and Sam"}, {9, "Redouble Nan"}, {18, "Redouble Eli"},
      {36, "Redouble Sam"}, {19, "D Nan and RD Eli"}, {37, "D Nan and RD Sam"}, {38, "D Eli and RD Sam"},
      {11, "D Eli and RD Nan"}, {13, "D Sam and RD Nan"}, {22, "D Sam and RD Eli"},
      {27, "Redouble Nan and Eli"}, {45, "Redouble Nan and Sam"}, {54, "Redouble Eli and Sam"}, {7, "Max"},
      {15, "Max"}, {63, "Max"}, {0, "Pass"}, {255, ""}, {8, ""}, {1 + 16, "Double Nan"}};
  for (auto [e, says] : table) {
    std::string text;
    const DecisionColour colour = e == 0 ? DecisionGreen : *says ? DecisionRed : DecisionWhite;
    EXPECT_EQ(DecisionByteText(text, e, 1, West, kNames), colour) << e;
    EXPECT_EQ(text, says) << e;
  }
}

TEST(DecisionTextTest, EntriesOfADealInTheHandRecordsModeAndEmptySeats) {
  GameState g;
  g.dealDecisions[5][0] = 22;
  g.dealDecisions[5][1] = 5;
  g.dealDecisions[5][2] = 13;
  std::string text;
  EXPECT_EQ(DecisionText(text, g, 5, South, 0, DecisionTextLetters), DecisionBlack);
  EXPECT_EQ(text, "Dominoes from the Ace");
  // Dealer South: entry 1 is West's, so L = N, O = E, R = S.
  DecisionText(text, g, 5, South, 1, DecisionTextLetters);
  EXPECT_EQ(text, "Double N and S");
  g.dealDecisions[5][1] = 13;  // double R (South), redouble L (North)
  DecisionText(text, g, 5, South, 1, DecisionTextLetters);
  EXPECT_EQ(text, "D S and RD N");
  // Index 2 belongs to North: L = E, O = S, R = W; other modes use names.
  DecisionText(text, g, 5, South, 2, 0, kNames);
  EXPECT_EQ(text, "D Wil and RD Eli");
  // Undecided and out of range: nothing.
  for (auto [deal, index] : {std::pair{5, 3}, std::pair{29, 1}, std::pair{5, 5}}) {
    EXPECT_EQ(DecisionText(text, g, deal, South, index, DecisionTextLetters), DecisionWhite);
    EXPECT_EQ(text, "");
  }
  const SeatNames names = ServerDecisionNames(kNames, {true, false, true, true});
  EXPECT_EQ(names[2], "Nan");
  DecisionByteText(text, 4, 1, North, names);  // North's RHO is West, whose seat is empty
  EXPECT_EQ(text, "Double crashee");
}

}  // namespace
}  // namespace zelbo
