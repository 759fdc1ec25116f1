// The bench's modes. Each mode lives in its own file and is listed in the
// table in main.cpp; it gets the common options and prints its own summary.
#pragma once

#include <string>
#include <vector>

namespace zelbo::bench {

struct Options {
  std::string mode = "engine";
  int games = 200;                 // --games N
  unsigned firstSeed = 1;          // --seed S: first seed of the series
  std::vector<std::string> extra;  // arguments the common parser did not take
};

// Returns the process exit code.
using ModeFunction = int (*)(const Options&);

struct Mode {
  const char* name;
  const char* summary;
  ModeFunction run;
};

// Peak resident memory of this process in KiB.
long PeakResidentKiB();

int RunEngineMode(const Options& options);
int RunRecordsMode(const Options& options);
int RunRobotStrengthMode(const Options& options);
int RunDuelMode(const Options& options);
#ifdef ZELBO_BENCH_NET
int RunNetMode(const Options& options);
int RunArchiveMode(const Options& options);
int RunRobotRateMode(const Options& options);
int RunTablesMode(const Options& options);
#endif

}  // namespace zelbo::bench
