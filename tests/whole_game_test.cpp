#include <gtest/gtest.h>

#include "engine/invariants.h"
#include "engine/simple_policy.h"
#include "tests/engine_fixtures.h"

namespace zelbo {
namespace {

// A whole game from `seed` with four simple players; false when it does not
// reach its end (an engine fault).
bool PlaySimpleGame(GameState& g, EngineHost& host, uint32_t seed) {
  ResetGameState(g);
  g.randomSeed = seed;
  NewGame(g, host, seed);
  for (int steps = 0; steps < MaxGameSteps && SimpleStep(g, host); ++steps) {
  }
  return g.phase == PhaseGameOver;
}

using namespace zelbo::testing;

// Records each deal's dealer and hand scores at the moment it is settled.
struct SettlementWatch : RecordingHost {
  const GameState* g = nullptr;
  int dealer[DealRows] = {};
  int32_t hand[DealRows][4] = {};
  void SendScoreLine(int index, std::string_view) override {
    if (index == 255 || g->phase == PhaseIdle) return;
    dealer[g->dealNumber] = g->dealer;
    std::copy(g->handScore, g->handScore + 4, hand[g->dealNumber]);
  }
};

// Picks at random among the allowed choices (doubles included), and checks on
// the way that a choice the queries refuse the operations ignore.
void RandomStep(GameState& g, EngineHost& host, Random& rng) {
  const int probe = rng.Next() % 64, seat = g.turn;
  if (g.phase == PhaseChoosing) {
    EXPECT_TRUE(IsDecisionAllowed(g, probe) ||
                IsIgnored(g, [&](GameState& c, EngineHost& h) { ApplyDecision(c, h, probe); }));
    const DoublingOffer offer = OfferedDoubles(g);
    ASSERT_TRUE(g.turn || AllowedContracts(g));
    int code = 0;
    while (g.turn == 0 && !(AllowedContracts(g) >> code & 1u)) code = 1 + rng.Next() % LastContract;
    ApplyDecision(g, host, g.turn ? DoublingByte(offer, (rng.Next() % 8 & offer.allowed) | offer.forced) : code);
    return;
  }
  EXPECT_TRUE(MayPlayCard(g, seat, probe) ||
              IsIgnored(g, [&](GameState& c, EngineHost& h) { PlayCard(c, h, seat, probe); }));
  std::vector<int> choices;
  for (int c : g.hands[seat])
    if (MayPlayCard(g, seat, c)) choices.push_back(c);
  ASSERT_FALSE(choices.empty()) << "seat " << seat << " has no card to play";
  PlayCard(g, host, seat, choices[rng.Next() % choices.size()]);
}

void CheckFinishedGame(const GameState& g, const SettlementWatch& host) {
  EXPECT_EQ(g.phase, PhaseGameOver);
  EXPECT_EQ(g.dealNumber, 0);
  EXPECT_EQ(g.dealer, host.dealer[1]);
  EXPECT_EQ(host.calls.back(), "GameOver");
  for (auto& row : g.contractsLeft) EXPECT_EQ(std::count(row, row + KindCount, 0), KindCount);
  int32_t sums[4] = {};
  for (int n = 1; n <= DealCount; ++n) {
    // Dealers rotate, so each dealt seven deals and chose each kind once.
    ASSERT_EQ(host.dealer[n], SeatMod(host.dealer[1] + n - 1));
    // Every hand distributed its contract's total; doubles only moved points.
    const int contract = g.dealDecisions[n][0], totals[KindCount] = {65, 65, -26, -24, -30, -30, -20};
    int hand = 0, settled = 0;
    for (int s = 0; s < 4; ++s) {
      hand += host.hand[n][s];
      settled += g.dealScores[n][s];
      sums[s] += g.dealScores[n][s];
    }
    EXPECT_EQ(hand, totals[KindOf(contract)]) << "deal " << n << " contract " << contract;
    EXPECT_EQ(settled, hand) << "deal " << n;
    // The score line sits in its dealer's block in the order played; no placeholder is left.
    EXPECT_EQ(g.scoreSheet.line(2 + 8 * ((n - 1) % 4) + (n - 1) / 4),
              ScoreLine(host.handles[host.dealer[n]], contract, g.dealScores[n]));
  }
  EXPECT_EQ(std::vector<int>(g.totalScores, g.totalScores + 4), std::vector<int>(sums, sums + 4));
  ASSERT_EQ(g.scoreSheet.size(), 36u);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(g.scoreSheet.line(9 + 8 * k), "");
  EXPECT_EQ(g.scoreSheet.line(34), std::string(17, ' ') + std::string(40, '-'));
  EXPECT_EQ(g.scoreSheet.line(35), TotalsLine(sums));
}

TEST(WholeGame, SimpleAndRandomPlayersFromManySeeds) {
  for (uint32_t seed = 1; seed <= 60; ++seed) {
    SettlementWatch host;
    auto g = std::make_unique<GameState>();
    host.g = g.get();
    if (seed % 2) {
      g->phase = PhasePlaying;  // left over from anything: the game resets first
      ASSERT_TRUE(PlaySimpleGame(*g, host, seed));
    } else {
      g->randomSeed = 1000 + seed;
      NewGame(*g, host, 0);
      Random rng(seed);
      for (int steps = 0; g->phase != PhaseGameOver && !HasFatalFailure(); ++steps) {
        ASSERT_LT(steps, MaxGameSteps);
        RandomStep(*g, host, rng);
        ASSERT_EQ(CheckInvariants(*g), "") << "seed " << seed << " step " << steps;
      }
    }
    CheckFinishedGame(*g, host);
    // Every seat doubled every other dealer twice, the random players maybe more.
    for (int s = 0; s < 4; ++s)
      for (int d = 0; d < 4; ++d) {
        const int owed = s == d ? 0 : 2, given = g->dealerDoubles[s][d];
        EXPECT_TRUE(given == owed || (seed % 2 == 0 && owed && given > owed)) << s << " " << d;
      }
  }
}

}  // namespace
}  // namespace zelbo
