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
    if (!round) g->domUp[s] = g->domDown[s] = s * 13 + startRank;
    g->tally[s] = static_cast<uint8_t>(13 - std::count(g->hands[s], g->hands[s] + 13, NoCard));
  }
  if (round) {
    g->domUp[Spades] = spadesUp;
    g->phase = PhasePlaying;
    g->playRound = round;
    g->trickDone = 0;
  }
  return g;
}

TEST(Dominoes, OnlyTheStartingCardOpensARowAndTheLayoutFollowsItsEnds) {
  auto g = Dominoes(5, "7H 8H 6H 2D|7S 9H|7D 4C|7C 5C");
  for (const char* card : {"6H", "8H", "2D"}) EXPECT_FALSE(MayPlayCard(*g, South, C(card))) << card;
  RecordingHost host;
  ASSERT_TRUE(PlayInTurn(*g, host, "7H"));
  EXPECT_EQ(g->domUp[Hearts], C("8H"));
  EXPECT_EQ(g->domDown[Hearts], C("6H"));
  EXPECT_EQ(g->tally[South], 3);
  ASSERT_TRUE(PlayInTurn(*g, host, "7S 7D 7C 8H 9H"));
  EXPECT_EQ(g->turn, South);  // North and East hold nothing to lay: passed
  ASSERT_TRUE(PlayInTurn(*g, host, "6H"));
  // The row's bytes: its lowest and its highest card laid.
  EXPECT_EQ(std::vector<int>(g->tableCards + 8 + 2 * Hearts, g->tableCards + 10 + 2 * Hearts), Cards("6H 9H"));

  g = Dominoes(12, "AS KS|AD 3C|AH 4C|AC 5C");
  ASSERT_TRUE(PlayInTurn(*g, host, "AS AD AH AC KS"));
  EXPECT_EQ(g->domUp[Spades], DomClosed);  // the Ace closes the upper end
  EXPECT_EQ(std::vector<int>(g->tableCards + 8 + 2 * Spades, g->tableCards + 10 + 2 * Spades), Cards("KS AS"));
  g = Dominoes(0, "2D 3D|2S 3C|2H 4C|2C 5C");
  ASSERT_TRUE(PlayInTurn(*g, host, "2D"));
  EXPECT_EQ(g->domDown[Diamonds], DomClosed);  // the Two closes the lower end
}

TEST(Dominoes, PlacingsScoreAndSeatsWithoutACardPass) {
  auto g = Dominoes(5, "TS|QS AS|JS|KS", 20, C("TS"));
  RecordingHost host;
  ASSERT_TRUE(PlayInTurn(*g, host, "TS"));
  EXPECT_EQ(g->handScore[South], 45);  // out first
  EXPECT_EQ(g->turn, North);  // West holds no Jack of Spades: passed
  EXPECT_EQ(g->playRecords[1][20][West], NoCard);
  ASSERT_TRUE(PlayInTurn(*g, host, "JS"));
  EXPECT_EQ(g->playRound, 21);  // East and South pass; the round ends
  ASSERT_TRUE(PlayInTurn(*g, host, "QS KS AS"));
  EXPECT_EQ(DealScores(*g, 1), (std::vector<int>{45, -5, 20, 5}));

  g = Dominoes(5, "|JS QS KS||", 30, C("JS"));  // the last player lays alone, round by round
  g->placesTaken = 3;
  g->turn = West;
  ASSERT_TRUE(PlayInTurn(*g, host, "JS QS"));
  EXPECT_EQ(g->playRound, 32);
  for (int s : {North, East, South}) EXPECT_EQ(g->playRecords[1][31][s], NoCard);
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
