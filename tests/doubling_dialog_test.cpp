#include "dialogs/doubling_model.h"

#include <gtest/gtest.h>

namespace zelbo {
namespace {

const std::string Handles[4] = {"Sam", "Wanda", "Ned", "Eve"};

// A game in the doubling round of deal `deal` with `contract`, no doubles yet.
GameState Round(int dealer, int turn, int contract, int deal = 1) {
  GameState g;
  g.phase = PhaseChoosing;
  g.dealNumber = deal;
  g.dealer = dealer;
  g.turn = turn;
  g.dealDecisions[deal][0] = static_cast<uint8_t>(contract);
  for (auto& row : g.doubleFactor)
    for (auto& f : row) f = 1;
  g.forcedDouble = 0;
  return g;
}

TEST(DoublingDialog, PositiveContractOffersOnlyTheDealer) {
  // Dealer South; steps 1..3 are West, North, East.
  for (int step = 1; step <= 3; ++step) {
    GameState g = Round(South, step, 8);
    DoublingModel m;
    int self = SeatMod(South + step);
    m.Open(g, self, Handles);
    int dealerBox = 3 - step;  // step 1: RHO box, step 2: OO, step 3: LHO
    for (int b = 0; b < 3; ++b) {
      EXPECT_EQ(m.enabled(b), b == dealerBox) << "step " << step << " box " << b;
      EXPECT_FALSE(m.checked(b));
    }
    EXPECT_EQ(m.label(dealerBox), "Double Sam");
    EXPECT_EQ(m.seat(dealerBox), South);
  }
}

TEST(DoublingDialog, DominoesCountsAsPositive) {
  GameState g = Round(North, 1, 15);
  DoublingModel m;
  m.Open(g, East, Handles);
  EXPECT_FALSE(m.enabled(0));
  EXPECT_FALSE(m.enabled(1));
  EXPECT_TRUE(m.enabled(2));
  EXPECT_EQ(m.label(2), "Double Ned");
}

TEST(DoublingDialog, NegativeContractAnswerIsARedouble) {
  // Dealer South, negative contract; West (step 1) doubled North (step 2).
  GameState g = Round(South, 2, NoQueens);
  g.doubleFactor[West][North] = g.doubleFactor[North][West] = 2;
  DoublingModel m;
  m.Open(g, North, Handles);
  for (int b = 0; b < 3; ++b) EXPECT_TRUE(m.enabled(b));
  EXPECT_EQ(m.label(0), "Double Eve");      // LHO of North is East
  EXPECT_EQ(m.label(1), "Double Sam");      // OO
  EXPECT_EQ(m.label(2), "Redouble Wanda");  // RHO is West, who doubled
  m.SetChecked(2, true);
  EXPECT_EQ(m.Bits(), 36);
  m.SetChecked(0, true);
  EXPECT_EQ(m.Bits(), 37);
}

TEST(DoublingDialog, DealerStepOffersOnlyThoseWhoDoubled) {
  GameState g = Round(South, 4, 7);
  g.doubleFactor[South][West] = g.doubleFactor[West][South] = 2;
  DoublingModel m;
  m.Open(g, South, Handles);
  EXPECT_TRUE(m.enabled(0));
  EXPECT_FALSE(m.enabled(1));
  EXPECT_FALSE(m.enabled(2));
  EXPECT_EQ(m.label(0), "Redouble Wanda");
  m.SetChecked(0, true);
  EXPECT_EQ(m.Bits(), 9);
}

TEST(DoublingDialog, ForcedDoubleIsCheckedAndLocked) {
  GameState g = Round(South, 3, 7);
  g.forcedDouble = 1;
  DoublingModel m;
  m.Open(g, East, Handles);
  EXPECT_TRUE(m.checked(0));
  EXPECT_FALSE(m.enabled(0));
  EXPECT_EQ(m.Bits(), 1);  // a locked checked box still counts
  // Forced at step 1 and 2 lands on the RHO and OO boxes.
  g = Round(South, 1, 2);
  g.forcedDouble = 1;
  m.Open(g, West, Handles);
  EXPECT_TRUE(m.checked(2));
  EXPECT_FALSE(m.enabled(2));
  EXPECT_TRUE(m.enabled(0));
  EXPECT_EQ(m.Bits(), 4);
}

TEST(DoublingDialog, OkWithNothingCheckedPasses) {
  GameState g = Round(South, 1, 3);
  DoublingModel m;
  m.Open(g, West, Handles);
  EXPECT_EQ(m.Bits(), 0);
}

TEST(DoublingDialog, EveryRedoubleComboSendsItsBits) {
  GameState g = Round(South, 4, 1);
  for (int s = 1; s < 4; ++s) g.doubleFactor[South][s] = g.doubleFactor[s][South] = 2;
  DoublingModel m;
  m.Open(g, South, Handles);
  for (int b = 0; b < 3; ++b) m.SetChecked(b, true);
  EXPECT_EQ(m.Bits(), 63);
}

TEST(DoublingDialog, ReopeningUnchecksEverything) {
  GameState g = Round(South, 1, 3);
  DoublingModel m;
  m.Open(g, West, Handles);
  m.SetChecked(1, true);
  m.Open(g, West, Handles);
  EXPECT_EQ(m.Bits(), 0);
}

}  // namespace
}  // namespace zelbo
