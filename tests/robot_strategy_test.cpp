// The robot's choices: always allowed, deterministic, blind to other hands,
// and sensible in the situations each contract's play turns on.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "robot/robot_match.h"
#include "robot/seat_view.h"
#include "robot/strategy.h"
#include "tests/engine_fixtures.h"

namespace zelbo {
namespace {

using testing::C;
using testing::Cards;

// A mirror in the middle of a trick: `seat` to play with `hand`; `trick`
// lists the cards already played from `leader` on.
GameState TrickState(int contract, int seat, const std::string& hand, int leader,
                     const std::string& trick, int round = 4) {
  GameState g;
  g.phase = PhasePlaying;
  g.dealNumber = 6;
  g.dealer = 1;
  g.contract = contract;
  g.turn = seat;
  g.playRound = round;
  std::vector<int> cards = Cards(hand);
  std::sort(cards.rbegin(), cards.rend());
  for (std::size_t i = 0; i < cards.size(); ++i) g.hands[seat][i] = static_cast<uint8_t>(cards[i]);
  int s = leader;
  for (int c : Cards(trick)) {
    g.tableCards[s] = static_cast<uint8_t>(c);
    s = NextSeat(s);
  }
  return g;
}

TEST(RobotStrategy, WholeGamesOfRobotsAreAllowedAndDeterministic) {
  for (uint32_t seed : {3u, 11u}) {
    EngineHost host;
    GameState first, second;
    const MatchResult a = PlayRobotMatch(seed, 0xF, first, host);
    const MatchResult b = PlayRobotMatch(seed, 0xF, second, host);
    EXPECT_TRUE(a.finished);
    EXPECT_EQ(a.refusedMoves, 0);
    EXPECT_EQ(a.robotMoves, b.robotMoves);
    EXPECT_GT(a.robotMoves, 28 * 20);
    EXPECT_TRUE(SameGame(first, second)) << "seed " << seed;
  }
}

TEST(RobotStrategy, BeatsFirstChoicePlayersFromEverySeat) {
  EngineHost host;
  GameState g;
  double diff = 0;
  for (int i = 0; i < 24; ++i) {
    const int seat = i % 4;
    const MatchResult r = PlayRobotMatch(100 + static_cast<uint32_t>(i), 1u << seat, g, host);
    ASSERT_TRUE(r.finished);
    ASSERT_EQ(r.refusedMoves, 0);
    double others = 0;
    for (int s = 0; s < 4; ++s)
      if (s != seat) others += g.totalScores[s];
    diff += g.totalScores[seat] - others / 3;
  }
  EXPECT_GT(diff / 24, 50.0);
}

TEST(RobotStrategy, NeverLooksAtOtherHands) {
  // The same visible state with different hidden hands gives the same move.
  EngineHost host;
  GameState g;
  ResetGameState(g);
  g.randomSeed = 9;
  NewGame(g, host, 9);
  GameState other = g;
  for (int s = 0; s < 4; ++s)
    if (s != g.dealer) std::reverse(other.hands[s], other.hands[s] + 13);
  std::memset(other.dealRecords, 0, sizeof other.dealRecords);
  const RobotMove a = DecideMove(g, g.dealer);
  const RobotMove b = DecideMove(other, g.dealer);
  EXPECT_EQ(a.kind, RobotMoveKind::Contract);
  EXPECT_EQ(a.value, b.value);
}

TEST(RobotStrategy, ChoosesTheKindTheHandSuits) {
  GameState g;
  g.phase = PhaseChoosing;
  g.dealNumber = 1;
  g.dealer = South;
  g.turn = 0;
  std::memset(g.contractsLeft[South], 1, sizeof g.contractsLeft[South]);
  const std::vector<int> spades = Cards("AS KS QS JS TS 9S 8S AH AD KD 2C 3C 4H");
  std::vector<int> hand = spades;
  std::sort(hand.rbegin(), hand.rend());
  for (int i = 0; i < 13; ++i) g.hands[South][i] = static_cast<uint8_t>(hand[i]);
  EXPECT_EQ(ChooseContract(g, South), FirstTrumps + Spades);

  const std::vector<int> low = Cards("2S 3S 4S 2H 3H 4H 5H 2D 3D 4D 2C 3C 4C");
  hand = low;
  std::sort(hand.rbegin(), hand.rend());
  for (int i = 0; i < 13; ++i) g.hands[South][i] = static_cast<uint8_t>(hand[i]);
  // All four Twos and nothing high: Dominoes from the Two, or else any
  // negative contract, but never Trumps.
  EXPECT_EQ(ChooseContract(g, South), FirstDominoes);
  g.contractsLeft[South][KindDominoes] = 0;
  EXPECT_TRUE(IsNegative(ChooseContract(g, South)));
  // Not the dealer, or not the contract step: nothing to choose.
  EXPECT_EQ(ChooseContract(g, West), 0);
  g.turn = 1;
  EXPECT_EQ(ChooseContract(g, South), 0);
}

TEST(RobotStrategy, HonoursAForcedDoubleWithAWeakHand) {
  GameState g;
  g.phase = PhaseChoosing;
  g.dealNumber = 25;  // the seventh deal of this dealer's boat
  g.dealer = North;
  g.contract = FirstTrumps + Hearts;
  g.dealDecisions[25][0] = static_cast<uint8_t>(g.contract);
  g.turn = 1;  // East acts
  g.doublesOwed[East] = 2;
  g.forcedDouble = 1;
  const std::vector<int> weak = Cards("2S 3S 4S 5S 2D 3D 4D 5D 2C 3C 4C 5C 6C");
  for (int i = 0; i < 13; ++i) g.hands[East][i] = static_cast<uint8_t>(weak[12 - i]);
  const int byte = ChooseDoubles(g, East);
  EXPECT_EQ(byte, 4);  // the dealer North is East's RHO
  // Not forced: the weak hand passes.
  g.doublesOwed[East] = 0;
  g.forcedDouble = 0;
  EXPECT_EQ(ChooseDoubles(g, East), 0);
  EXPECT_EQ(ChooseDoubles(g, South), -1);  // not South's step
}

TEST(RobotStrategy, DoublesTheDealerWithAStrongHand) {
  GameState g;
  g.phase = PhaseChoosing;
  g.dealNumber = 2;
  g.dealer = West;
  g.contract = FirstTrumps + Spades;
  g.dealDecisions[2][0] = static_cast<uint8_t>(g.contract);
  g.turn = 3;  // South acts; its LHO is the dealer
  std::vector<int> strong = Cards("AS KS QS JS TS 9S AH KH AD KD AC KC QC");
  std::sort(strong.rbegin(), strong.rend());
  for (int i = 0; i < 13; ++i) g.hands[South][i] = static_cast<uint8_t>(strong[i]);
  EXPECT_EQ(ChooseDoubles(g, South), 1);
}

TEST(RobotStrategy, NegativeContractsDuckUnderTheWinner) {
  // Misere, Spades led with the Ten winning: duck with the Nine, the highest
  // card that still loses.
  GameState g = TrickState(Misere, North, "AS 9S 4S 2S 5H", East, "8S TS");
  EXPECT_EQ(ChooseCard(g, North), C("9S"));
  // Nothing under the winner and others still to play: the lowest card, so
  // that they may go over it...
  g = TrickState(Misere, West, "QS AS 2H", South, "JS");
  EXPECT_EQ(ChooseCard(g, West), C("QS"));
  // ...but last to play, the trick is ours: throw the highest.
  g = TrickState(Misere, West, "QS AS 2H", North, "JS 3S 5S");
  EXPECT_EQ(ChooseCard(g, West), C("AS"));
  // No Queens: never the Queen while another card will do.
  g = TrickState(NoQueens, West, "KS QS 5H", North, "8S TS 9S");
  EXPECT_EQ(ChooseCard(g, West), C("KS"));
  g = TrickState(NoQueens, West, "KS QS 5H", East, "8S TS");
  EXPECT_EQ(ChooseCard(g, West), C("KS"));
}

TEST(RobotStrategy, VoidInTheLedSuitShedsTheDangerousCard) {
  EXPECT_EQ(ChooseCard(TrickState(NoQueens, South, "QD AC 2C 3H", West, "5S 6S 7S"), South), C("QD"));
  EXPECT_EQ(ChooseCard(TrickState(NoHearts, South, "AH 3H KC 2C", West, "5S 6S 7S"), South), C("AH"));
  EXPECT_EQ(ChooseCard(TrickState(Zelbo, South, "AH KH 2C AC", West, "5S 6S 7S"), South), C("KH"));
  EXPECT_EQ(ChooseCard(TrickState(Misere, South, "AC 2C 3H 5D", West, "5S 6S 7S"), South), C("AC"));
}

TEST(RobotStrategy, TrumpsWinsTheTrickCheaply) {
  // Last to play, Hearts trumps, Clubs led with the Queen winning: win with
  // the King, not the Ace.
  GameState g = TrickState(FirstTrumps + Hearts, East, "AC KC 3C 7H", South, "5C QC 9C");
  EXPECT_EQ(ChooseCard(g, East), C("KC"));
  // Void in Clubs: ruff with the lowest trump that the rules allow.
  g = TrickState(FirstTrumps + Hearts, East, "AH 7H 3H 2D", South, "5C QC 9C");
  EXPECT_EQ(ChooseCard(g, East), C("3H"));
  // Cannot win: throw the lowest side card and keep the trumps.
  g = TrickState(FirstTrumps + Hearts, East, "AD 4D 3S 2H", South, "5C QC AC");
  EXPECT_EQ(ChooseCard(g, East), C("2H"));  // void in Clubs with a trump: must ruff
  g = TrickState(FirstTrumps + Hearts, East, "AD 4D 3S KC", South, "5C QC AC");
  EXPECT_EQ(ChooseCard(g, East), C("KC"));  // must follow Clubs
  g = TrickState(FirstTrumps + Hearts, East, "AD 4D 3S 9D", South, "5C 4H AC");
  EXPECT_EQ(ChooseCard(g, East), C("3S"));
}

TEST(RobotStrategy, DominoesOpensOwnRunsAndHoldsBackOthers) {
  GameState g;
  g.phase = PhaseFirstLead;
  g.dealNumber = 4;
  g.dealer = South;
  g.turn = South;
  g.contract = FirstDominoes + 5;  // from the Seven
  // Both Sevens are playable; the Seven of Spades leads on to our own Eight
  // and Nine, the Seven of Diamonds only opens rows for the others.
  std::vector<int> hand = Cards("9S 8S 7S 7D 2C 3C");
  std::sort(hand.rbegin(), hand.rend());
  for (std::size_t i = 0; i < hand.size(); ++i) g.hands[South][i] = static_cast<uint8_t>(hand[i]);
  EXPECT_EQ(ChooseCard(g, South), C("7S"));
}

}  // namespace
}  // namespace zelbo
