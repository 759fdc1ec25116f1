#include <gtest/gtest.h>

#include "tests/engine_fixtures.h"

namespace zelbo {
namespace {

using namespace zelbo::testing;

// Deal 1 of Dominoes at the first card, every row open at the starting rank;
// or, at round `round`, with every row closed but Spades, open above `spadesUp`.
std::unique_ptr<GameState> Dominoes(int startRank, const std::string& hands, int round = 0, int spadesUp = 0) {
  auto g = FirstLead(FirstDominoes + startRank, South, hands);
  for (int s = 0; s < 4; ++s) {
    g->domUp[s] = g->domDown[s] = round ? DomClosed : s * 13 + startRank;
    g->tally[s] = static_cast<uint8_t>(13 - std::count(g->hands[s], g->hands[s] + 13, NoCard));
  }
  if (round) g->domUp[Spades] = spadesUp;
  g->phase = round ? PhasePlaying : PhaseFirstLead;
  g->playRound = round;
  g->trickDone = round ? 0 : 1;
  return g;
}

std::vector<int> Row(const GameState& g, int suit) {
  return {g.domDown[suit], g.domUp[suit], g.tableCards[8 + 2 * suit], g.tableCards[9 + 2 * suit]};
}

TEST(Dominoes, OnlyTheStartingCardOpensARowAndTheLayoutFollowsItsEnds) {
  auto g = Dominoes(5, "7H 8H 6H 2D|7S 9H|7D 4C|7C 5C");
  for (const char* card : {"6H", "8H", "2D"}) EXPECT_FALSE(MayPlayCard(*g, South, C(card))) << card;
  RecordingHost host;
  ASSERT_TRUE(PlayInTurn(*g, host, "7H"));
  EXPECT_EQ(Row(*g, Hearts), Cards("6H 8H 7H --"));
  ASSERT_TRUE(PlayInTurn(*g, host, "7S 7D 7C 8H 9H 6H"));  // North and East pass before the 6H
  EXPECT_EQ(Row(*g, Hearts), Cards("5H TH 6H 9H"));  // the open ends, the lowest and highest laid
  g = Dominoes(12, "AS KS|AD 3C|AH 4C|AC 5C");
  ASSERT_TRUE(PlayInTurn(*g, host, "AS AD AH AC KS"));
  EXPECT_EQ(Row(*g, Spades), (std::vector<int>{C("QS"), DomClosed, C("KS"), C("AS")}));
  g = Dominoes(0, "2D 3D|2S 3C|2H 4C|2C 5C");
  ASSERT_TRUE(PlayInTurn(*g, host, "2D"));
  EXPECT_EQ(Row(*g, Diamonds), (std::vector<int>{DomClosed, C("3D"), C("2D"), NoCard}));
}

TEST(Dominoes, PlacingsScoreAndSeatsWithoutACardPass) {
  auto g = Dominoes(5, "TS|QS AS|JS|KS", 20, C("TS"));
  RecordingHost host;
  ASSERT_TRUE(PlayInTurn(*g, host, "TS"));
  EXPECT_EQ(g->turn, North);  // West holds no Jack of Spades: passed
  EXPECT_EQ(g->playRecords[1][20][West], NoCard);
  ASSERT_TRUE(PlayInTurn(*g, host, "JS QS KS AS"));
  EXPECT_EQ(DealScores(*g, 1), (std::vector<int>{45, -5, 20, 5}));
  g = Dominoes(5, "|JS QS KS||", 30, C("JS"));  // the last player lays alone, round by round
  g->placesTaken = 3;
  g->turn = West;
  ASSERT_TRUE(PlayInTurn(*g, host, "JS QS"));
  EXPECT_EQ(g->playRound, 32);
  EXPECT_EQ(std::vector<int>(g->playRecords[1][31], g->playRecords[1][31] + 4), Cards("-- QS -- --"));
  ASSERT_TRUE(PlayInTurn(*g, host, "KS"));
  EXPECT_EQ(g->dealScores[1][West], -5);
}

TEST(Dominoes, ADamagedRecordWithNoPlayableSeatStopsWithoutLooping) {
  auto g = Dominoes(5, "7S 2D|3D|4D|5D", 1, C("7S"));
  g->domDown[Spades] = C("7S");
  RecordingHost host;
  ASSERT_TRUE(PlayInTurn(*g, host, "7S"));  // nobody can lay 6S or 8S
  EXPECT_EQ(g->phase, PhasePlaying);
  EXPECT_LT(g->playRound, DominoRounds);
}

}  // namespace
}  // namespace zelbo
