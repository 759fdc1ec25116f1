#include <gtest/gtest.h>

#include "tests/engine_fixtures.h"

namespace zelbo {
namespace {

using namespace zelbo::testing;

// Deal 1 of seed 1 (dealer North, "Cyd") with the skeleton written, the hand
// played out to the given scores and South and West's pair doubled `factor` times.
std::unique_ptr<GameState> SettleReady(RecordingHost& host, std::vector<int> scores, int factor = 1) {
  auto g = StartedGame(host, 1);
  host.calls.clear();
  g->contract = Misere;
  std::copy(scores.begin(), scores.end(), g->handScore);
  g->doubleFactor[0][1] = g->doubleFactor[1][0] = static_cast<uint8_t>(factor);
  return g;
}

TEST(Settlement, DoubleAndRedoubleOfTheWorkedExampleReplaceThePlaceholder) {
  for (auto [factor, want] : {std::pair{2, std::vector<int>{8, -16, -10, -8}}, {4, {16, -24, -10, -8}}}) {
    RecordingHost host;
    auto g = SettleReady(host, {0, -8, -10, -8}, factor);
    const ScoreSheet& sheet = g->scoreSheet;
    SettleHand(*g, host);
    EXPECT_EQ(DealScores(*g, 1), want) << factor;
    EXPECT_EQ(std::vector<int>(g->totalScores, g->totalScores + 4), want);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"ScoreLine 2", "ScoreDelete 5", "ScoreLine 255"}));
    ASSERT_EQ(sheet.size(), 36u);
    EXPECT_EQ(sheet.line(2), ScoreLine("Cyd", Misere, g->dealScores[1]));
    EXPECT_EQ(sheet.line(3) + "|" + sheet.line(5), "Cyd       Trumps|Cyd       No Queens");
    EXPECT_EQ(sheet.line(35), TotalsLine(g->totalScores));
  }
}

TEST(Settlement, AMissingPlaceholderNeverCostsAnotherBlockALine) {
  RecordingHost host;
  auto g = SettleReady(host, {1, -9, -9, -9});
  g->scoreSheet.Delete(4);  // block 0 loses its Misere placeholder
  g->scoreSheet.Insert(8, "Cyd       filler");
  const std::string blockOneMisere = g->scoreSheet.line(12);
  SettleHand(*g, host);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"ScoreLine 2", "ScoreLine 255"}));
  EXPECT_EQ(g->scoreSheet.line(13), blockOneMisere);
}

}  // namespace
}  // namespace zelbo
