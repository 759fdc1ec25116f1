#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "engine/engine.h"

namespace zelbo {
namespace {

class NamedHost : public EngineHost {
 public:
  std::string SeatHandle(int seat) const override { return SeatName(seat); }
};

std::unique_ptr<GameState> Fresh() { return std::make_unique<GameState>(); }

TEST(Dealing, SeedOneFirstDealerAndSouthsFirstRow) {
  auto g = Fresh();
  g->randomSeed = 1;
  NamedHost host;
  NewGame(*g, host, 999);
  EXPECT_EQ(g->gameSeed, 1u);
  EXPECT_EQ(g->randomSeed, 1u);
  EXPECT_EQ(g->dealer, North);  // the first value 41 gives 1, and deal 1 moves it on
  EXPECT_EQ(g->dealNumber, 1);
  EXPECT_EQ(g->phase, PhaseChoosing);
  const uint8_t south[13] = {49, 45, 29, 28, 27, 25, 24, 22, 20, 14, 10, 7, 4};
  EXPECT_EQ(std::memcmp(g->dealRecords[1][South], south, 13), 0);
  EXPECT_EQ(std::memcmp(g->hands, g->dealRecords[1], sizeof g->hands), 0);
}

TEST(Dealing, SeedOneDealOneTakes171Draws) {
  auto g = Fresh();
  Random dealt(1);
  DealGame(*g, dealt);  // the dealer draw, then deal 1 ... 28
  Random rng(1);
  rng.Next();
  DealOne(*g, rng, 1);
  Random counted(1);
  for (int i = 0; i < 1 + 171; ++i) counted.Next();
  EXPECT_EQ(rng.Next(), counted.Next());
}

TEST(Dealing, EveryRowHoldsEachCardOnceInStrictlyDescendingHands) {
  for (uint32_t seed : {1u, 2u, 77u, 4000000000u}) {
    auto g = Fresh();
    Random rng(seed);
    DealGame(*g, rng);
    EXPECT_GE(g->dealer, 0);
    EXPECT_LE(g->dealer, 3);
    for (int deal = 1; deal <= DealCount; ++deal) {
      bool seen[52] = {};
      for (int seat = 0; seat < 4; ++seat) {
        for (int i = 0; i < 13; ++i) {
          const int c = g->dealRecords[deal][seat][i];
          ASSERT_TRUE(IsCard(c));
          EXPECT_FALSE(seen[c]) << "deal " << deal << " card " << c;
          seen[c] = true;
          if (i > 0) {
            EXPECT_GT(g->dealRecords[deal][seat][i - 1], c);
          }
        }
      }
    }
  }
}

TEST(Dealing, SameSeedSameDealsAndClockSeedIsKept) {
  auto a = Fresh();
  auto b = Fresh();
  NamedHost host;
  a->randomSeed = 4242;
  NewGame(*a, host, 1);
  NewGame(*b, host, 4242);  // seed 0 takes the clock
  EXPECT_EQ(b->randomSeed, 4242u);
  EXPECT_EQ(b->gameSeed, 4242u);
  EXPECT_EQ(std::memcmp(a->dealRecords, b->dealRecords, sizeof a->dealRecords), 0);
  EXPECT_EQ(a->dealer, b->dealer);

  auto c = Fresh();
  c->randomSeed = 4243;
  NewGame(*c, host, 1);
  EXPECT_NE(std::memcmp(a->dealRecords, c->dealRecords, sizeof a->dealRecords), 0);
}

TEST(Dealing, NewGameStartsOnlyFromIdle) {
  auto g = Fresh();
  NamedHost host;
  g->randomSeed = 5;
  NewGame(*g, host, 0);
  auto before = std::make_unique<GameState>(*g);
  NewGame(*g, host, 0);
  EXPECT_TRUE(SameGame(*g, *before));
}

TEST(Dealing, SortHandKeepsNoStaleBytesBehindAShortRow) {
  auto g = Fresh();
  std::memset(g->dealRecords[3][1], NoCard, 13);
  g->dealRecords[3][1][0] = 5;
  g->dealRecords[3][1][2] = 40;
  g->dealRecords[3][1][7] = 17;
  SortHand(*g, 3, 1);
  const uint8_t want[13] = {40, 17, 5, 52, 52, 52, 52, 52, 52, 52, 52, 52, 52};
  EXPECT_EQ(std::memcmp(g->dealRecords[3][1], want, 13), 0);
}

TEST(Dealing, ResetAndRestoreHands) {
  auto g = Fresh();
  g->phase = PhasePlaying;
  g->randomSeed = 9;
  g->hands[2][4] = 7;
  g->dealDecisions[3][2] = 1;
  ResetGameState(*g);
  EXPECT_EQ(g->phase, PhaseIdle);
  EXPECT_EQ(g->randomSeed, 0u);
  for (auto& hand : g->hands)
    for (uint8_t c : hand) EXPECT_EQ(c, NoCard);
  for (auto& row : g->contractsLeft)
    for (uint8_t k : row) EXPECT_EQ(k, 1);
  for (auto& row : g->dealDecisions)
    for (uint8_t d : row) EXPECT_EQ(d, Undecided);

  Random rng(3);
  DealGame(*g, rng);
  g->dealNumber = 17;
  RestoreHands(*g);
  EXPECT_EQ(std::memcmp(g->hands, g->dealRecords[17], sizeof g->hands), 0);
}

}  // namespace
}  // namespace zelbo
