// zelbowin-bench: fixed workloads that print their speed and a signature of
// their results. `--mode` picks the workload; every mode reads --games N
// (whole games, default 200) and --seed S (first seed, default 1).
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/bench/bench_modes.h"

namespace zelbo::bench {

long PeakResidentKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;  // KiB on Linux
}

namespace {

constexpr Mode kModes[] = {
    {"engine", "whole games through the rules engine, simple players, no I/O", RunEngineMode},
    {"records", "save and load of a mid-game file, hand records [--rounds N] [--dir D]", RunRecordsMode},
    {"robot", "robot strength: one robot against three first-choice players", RunRobotStrengthMode},
    {"duel", "duplicate games of two robot levels [--a L] [--b L] [--seeds N] [--playouts N]", RunDuelMode},
#ifdef ZELBO_BENCH_NET
    {"net", "whole games over loopback TCP, card round trip [--dir D] [--server PATH]", RunNetMode},
    {"robots", "four robots over loopback TCP: games per minute, card round trip [--dir D]", RunRobotRateMode},
    {"tables", "a lobby server under N paced tables --tables N --pace MS --seconds S [--dir D]", RunTablesMode},
    {"archive", "the archive of finished games: inserts/s, size per game, list time [--dir D]", RunArchiveMode},
#endif
};

void PrintUsage() {
  std::printf("usage: zelbowin-bench [--mode M] [--games N] [--seed S] [mode arguments]\nmodes:\n");
  for (const Mode& m : kModes) std::printf("  %-8s %s\n", m.name, m.summary);
}

bool ParseCount(const char* text, long min, long max, long& out) {
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || v < min || v > max) return false;
  out = v;
  return true;
}

}  // namespace

}  // namespace zelbo::bench

int main(int argc, char** argv) {
  using namespace zelbo::bench;
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    long v = 0;
    if (arg == "--help" || arg == "-h") {
      PrintUsage();
      return 0;
    } else if (arg == "--mode" && hasValue) {
      options.mode = argv[++i];
    } else if (arg == "--games" && hasValue) {
      if (!ParseCount(argv[++i], 1, 100000000, v)) {
        std::fprintf(stderr, "--games needs a number from 1\n");
        return 2;
      }
      options.games = static_cast<int>(v);
    } else if (arg == "--seed" && hasValue) {
      if (!ParseCount(argv[++i], 1, 4000000000L, v)) {
        std::fprintf(stderr, "--seed needs a number from 1\n");
        return 2;
      }
      options.firstSeed = static_cast<unsigned>(v);
    } else {
      options.extra.push_back(arg);
    }
  }
  for (const Mode& m : kModes)
    if (options.mode == m.name) return m.run(options);
  std::fprintf(stderr, "unknown mode %s\n", options.mode.c_str());
  PrintUsage();
  return 2;
}
