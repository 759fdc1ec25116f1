#include <gtest/gtest.h>

#include "tests/engine_fixtures.h"

namespace zelbo {
namespace {

using namespace zelbo::testing;

// Deal 1 of seed 1 (first dealer North, "Cyd") with the skeleton written.
std::unique_ptr<GameState> DealOneOfSeedOne(RecordingHost& host) {
  auto g = std::make_unique<GameState>();
  g->randomSeed = 1;
  NewGame(*g, host, 0);
  host.calls.clear();
  return g;
}

void SetScores(GameState& g, int contract, std::initializer_list<int> scores) {
  g.contract = contract;
  int s = 0;
  for (int v : scores) g.handScore[s++] = v;
}

TEST(Settlement, DoubleAndRedoubleOfTheWorkedExample) {
  for (int factor : {2, 4}) {
    RecordingHost host;
    auto g = DealOneOfSeedOne(host);
    SetScores(*g, Misere, {0, -8, -10, -8});
    g->doubleFactor[0][1] = g->doubleFactor[1][0] = static_cast<uint8_t>(factor);
    SettleHand(*g, host);
    const int want0 = factor == 2 ? 8 : 16;
    const int want1 = factor == 2 ? -16 : -24;
    EXPECT_EQ(g->dealScores[1][0], want0);
    EXPECT_EQ(g->dealScores[1][1], want1);
    EXPECT_EQ(g->dealScores[1][2], -10);
    EXPECT_EQ(g->dealScores[1][3], -8);
    EXPECT_EQ(g->totalScores[0], want0);
    EXPECT_EQ(g->totalScores[1], want1);
  }
}

TEST(Settlement, WithoutDoublesTheHandScoresStand) {
  RecordingHost host;
  auto g = DealOneOfSeedOne(host);
  SetScores(*g, FirstTrumps, {25, 10, 20, 10});
  SettleHand(*g, host);
  for (int s = 0; s < 4; ++s) EXPECT_EQ(g->dealScores[1][s], g->handScore[s]);
}

TEST(Settlement, EveryPairExchangeSumsToZero) {
  Random rng(99);
  for (int round = 0; round < 500; ++round) {
    RecordingHost host;
    auto g = DealOneOfSeedOne(host);
    int handTotal = 0;
    for (int s = 0; s < 4; ++s) handTotal += g->handScore[s] = rng.Next() % 131 - 65;
    for (int a = 0; a < 4; ++a)
      for (int b = a + 1; b < 4; ++b)
        g->doubleFactor[a][b] = g->doubleFactor[b][a] = static_cast<uint8_t>(1 << (rng.Next() % 3));
    g->contract = Misere;
    SettleHand(*g, host);
    int settled = 0;
    for (int s = 0; s < 4; ++s) settled += g->dealScores[1][s];
    ASSERT_EQ(settled, handTotal);
  }
}

TEST(Settlement, ScoreLineReplacesThePlaceholderOfItsKind) {
  RecordingHost host;
  auto g = DealOneOfSeedOne(host);
  ASSERT_EQ(g->scoreSheet.size(), 36u);
  EXPECT_EQ(g->scoreSheet.line(0), std::string(20, ' ') + "Ann       Bob       Cyd       Dee");
  EXPECT_EQ(g->scoreSheet.line(4), "Cyd       Misere  ");
  SetScores(*g, Misere, {0, -8, -10, -8});
  g->doubleFactor[0][1] = g->doubleFactor[1][0] = 2;
  SettleHand(*g, host);
  const std::vector<std::string> want = {"ScoreLine 2", "ScoreDelete 5", "ScoreLine 255"};
  EXPECT_EQ(host.calls, want);
  const ScoreSheet& sheet = g->scoreSheet;
  ASSERT_EQ(sheet.size(), 36u);
  EXPECT_EQ(sheet.line(2), ScoreLine("Cyd", Misere, g->dealScores[1]));
  EXPECT_EQ(sheet.line(3), "Cyd       Trumps");
  EXPECT_EQ(sheet.line(4), "Cyd       Dominoes");
  EXPECT_EQ(sheet.line(5), "Cyd       No Queens");
  EXPECT_EQ(sheet.line(9), "");
  EXPECT_EQ(sheet.line(35), "                       8       -16       -10        -8");
}

TEST(Settlement, DealsGoToTheirDealersBlocks) {
  RecordingHost host;
  auto g = DealOneOfSeedOne(host);
  const int firstDealer = g->dealer;
  struct Step {
    int deal, contract, line;
  } steps[] = {{1, Zelbo, 2}, {2, FirstTrumps, 10}, {5, 12, 3}};
  for (const Step& s : steps) {
    g->dealNumber = s.deal;
    g->dealer = SeatMod(firstDealer + s.deal - 1);
    SetScores(*g, s.contract, {0, 0, 0, 0});
    host.calls.clear();
    SettleHand(*g, host);
    EXPECT_EQ(host.calls.front(), "ScoreLine " + std::to_string(s.line));
    EXPECT_EQ(g->scoreSheet.line(static_cast<std::size_t>(s.line)).substr(0, 3),
              host.handles[g->dealer]);
  }
  // Block 0 now: Zelbo, Doms 4, then the five placeholders left.
  EXPECT_EQ(g->scoreSheet.line(4), "Cyd       Trumps");
  EXPECT_EQ(g->scoreSheet.line(8), "Cyd       No Hearts");
  EXPECT_EQ(g->scoreSheet.line(9), "");
  EXPECT_EQ(g->scoreSheet.size(), 36u);
}

TEST(Settlement, AMissingPlaceholderNeverCostsAnotherBlockALine) {
  RecordingHost host;
  auto g = DealOneOfSeedOne(host);
  g->scoreSheet.Delete(4);  // block 0 loses its Misere placeholder
  g->scoreSheet.Insert(8, "Cyd       filler");
  const std::string blockOneMisere = g->scoreSheet.line(12);
  SetScores(*g, Misere, {1, -9, -9, -9});
  SettleHand(*g, host);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"ScoreLine 2", "ScoreLine 255"}));
  EXPECT_EQ(g->scoreSheet.line(13), blockOneMisere);
}

TEST(Settlement, NothingOutsideAHand) {
  RecordingHost host;
  auto g = DealOneOfSeedOne(host);
  for (int phase : {PhaseIdle, PhaseFirstLead, PhaseGameOver, PhaseChoosingSuspended}) {
    g->phase = phase;
    const GameState before = *g;
    SettleHand(*g, host);
    EndHand(*g, host);
    EXPECT_TRUE(SameGame(before, *g));
    EXPECT_TRUE(host.calls.empty());
  }
}

}  // namespace
}  // namespace zelbo
