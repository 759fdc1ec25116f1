// SeatView: the rule queries give the server's verdicts on what one seat sees.
#include <gtest/gtest.h>

#include "engine/engine.h"
#include "engine/simple_policy.h"
#include "robot/seat_view.h"

namespace zelbo {
namespace {

// Before every action of whole simple-player games, the acting seat's view
// gives every verdict the game gives and shows no other hand.
TEST(RobotSeatView, RuleVerdictsMatchTheServerThroughWholeGames) {
  for (uint32_t seed : {1u, 7u, 2024u}) {
    EngineHost host;
    GameState g;
    ResetGameState(g);
    NewGame(g, host, seed);
    for (int step = 0; g.phase != PhaseGameOver && step < MaxGameSteps; ++step) {
      const bool choosing = g.phase == PhaseChoosing;
      const int seat = choosing ? ActingSeat(g) : g.turn;
      const GameState v = SeatView(ClientMirrorOf(g, seat), seat);
      auto verdict = [&](const GameState& x, int value) {
        return choosing ? IsDecisionAllowed(x, value) : MayPlayCard(x, seat, value);
      };
      const std::string where = std::to_string(seed) + " deal " + std::to_string(g.dealNumber);
      ASSERT_TRUE(!choosing || AllowedContracts(v) == AllowedContracts(g)) << where;
      for (int value = 0; value < (choosing ? 64 : 52); ++value)
        ASSERT_EQ(verdict(v, value), verdict(g, value)) << where << " value " << value;
      for (int k = 0; k < 52; ++k)
        ASSERT_EQ(v.hands[k / 13][k % 13], k / 13 == seat ? g.hands[k / 13][k % 13] : NoCard) << where;
      ASSERT_TRUE(SimpleStep(g, host)) << where;
    }
    EXPECT_EQ(g.phase, PhaseGameOver) << seed;
  }
}

TEST(RobotSeatView, HostileTableBytesGiveNoOutOfRangeState) {
  GameState seen;
  seen.phase = PhasePlaying;
  seen.contract = Misere;
  seen.dealNumber = 200;  // out of range, like the round: nothing may be indexed with them
  seen.playRound = 99;
  for (int i = 0; i < 16; ++i) seen.tableCards[i] = static_cast<uint8_t>(i * 17);
  for (int card = 0; card < 52; ++card) EXPECT_FALSE(MayPlayCard(SeatView(seen, 2), 2, card));
  seen.dealNumber = 4;
  seen.contract = 99;
  EXPECT_EQ(SeatView(seen, 7).contract, seen.contract);
}

}  // namespace
}  // namespace zelbo
