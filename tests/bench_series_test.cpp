#include "tools/bench/bench_series.h"

#include <gtest/gtest.h>

namespace zelbo {
namespace {

// The bench's signature of seeds 1..20 with four simple players. It changes
// whenever a rule's result changes; update it only for an intended change.
TEST(BenchSeries, SignatureOfSeedsOneToTwentyIsPinned) {
  const SeriesResult r = PlaySimpleSeries(1, 20);
  EXPECT_EQ(r.games, 20);
  EXPECT_EQ(r.unfinished, 0);
  EXPECT_EQ(r.signature, 0x0d60c06879aa6a08ull);
  EXPECT_TRUE(r.cards > 20 * 28 * 4 && r.cards <= 20 * 28 * 52) << r.cards;
}

}  // namespace
}  // namespace zelbo
