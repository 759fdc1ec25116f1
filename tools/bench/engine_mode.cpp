// Mode "engine": whole games through the rules engine alone.
#include <time.h>

#include <chrono>
#include <cinttypes>
#include <cstdio>

#include "tools/bench/bench_modes.h"
#include "tools/bench/bench_series.h"

namespace zelbo::bench {

namespace {

// CPU time of this process: on a machine shared with other work the wall
// clock overstates the engine's cost.
double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace

int RunEngineMode(const Options& options) {
  if (!options.extra.empty()) {
    std::fprintf(stderr, "engine mode: unknown argument %s\n", options.extra.front().c_str());
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const double cpuStart = CpuSeconds();
  const SeriesResult r = PlaySimpleSeries(options.firstSeed, options.games);
  const double cpu = CpuSeconds() - cpuStart;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double perSecond = seconds > 0 ? 1.0 / seconds : 0.0;
  const double perCpuSecond = cpu > 0 ? 1.0 / cpu : 0.0;

  std::printf("mode:       engine\n");
  std::printf("games:      %d (seeds %u..%u)\n", r.games, options.firstSeed,
              options.firstSeed + static_cast<unsigned>(r.games) - 1);
  std::printf("time:       %.3f s wall, %.3f s CPU\n", seconds, cpu);
  std::printf("games/s:    %.0f (per CPU second: %.0f)\n", r.games * perSecond, r.games * perCpuSecond);
  std::printf("cards/s:    %.0f (per CPU second: %.0f)\n", static_cast<double>(r.cards) * perSecond,
              static_cast<double>(r.cards) * perCpuSecond);
  std::printf("signature:  %016" PRIx64 "\n", r.signature);
  std::printf("peak RSS:   %ld KiB\n", PeakResidentKiB());
  if (r.unfinished) {
    std::printf("unfinished: %d games did not reach the end\n", r.unfinished);
    return 1;
  }
  return 0;
}

}  // namespace zelbo::bench
