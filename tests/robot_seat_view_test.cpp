// SeatView must let the rule queries give, on what one seat sees, exactly
// the verdicts they give on the server's game, and must hide the rest.
#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine/simple_policy.h"
#include "robot/seat_view.h"

namespace zelbo {
namespace {

// Drives games with simple players; before every action compares, for the
// acting seat, every verdict on the view with the verdict on the game.
void CheckVerdictsThroughGame(uint32_t seed) {
  EngineHost host;
  GameState g;
  ResetGameState(g);
  g.randomSeed = seed;
  NewGame(g, host, seed);
  int checkedCards = 0, checkedDecisions = 0;
  for (int steps = 0; steps < 28 * 60; ++steps) {
    if (g.phase == PhaseChoosing) {
      const int seat = ActingSeat(g);
      const GameState v = SeatView(ClientMirrorOf(g, seat), seat);
      ASSERT_EQ(AllowedContracts(v), AllowedContracts(g)) << "deal " << g.dealNumber;
      const int top = g.turn == 0 ? LastContract + 1 : 64;
      for (int value = 0; value < top; ++value) {
        ASSERT_EQ(IsDecisionAllowed(v, value), IsDecisionAllowed(g, value))
            << "deal " << g.dealNumber << " step " << g.turn << " value " << value;
      }
      ++checkedDecisions;
    } else if (g.phase == PhasePlaying || g.phase == PhaseFirstLead) {
      const int seat = g.turn;
      const GameState v = SeatView(ClientMirrorOf(g, seat), seat);
      for (int card = 0; card < 52; ++card) {
        ASSERT_EQ(MayPlayCard(v, seat, card), MayPlayCard(g, seat, card))
            << "deal " << g.dealNumber << " contract " << g.contract << " round " << g.playRound
            << " card " << card;
      }
      ++checkedCards;
    }
    if (!SimpleStep(g, host)) break;
  }
  EXPECT_EQ(g.phase, PhaseGameOver);
  EXPECT_GT(checkedCards, 28 * 13);
  EXPECT_GE(checkedDecisions, 28 * 4);
}

TEST(RobotSeatView, RuleVerdictsMatchTheServerThroughWholeGames) {
  for (uint32_t seed : {1u, 7u, 2024u}) {
    SCOPED_TRACE(seed);
    CheckVerdictsThroughGame(seed);
  }
}

TEST(RobotSeatView, HidesWhatTheSeatCannotSee) {
  EngineHost host;
  GameState g;
  ResetGameState(g);
  g.randomSeed = 5;
  NewGame(g, host, 5);
  const GameState v = SeatView(g, West);
  for (int s = 0; s < 4; ++s) {
    for (int i = 0; i < 13; ++i) {
      if (s == West) EXPECT_EQ(v.hands[s][i], g.hands[s][i]);
      else EXPECT_EQ(v.hands[s][i], NoCard);
    }
  }
  for (int d = 1; d < DealRows; ++d)
    for (int s = 0; s < 4; ++s)
      for (int i = 0; i < 13; ++i) ASSERT_EQ(v.dealRecords[d][s][i], NoCard);
}

TEST(RobotSeatView, DominoRowEndsFollowTheLayoutBytes) {
  GameState seen;
  seen.phase = PhasePlaying;
  seen.dealNumber = 3;
  seen.contract = FirstDominoes + 5;  // from the Seven
  seen.turn = North;
  // Diamonds: 5..9 laid (low byte 5, high 9). Clubs: only the Seven.
  // Hearts: Seven and Six (high byte = Seven). Spades: 2..A all down.
  seen.tableCards[8] = 0 * 13 + 3;
  seen.tableCards[9] = 0 * 13 + 7;
  seen.tableCards[10] = 1 * 13 + 5;
  seen.tableCards[12] = 2 * 13 + 4;
  seen.tableCards[13] = 2 * 13 + 5;
  seen.tableCards[14] = 3 * 13 + 0;
  seen.tableCards[15] = 3 * 13 + 12;
  const GameState v = SeatView(seen, North);
  EXPECT_EQ(v.domDown[0], 0 * 13 + 2);
  EXPECT_EQ(v.domUp[0], 0 * 13 + 8);
  EXPECT_EQ(v.domDown[1], 1 * 13 + 4);
  EXPECT_EQ(v.domUp[1], 1 * 13 + 6);
  EXPECT_EQ(v.domDown[2], 2 * 13 + 3);
  EXPECT_EQ(v.domUp[2], 2 * 13 + 6);
  EXPECT_EQ(v.domDown[3], DomClosed);
  EXPECT_EQ(v.domUp[3], DomClosed);
}

TEST(RobotSeatView, HostileTableBytesGiveNoOutOfRangeState) {
  GameState seen;
  seen.phase = PhasePlaying;
  seen.dealNumber = 200;  // out of range: nothing may be indexed with it
  seen.contract = Misere;
  seen.turn = 2;
  seen.playRound = 99;
  for (int i = 0; i < 16; ++i) seen.tableCards[i] = static_cast<uint8_t>(i * 17);
  const GameState v = SeatView(seen, 2);
  for (int card = 0; card < 52; ++card) EXPECT_FALSE(MayPlayCard(v, 2, card));
  seen.dealNumber = 4;
  seen.contract = 99;
  const GameState w = SeatView(seen, 7);
  EXPECT_EQ(w.contract, 99);
}

}  // namespace
}  // namespace zelbo
