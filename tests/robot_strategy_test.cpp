// The robot's choices in the situations each contract's play turns on.
#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <utility>

#include "engine/engine.h"
#include "robot/strategy.h"
#include "tests/engine_fixtures.h"

namespace zelbo {
namespace {

using testing::C;
using testing::Cards;
using testing::SetHand;

TEST(RobotStrategy, ChoosesTheKindTheHandSuitsAndDoublesWhenItShould) {
  GameState g;
  g.phase = PhaseChoosing;
  g.dealNumber = 1;
  g.dealer = South;
  std::memset(g.contractsLeft[South], 1, sizeof g.contractsLeft[South]);
  SetHand(g, South, Cards("AS KS QS JS TS 9S 8S AH AD KD 2C 3C 4H"));
  EXPECT_EQ(ChooseContract(g, South), FirstTrumps + Spades);
  // All four Twos and nothing high: Dominoes from the Two, else a negative.
  SetHand(g, South, Cards("2S 3S 4S 2H 3H 4H 5H 2D 3D 4D 2C 3C 4C"));
  EXPECT_EQ(ChooseContract(g, South), FirstDominoes);
  g.contractsLeft[South][KindDominoes] = 0;
  EXPECT_TRUE(IsNegative(ChooseContract(g, South)));

  // Trumps Spades by West; South (step 3, LHO of the dealer) doubles the
  // dealer with a strong hand and passes with a weak one.
  g.dealer = West;
  g.contract = FirstTrumps + Spades;
  g.dealDecisions[1][0] = static_cast<uint8_t>(g.contract);
  g.turn = 3;
  SetHand(g, South, Cards("AS KS QS JS TS 9S AH KH AD KD AC KC QC"));
  EXPECT_EQ(ChooseDoubles(g, South), 1);
  const std::vector<int> weak = Cards("2S 3S 4S 5S 2D 3D 4D 5D 2C 3C 4C 5C 6C");
  SetHand(g, South, weak);
  EXPECT_EQ(ChooseDoubles(g, South), 0);
  // Deal 25, the seventh of North's boat: East (step 1) owes North doubles
  // and must double the dealer, its RHO, whatever its hand.
  g.dealNumber = 25;
  g.dealer = North;
  g.dealDecisions[25][0] = static_cast<uint8_t>(g.contract);
  g.turn = 1;
  SetHand(g, East, weak);
  g.doublesOwed[East] = 2;
  g.forcedDouble = 1;
  EXPECT_EQ(ChooseDoubles(g, East), 4);
}

TEST(RobotStrategy, PlaysTheCardEachContractCallsFor) {
  // Contract, seat, its hand, leader, cards played from the leader on, the card, why.
  constexpr int TrumpHearts = FirstTrumps + Hearts;
  const std::tuple<int, int, const char*, int, const char*, const char*, const char*> cases[] = {
      {Misere, North, "AS 9S 4S 2S 5H", South, "8S TS", "9S", "duck under the winner"},
      {Misere, West, "QS AS 2H", South, "JS", "QS", "others to come: lowest"},
      {Misere, West, "QS AS 2H", North, "JS 3S 5S", "AS", "last, winning anyway: highest"},
      {NoQueens, West, "KS QS 5H", North, "8S TS 9S", "KS", "not the Queen"},
      {NoQueens, South, "QD AC 2C 3H", West, "5S 6S 7S", "QD", "void: shed the Queen"},
      {NoHearts, South, "AH 3H KC 2C", West, "5S 6S 7S", "AH", "void: shed the Ace of Hearts"},
      {Zelbo, South, "AH KH 2C AC", West, "5S 6S 7S", "KH", "void: shed the King of Hearts"},
      {Misere, South, "AC 2C 3H 5D", West, "5S 6S 7S", "AC", "void: shed the high card"},
      {TrumpHearts, East, "AC KC 3C 7H", South, "5C QC 9C", "KC", "win with the King, not the Ace"},
      {TrumpHearts, East, "AH 7H 3H 2D", South, "5C QC 9C", "3H", "ruff with the lowest trump"},
      {TrumpHearts, East, "AD 4D 3S 9D", South, "5C 4H AC", "3S", "cannot win: lowest side card"},
      {FirstDominoes + 5, South, "9S 8S 7S 7D 2C 3C", South, "", "7S",
       "the Seven of Spades opens our own run, the Seven of Diamonds others'"},
  };
  for (const auto& [contract, seat, hand, leader, trick, expected, why] : cases) {
    GameState g;
    g.phase = *trick ? PhasePlaying : PhaseFirstLead;
    g.dealNumber = 6;
    g.dealer = *trick ? West : seat;
    g.contract = contract;
    g.turn = seat;
    g.playRound = *trick ? 4 : 0;
    SetHand(g, seat, Cards(hand));
    int s = leader;
    for (int card : Cards(trick)) g.tableCards[std::exchange(s, NextSeat(s))] = uint8_t(card);
    EXPECT_EQ(ChooseCard(g, seat), C(expected)) << why;
  }
}

}  // namespace
}  // namespace zelbo
