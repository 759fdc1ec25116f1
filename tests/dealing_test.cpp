#include <gtest/gtest.h>

#include "tests/engine_fixtures.h"

namespace zelbo {
namespace {

using namespace zelbo::testing;

TEST(Dealing, SeedOneValuesFirstDealerSouthsFirstRowAndTheSameSeedsGame) {
  Random rng(12345);
  rng.Seed(1);
  for (int v : {41, 18467, 6334, 26500, 19169}) EXPECT_EQ(rng.Next(), v);
  RecordingHost host;
  auto g = StartedGame(host, 1), b = std::make_unique<GameState>();
  EXPECT_EQ(g->dealer, North);  // the first value 41 gives 1, and deal 1 moves it on
  EXPECT_EQ(std::vector<int>(g->dealRecords[1][South], g->dealRecords[1][South] + 13),
            (std::vector<int>{49, 45, 29, 28, 27, 25, 24, 22, 20, 14, 10, 7, 4}));
  EXPECT_EQ(std::memcmp(g->hands, g->dealRecords[1], sizeof g->hands), 0);
  NewGame(*b, host, 1);  // seed 0 would take the clock
  EXPECT_EQ(b->gameSeed, 1u);
  EXPECT_TRUE(*g == *b);
  EXPECT_TRUE(IsIgnored(*g, [](GameState& c, EngineHost& h) { NewGame(c, h, 7); }));  // only from idle
  EXPECT_NE(std::memcmp(g->dealRecords, StartedGame(host, 2)->dealRecords, sizeof g->dealRecords), 0);
}

TEST(Dealing, EveryRowHoldsEachCardOnceInStrictlyDescendingHands) {
  for (uint32_t seed : {1u, 77u, 4000000000u}) {
    auto g = std::make_unique<GameState>();
    Random rng(seed);
    DealGame(*g, rng);
    for (int deal = 1; deal <= DealCount; ++deal) {
      bool seen[52] = {};
      for (auto& row : g->dealRecords[deal])
        for (int i = 0; i < 13; ++i) {
          ASSERT_TRUE(IsCard(row[i]) && !seen[row[i]] && (i == 0 || row[i - 1] > row[i])) << "deal " << deal;
          seen[row[i]] = true;
        }
    }
  }
}

TEST(Dealing, SortHandKeepsNoStaleBytesBehindAShortRow) {
  auto g = std::make_unique<GameState>();
  uint8_t* row = g->dealRecords[3][1];
  row[0] = 5, row[2] = 40, row[7] = 17;  // the other bytes hold NoCard
  SortHand(*g, 3, 1);
  const uint8_t want[13] = {40, 17, 5, 52, 52, 52, 52, 52, 52, 52, 52, 52, 52};
  EXPECT_EQ(std::memcmp(row, want, 13), 0);
}

}  // namespace
}  // namespace zelbo
