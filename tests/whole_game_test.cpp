#include <gtest/gtest.h>

#include "engine/simple_policy.h"
#include "tests/engine_fixtures.h"

namespace zelbo {
namespace {

using namespace zelbo::testing;

int ContractTotal(int contract) {
  switch (contract) {
    case Misere: return -26;
    case NoQueens: return -24;
    case NoLastTwo:
    case NoHearts: return -30;
    case Zelbo: return -20;
    default: return 65;  // Trumps and Dominoes
  }
}

// Records each deal's hand scores and factors at the moment it is settled.
class SettlementWatch : public RecordingHost {
 public:
  const GameState* g = nullptr;
  int32_t hand[DealRows][4] = {};
  bool doubled[DealRows] = {};
  void SendScoreLine(int index, std::string_view) override {
    if (index == 255 || g->phase == PhaseIdle) return;
    for (int s = 0; s < 4; ++s) {
      hand[g->dealNumber][s] = g->handScore[s];
      for (int t = 0; t < 4; ++t) doubled[g->dealNumber] |= g->doubleFactor[s][t] != 1;
    }
  }
};

// A player that picks at random among the allowed choices (doubles
// included), and on the way checks that what the queries refuse the
// operations ignore.
class RandomPlayer {
 public:
  explicit RandomPlayer(uint32_t seed) : rng_(seed) {}

  void Step(GameState& g, EngineHost& host) {
    if (g.phase == PhaseChoosing && g.turn == 0) {
      const uint32_t allowed = AllowedContracts(g);
      ASSERT_NE(allowed, 0u);
      int code;
      do code = 1 + rng_.Next() % LastContract;
      while (!(allowed >> code & 1u));
      ApplyDecision(g, host, code);
    } else if (g.phase == PhaseChoosing) {
      const DoublingOffer offer = OfferedDoubles(g);
      const int tryBits = rng_.Next() % 64;
      if (!IsDecisionAllowed(g, tryBits)) {
        ExpectIgnored(g, [&](GameState& c, EngineHost& h) { ApplyDecision(c, h, tryBits); });
      }
      const int targets = (rng_.Next() % 8 & offer.allowed) | offer.forced;
      ApplyDecision(g, host, DoublingByte(offer, targets));
    } else {
      const int seat = g.turn;
      const int wrong = rng_.Next() % 52;
      if (!MayPlayCard(g, seat, wrong)) {
        ExpectIgnored(g, [&](GameState& c, EngineHost& h) { PlayCard(c, h, seat, wrong); });
      }
      int choices[13];
      int n = 0;
      for (int i = 0; i < 13; ++i)
        if (MayPlayCard(g, seat, g.hands[seat][i])) choices[n++] = g.hands[seat][i];
      ASSERT_GT(n, 0) << "seat " << seat << " has no card to play";
      PlayCard(g, host, seat, choices[rng_.Next() % n]);
    }
  }

 private:
  template <class F>
  void ExpectIgnored(const GameState& g, F act) {
    auto copy = std::make_unique<GameState>(g);
    RecordingHost quiet;
    act(*copy, quiet);
    EXPECT_TRUE(SameGame(g, *copy));
    EXPECT_TRUE(quiet.calls.empty());
  }
  Random rng_;
};

void CheckFinishedGame(const GameState& g, const SettlementWatch& host, int firstDealer) {
  EXPECT_EQ(g.phase, PhaseGameOver);
  EXPECT_EQ(g.dealNumber, 0);
  EXPECT_EQ(g.dealer, firstDealer);
  EXPECT_EQ(g.contract, 0);
  for (auto& hand : g.hands)
    for (uint8_t c : hand) EXPECT_EQ(c, NoCard);
  for (int s = 0; s < 4; ++s) EXPECT_STREQ(g.finalHandles[s], host.handles[s].c_str());

  // Each dealer chose each kind once.
  for (auto& row : g.contractsLeft)
    for (uint8_t k : row) EXPECT_EQ(k, 0);
  int kinds[4][KindCount] = {};
  for (int n = 1; n <= DealCount; ++n)
    kinds[SeatMod(firstDealer + n - 1)][KindOf(g.dealDecisions[n][0])] += 1;
  for (auto& row : kinds)
    for (int k : row) EXPECT_EQ(k, 1);

  // Every hand distributed its contract's total; doubles moved points only.
  int32_t sums[4] = {};
  for (int n = 1; n <= DealCount; ++n) {
    const int contract = g.dealDecisions[n][0];
    int hand = 0, settled = 0;
    for (int s = 0; s < 4; ++s) {
      hand += host.hand[n][s];
      settled += g.dealScores[n][s];
      sums[s] += g.dealScores[n][s];
      if (!host.doubled[n]) {
        EXPECT_EQ(g.dealScores[n][s], host.hand[n][s]);
      }
    }
    EXPECT_EQ(hand, ContractTotal(contract)) << "deal " << n << " contract " << contract;
    EXPECT_EQ(settled, hand) << "deal " << n;
  }
  for (int s = 0; s < 4; ++s) EXPECT_EQ(g.totalScores[s], sums[s]);

  // 36 lines: seven score lines per block in the order played, no placeholder.
  const ScoreSheet& sheet = g.scoreSheet;
  ASSERT_EQ(sheet.size(), 36u);
  for (int k = 0; k < 4; ++k) {
    const int dealer = SeatMod(firstDealer + k);
    for (int j = 0; j < 7; ++j) {
      const int deal = k + 1 + 4 * j;
      EXPECT_EQ(sheet.line(2 + 8 * k + j),
                ScoreLine(host.handles[dealer], g.dealDecisions[deal][0], g.dealScores[deal]));
    }
    EXPECT_EQ(sheet.line(9 + 8 * k), "");
  }
  EXPECT_EQ(sheet.line(34), std::string(17, ' ') + std::string(40, '-'));
  EXPECT_EQ(sheet.line(35), TotalsLine(sums));
}

TEST(WholeGame, SimplePlayersFromManySeeds) {
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    SettlementWatch host;
    auto g = std::make_unique<GameState>();
    host.g = g.get();
    g->randomSeed = seed;
    NewGame(*g, host, 0);
    const int firstDealer = g->dealer;
    int steps = 0;
    while (SimpleStep(*g, host)) ASSERT_LT(++steps, 28 * 60);
    CheckFinishedGame(*g, host, firstDealer);
    // Only the compulsory doubles: exactly two per seat and dealer.
    for (int s = 0; s < 4; ++s)
      for (int d = 0; d < 4; ++d) EXPECT_EQ(g->dealerDoubles[s][d], s == d ? 0 : 2);
    EXPECT_EQ(host.calls.back(), "GameOver");
  }
}

TEST(WholeGame, RandomPlayersWithDoublesFromManySeeds) {
  for (uint32_t seed = 1; seed <= 40; ++seed) {
    SettlementWatch host;
    auto g = std::make_unique<GameState>();
    host.g = g.get();
    g->randomSeed = 1000 + seed;
    NewGame(*g, host, 0);
    const int firstDealer = g->dealer;
    RandomPlayer player(seed);
    for (int steps = 0; g->phase != PhaseGameOver; ++steps) {
      ASSERT_LT(steps, 28 * 60);
      player.Step(*g, host);
      if (::testing::Test::HasFatalFailure()) return;
      // Doubled pairs stay symmetric.
      for (int a = 0; a < 4; ++a)
        for (int b = 0; b < 4; ++b) ASSERT_EQ(g->doubleFactor[a][b], g->doubleFactor[b][a]);
    }
    CheckFinishedGame(*g, host, firstDealer);
    for (int s = 0; s < 4; ++s)
      for (int d = 0; d < 4; ++d)
        if (s != d) {
          EXPECT_GE(g->dealerDoubles[s][d], 2);
        }
  }
}

TEST(WholeGame, PlaySimpleGameResetsAndFinishes) {
  RecordingHost host;
  auto g = std::make_unique<GameState>();
  g->phase = PhasePlaying;  // left over from anything
  ASSERT_TRUE(PlaySimpleGame(*g, host, 7));
  EXPECT_EQ(g->gameSeed, 7u);
}

}  // namespace
}  // namespace zelbo
