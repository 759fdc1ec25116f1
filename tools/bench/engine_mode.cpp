// Mode "engine": whole games through the rules engine alone.
#include <chrono>
#include <cinttypes>
#include <cstdio>

#include "tools/bench/bench_modes.h"
#include "tools/bench/bench_series.h"

namespace zelbo::bench {

int RunEngineMode(const Options& options) {
  if (!options.extra.empty()) {
    std::fprintf(stderr, "engine mode: unknown argument %s\n", options.extra.front().c_str());
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const SeriesResult r = PlaySimpleSeries(options.firstSeed, options.games);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double perSecond = seconds > 0 ? 1.0 / seconds : 0.0;

  std::printf("mode:       engine\n");
  std::printf("games:      %d (seeds %u..%u)\n", r.games, options.firstSeed,
              options.firstSeed + static_cast<unsigned>(r.games) - 1);
  std::printf("time:       %.3f s\n", seconds);
  std::printf("games/s:    %.0f\n", r.games * perSecond);
  std::printf("cards/s:    %.0f\n", static_cast<double>(r.cards) * perSecond);
  std::printf("signature:  %016" PRIx64 "\n", r.signature);
  std::printf("peak RSS:   %ld KiB\n", PeakResidentKiB());
  if (r.unfinished) {
    std::printf("unfinished: %d games did not reach the end\n", r.unfinished);
    return 1;
  }
  return 0;
}

}  // namespace zelbo::bench
