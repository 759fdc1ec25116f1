#include <gtest/gtest.h>

#include "tests/engine_fixtures.h"

namespace zelbo {
namespace {

using namespace zelbo::testing;

// Deal 1 of Dominoes at the first card, rows set up as the round's close
// leaves them; `tally` counts the cards held.
std::unique_ptr<GameState> DominoesLead(int startRank, int dealer, const std::string (&hands)[4]) {
  auto g = FirstLead(FirstDominoes + startRank, dealer, hands);
  for (int s = 0; s < 4; ++s) {
    g->domUp[s] = g->domDown[s] = s * 13 + startRank;
    g->tally[s] = static_cast<uint8_t>(Cards(hands[s]).size());
  }
  return g;
}

TEST(Dominoes, OnlyTheStartingCardOpensARow) {
  const std::string hands[4] = {"7H 6H 8H 2D", "7S 3C", "7D 4C", "7C 5C"};
  auto g = DominoesLead(5, South, hands);
  EXPECT_FALSE(MayPlayCard(*g, South, C("6H")));
  EXPECT_FALSE(MayPlayCard(*g, South, C("8H")));
  EXPECT_FALSE(MayPlayCard(*g, South, C("2D")));
  RecordingHost host;
  PLAY(g, host, South, "7H");
  EXPECT_EQ(g->domUp[Hearts], C("8H"));
  EXPECT_EQ(g->domDown[Hearts], C("6H"));
  EXPECT_EQ(g->tableCards[8 + 2 * Hearts], C("7H"));
  EXPECT_EQ(g->tableCards[9 + 2 * Hearts], NoCard);
  EXPECT_EQ(g->tally[South], 3);
  EXPECT_EQ(g->phase, PhasePlaying);
}

TEST(Dominoes, RowEndsCloseAtTheAceAndTheTwo) {
  const std::string aces[4] = {"AS KS", "AD 3C", "AH 4C", "AC 5C"};
  auto g = DominoesLead(12, South, aces);
  RecordingHost host;
  PLAY(g, host, South, "AS");
  EXPECT_EQ(g->domUp[Spades], DomClosed);
  EXPECT_EQ(g->domDown[Spades], C("KS"));
  PLAY(g, host, West, "AD");
  PLAY(g, host, North, "AH");
  PLAY(g, host, East, "AC");
  PLAY(g, host, South, "KS");
  // A card below the start: the row's high byte is the Ace, its upper end closed.
  EXPECT_EQ(g->tableCards[8 + 2 * Spades], C("KS"));
  EXPECT_EQ(g->tableCards[9 + 2 * Spades], C("AS"));

  const std::string twos[4] = {"2D 3D", "2S 3C", "2H 4C", "2C 5C"};
  g = DominoesLead(0, South, twos);
  PLAY(g, host, South, "2D");
  EXPECT_EQ(g->domDown[Diamonds], DomClosed);
  EXPECT_EQ(g->domUp[Diamonds], C("3D"));
}

TEST(Dominoes, LayoutBytesFollowTheLowestAndHighestCardsLaid) {
  const std::string hands[4] = {"7H 6H 5H", "8H 9H 3C", "7D 4C", "7C 5C"};
  auto g = DominoesLead(5, South, hands);
  RecordingHost host;
  PLAY(g, host, South, "7H");
  PLAY(g, host, West, "8H");
  EXPECT_EQ(g->tableCards[9 + 2 * Hearts], C("8H"));
  PLAY(g, host, North, "7D");
  PLAY(g, host, East, "7C");
  PLAY(g, host, South, "6H");
  EXPECT_EQ(g->tableCards[8 + 2 * Hearts], C("6H"));
  EXPECT_EQ(g->tableCards[9 + 2 * Hearts], C("8H"));  // domUp - 1
}

TEST(Dominoes, PlacingsScoreAndSeatsWithoutACardPass) {
  // Only Spades remain: the row runs 2S..9S, the other suits are closed.
  const std::string hands[4] = {"TS", "QS AS", "JS", "KS"};
  auto g = DominoesLead(5, South, hands);
  g->phase = PhasePlaying;
  g->playRound = 20;
  for (int s = 0; s < 4; ++s) {
    g->domUp[s] = g->domDown[s] = DomClosed;
    std::memset(g->tableCards, NoCard, sizeof g->tableCards);
  }
  g->domUp[Spades] = C("TS");
  g->trickDone = 0;
  RecordingHost host;

  PLAY(g, host, South, "TS");
  EXPECT_EQ(g->handScore[South], 45);  // out first, the others still holding cards
  EXPECT_EQ(g->placesTaken, 1);
  EXPECT_EQ(g->turn, North);           // West holds no Jack of Spades: passed
  EXPECT_EQ(g->playRecords[1][20][West], NoCard);
  EXPECT_EQ(g->tableCards[West], NoCard);
  PLAY(g, host, North, "JS");
  EXPECT_EQ(g->handScore[North], 20);
  EXPECT_EQ(g->turn, West);            // East and South pass; round 21 begins at South
  EXPECT_EQ(g->playRound, 21);
  PLAY(g, host, West, "QS");
  PLAY(g, host, East, "KS");
  EXPECT_EQ(g->handScore[East], 5);
  EXPECT_EQ(g->playRound, 22);
  PLAY(g, host, West, "AS");
  // The last card ends the hand: -5, and the placings sum to 65.
  EXPECT_EQ(g->dealNumber, 2);
  EXPECT_EQ(g->dealScores[1][West], -5);
  EXPECT_EQ(g->dealScores[1][South] + g->dealScores[1][West] + g->dealScores[1][North] +
                g->dealScores[1][East],
            65);
}

TEST(Dominoes, TheLastPlayerLaysAloneRoundByRound) {
  const std::string hands[4] = {"", "JS QS KS", "", ""};
  auto g = DominoesLead(5, South, hands);
  g->phase = PhasePlaying;
  g->playRound = 30;
  g->placesTaken = 3;
  g->turn = West;
  g->trickDone = 0;
  for (int s = 0; s < 4; ++s) g->domUp[s] = g->domDown[s] = DomClosed;
  g->domUp[Spades] = C("JS");
  RecordingHost host;
  PLAY(g, host, West, "JS");
  EXPECT_EQ(g->turn, West);
  EXPECT_EQ(g->playRound, 31);
  EXPECT_EQ(g->playRecords[1][30][West], C("JS"));
  for (int s : {North, East, South}) EXPECT_EQ(g->playRecords[1][31][s], NoCard);
  PLAY(g, host, West, "QS");
  EXPECT_EQ(g->playRecords[1][31][West], C("QS"));
  PLAY(g, host, West, "KS");
  EXPECT_EQ(g->dealNumber, 2);
  EXPECT_EQ(g->dealScores[1][West], -5);
}

TEST(Dominoes, ADamagedRecordWithNoPlayableSeatStopsWithoutLooping) {
  const std::string hands[4] = {"7S 2D", "3D", "4D", "5D"};
  auto g = DominoesLead(5, South, hands);
  for (int s = 0; s < 4; ++s) g->domUp[s] = g->domDown[s] = DomClosed;
  g->domUp[Spades] = g->domDown[Spades] = C("7S");
  RecordingHost host;
  PLAY(g, host, South, "7S");  // nobody can lay 6S or 8S
  EXPECT_EQ(g->phase, PhasePlaying);
  EXPECT_GE(g->playRound, 0);
  EXPECT_LT(g->playRound, DominoRounds);
}

}  // namespace
}  // namespace zelbo
