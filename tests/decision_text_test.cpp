// Decision texts: every row of the table of decision bytes, the colours,
// the seat-letter mode of the hand records and the names of empty seats.
#include "dialogs/decision_text.h"

#include <gtest/gtest.h>

namespace zelbo {
namespace {

const SeatNames kNames = {"Sam", "Wil", "Nan", "Eli"};

// Text of byte `e` for the seat West (so L = North, O = East, R = South).
std::string WestSays(int e, DecisionColour* colour = nullptr) {
  std::string text;
  const DecisionColour c = DecisionByteText(text, e, 1, West, kNames);
  if (colour) *colour = c;
  return text;
}

TEST(DecisionTextTest, EveryDecisionByteOfTheTable) {
  const std::pair<int, const char*> table[] = {
      {1, "Double Nan"},
      {2, "Double Eli"},
      {4, "Double Sam"},
      {3, "Double Nan and Eli"},
      {5, "Double Nan and Sam"},
      {6, "Double Eli and Sam"},
      {9, "Redouble Nan"},
      {18, "Redouble Eli"},
      {36, "Redouble Sam"},
      {19, "D Nan and RD Eli"},
      {37, "D Nan and RD Sam"},
      {38, "D Eli and RD Sam"},
      {11, "D Eli and RD Nan"},  // the doubled seat comes first
      {13, "D Sam and RD Nan"},
      {22, "D Sam and RD Eli"},
      {27, "Redouble Nan and Eli"},
      {45, "Redouble Nan and Sam"},
      {54, "Redouble Eli and Sam"},
  };
  for (auto [e, text] : table) {
    DecisionColour colour;
    EXPECT_EQ(WestSays(e, &colour), text) << e;
    EXPECT_EQ(colour, DecisionRed) << e;
  }
}

TEST(DecisionTextTest, MaxPassUndecidedAndOddBytes) {
  DecisionColour colour;
  for (int e : {7, 15, 63}) {
    EXPECT_EQ(WestSays(e, &colour), "Max");
    EXPECT_EQ(colour, DecisionRed);
  }
  EXPECT_EQ(WestSays(0, &colour), "Pass");
  EXPECT_EQ(colour, DecisionGreen);
  EXPECT_EQ(WestSays(255, &colour), "");
  EXPECT_EQ(colour, DecisionWhite);
  // Redouble bits without their double bit are never produced; they show
  // nothing rather than a decision nobody took.
  EXPECT_EQ(WestSays(8, &colour), "");
  EXPECT_EQ(colour, DecisionWhite);
  EXPECT_EQ(WestSays(1 + 16), "Double Nan");
}

TEST(DecisionTextTest, EntriesOfADealInTheHandRecordsMode) {
  GameState g;
  g.dealDecisions[5][0] = 22;
  g.dealDecisions[5][1] = 5;
  g.dealDecisions[5][2] = 13;
  std::string text;
  // Dealer South: entry 1 is West's, so L = N, O = E, R = S.
  EXPECT_EQ(DecisionText(text, g, 5, South, 0, DecisionTextLetters), DecisionBlack);
  EXPECT_EQ(text, "Dominoes from the Ace");
  DecisionText(text, g, 5, South, 1, DecisionTextLetters);
  EXPECT_EQ(text, "Double N and S");
  // e = 13 at index 1: double R (South), redouble L (North).
  g.dealDecisions[5][1] = 13;
  DecisionText(text, g, 5, South, 1, DecisionTextLetters);
  EXPECT_EQ(text, "D S and RD N");
  // Index 2 belongs to North: L = E, O = S, R = W; other modes use names.
  DecisionText(text, g, 5, South, 2, 0, kNames);
  EXPECT_EQ(text, "D Wil and RD Eli");
  EXPECT_EQ(DecisionText(text, g, 5, South, 3, DecisionTextLetters), DecisionWhite);
  EXPECT_EQ(text, "");
  // Out of range: nothing.
  EXPECT_EQ(DecisionText(text, g, 29, South, 1, DecisionTextLetters), DecisionWhite);
  EXPECT_EQ(DecisionText(text, g, 5, South, 5, DecisionTextLetters), DecisionWhite);
  EXPECT_EQ(text, "");
}

TEST(DecisionTextTest, EmptySeatsOfTheServerAreCrashees) {
  const SeatNames names = ServerDecisionNames(kNames, {true, false, true, true});
  EXPECT_EQ(names[1], "crashee");
  EXPECT_EQ(names[2], "Nan");
  std::string text;
  DecisionByteText(text, 4, 1, North, names);  // North's RHO is West
  EXPECT_EQ(text, "Double crashee");
}

}  // namespace
}  // namespace zelbo
