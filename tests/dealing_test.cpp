#include <gtest/gtest.h>

#include <cstring>

#include "tests/engine_fixtures.h"

namespace zelbo {
namespace {

using namespace zelbo::testing;

TEST(Dealing, SeedOneRandomValuesFirstDealerRowsAndDraws) {
  Random rng(12345);
  rng.Seed(1);
  for (int v : {41, 18467, 6334, 26500, 19169}) EXPECT_EQ(rng.Next(), v);
  auto g = std::make_unique<GameState>();
  g->randomSeed = 1;
  RecordingHost host;
  NewGame(*g, host, 999);
  EXPECT_EQ(g->dealer, North);  // the first value 41 gives 1, and deal 1 moves it on
  const uint8_t south[13] = {49, 45, 29, 28, 27, 25, 24, 22, 20, 14, 10, 7, 4};
  EXPECT_EQ(std::memcmp(g->dealRecords[1][South], south, 13), 0);
  EXPECT_EQ(std::memcmp(g->hands, g->dealRecords[1], sizeof g->hands), 0);
  Random counted(1);  // deal 1 takes 171 draws after the dealer's
  rng.Seed(1);
  rng.Next();
  DealOne(*g, rng, 1);
  for (int i = 0; i < 1 + 171; ++i) counted.Next();
  EXPECT_EQ(rng.Next(), counted.Next());
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
          ASSERT_TRUE(IsCard(row[i]) && !seen[row[i]]) << "deal " << deal << " card " << int{row[i]};
          seen[row[i]] = true;
          ASSERT_TRUE(i == 0 || row[i - 1] > row[i]) << "deal " << deal;
        }
    }
  }
}

TEST(Dealing, SameSeedSameGameAndNewGameOnlyFromIdle) {
  auto a = std::make_unique<GameState>(), b = std::make_unique<GameState>(), c = std::make_unique<GameState>();
  RecordingHost host;
  a->randomSeed = 4242;
  NewGame(*a, host, 1);
  NewGame(*b, host, 4242);  // seed 0 takes the clock
  EXPECT_EQ(b->gameSeed, 4242u);
  EXPECT_TRUE(SameGame(*a, *b));
  EXPECT_TRUE(IsIgnored(*a, [](GameState& g, EngineHost& h) { NewGame(g, h, 7); }));
  NewGame(*c, host, 4243);
  EXPECT_NE(std::memcmp(a->dealRecords, c->dealRecords, sizeof a->dealRecords), 0);
}

TEST(Dealing, SortHandKeepsNoStaleBytesBehindAShortRow) {
  auto g = std::make_unique<GameState>();
  uint8_t* row = g->dealRecords[3][1];
  std::memset(row, NoCard, 13);
  row[0] = 5, row[2] = 40, row[7] = 17;
  SortHand(*g, 3, 1);
  const uint8_t want[13] = {40, 17, 5, 52, 52, 52, 52, 52, 52, 52, 52, 52, 52};
  EXPECT_EQ(std::memcmp(row, want, 13), 0);
}

}  // namespace
}  // namespace zelbo
