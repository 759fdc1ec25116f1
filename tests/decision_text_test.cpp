// Decision texts and what they say: every decision byte, the seat letters of
// the hand records, and names.
#include "engine/decision_text.h"

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
  GameState g;  // dealer South: entry 1 is West's
  for (auto [e, says] : table) {
    std::string text;
    g.dealDecisions[3][1] = static_cast<uint8_t>(e);
    const DecisionSort sort = e == 0 ? DecisionSort::Pass : *says ? DecisionSort::Doubles : DecisionSort::Undecided;
    EXPECT_EQ(DecisionText(text, g, 3, South, 1, kNames), sort) << e;
    EXPECT_EQ(text, says) << e;
  }
}

TEST(DecisionTextTest, EntriesOfADealBySeatLettersOrNames) {
  // Dealer South: entry 1 is West's (L = N, O = E, R = S), entry 2 North's (L = E, O = S, R = W).
  GameState g;
  g.dealDecisions[5][0] = 22;
  g.dealDecisions[5][2] = 13;
  const std::tuple<int, int, int, const char*> rows[] = {  // deal, entry, byte of entry 1, text
      {5, 0, 5, "Dominoes from the Ace"}, {5, 1, 5, "Double N and S"}, {5, 1, 13, "D S and RD N"},
      {5, 3, 5, ""}, {29, 1, 5, ""}, {5, 5, 5, ""}};
  std::string text;
  for (auto [deal, index, e, says] : rows) {
    g.dealDecisions[5][1] = static_cast<uint8_t>(e);
    const DecisionSort sort = DecisionText(text, g, deal, South, index, SeatLetterNames());
    EXPECT_EQ(text, says);
    EXPECT_EQ(sort, index == 0 ? DecisionSort::Contract : *says ? DecisionSort::Doubles : DecisionSort::Undecided) << says;
  }
  DecisionText(text, g, 5, South, 2, kNames);
  EXPECT_EQ(text, "D Wil and RD Eli");
}

}  // namespace
}  // namespace zelbo
