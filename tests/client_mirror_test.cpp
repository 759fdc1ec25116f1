// A mirror filled only with what the frames carry gives the same card
// verdicts as the server's game, at every card of whole games.
#include "net/client_mirror.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/engine.h"
#include "engine/simple_policy.h"

namespace zelbo {
namespace {

GameState MirrorOf(const GameState& g) {
  GameState m;
  m.phase = g.phase;
  m.dealNumber = g.dealNumber;
  m.contract = g.contract;
  m.dealer = g.dealer;
  m.turn = g.turn;
  m.playRound = g.playRound & 0xFF;
  std::memcpy(m.hands, g.hands, sizeof m.hands);
  std::memcpy(m.tableCards, g.tableCards, sizeof m.tableCards);
  DerivePlayFields(m);
  return m;
}

TEST(ClientMirror, CardVerdictsMatchTheServerThroughWholeGames) {
  EngineHost host;
  for (uint32_t seed : {1u, 2u, 3u}) {
    GameState g;
    ResetGameState(g);
    g.randomSeed = seed;
    NewGame(g, host, seed);
    int cards = 0;
    for (int steps = 0; steps < 28 * 60 && g.phase != PhaseGameOver; ++steps) {
      if (g.phase == PhasePlaying || g.phase == PhaseFirstLead) {
        const GameState m = MirrorOf(g);
        for (int seat = 0; seat < 4; ++seat)
          for (int card = 0; card < 52; ++card)
            ASSERT_EQ(MayPlayCard(m, seat, card), MayPlayCard(g, seat, card))
                << "seed " << seed << " deal " << g.dealNumber << " contract " << g.contract
                << " seat " << seat << " card " << card;
        ++cards;
      }
      ASSERT_TRUE(SimpleStep(g, host));
    }
    EXPECT_EQ(g.phase, PhaseGameOver);
    EXPECT_GT(cards, 300);
  }
}

}  // namespace
}  // namespace zelbo
