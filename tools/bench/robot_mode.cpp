// Mode "robot": the robot's strength. Plays seeded games of one robot
// against three simple players (first allowed choice), the robot's seat
// rotating South, West, North, East from game to game, and prints the
// robot's mean game total minus the mean total of the other three, with
// its standard error.
#include <chrono>
#include <cmath>
#include <cstdio>

#include "engine/engine_host.h"
#include "robot/robot_match.h"
#include "tools/bench/bench_modes.h"

namespace zelbo::bench {

int RunRobotStrengthMode(const Options& options) {
  if (!options.extra.empty()) {
    std::fprintf(stderr, "robot mode: unknown argument %s\n", options.extra.front().c_str());
    return 2;
  }
  EngineHost host;
  GameState g;
  double sum = 0, sumSquares = 0;
  double robotSum = 0, othersSum = 0;
  int unfinished = 0, refused = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < options.games; ++i) {
    const int seat = i % 4;
    const MatchResult r = PlayRobotMatch(options.firstSeed + static_cast<unsigned>(i), 1u << seat, g, host);
    if (!r.finished) ++unfinished;
    refused += r.refusedMoves;
    double others = 0;
    for (int s = 0; s < 4; ++s)
      if (s != seat) others += g.totalScores[s];
    others /= 3.0;
    const double diff = g.totalScores[seat] - others;
    sum += diff;
    sumSquares += diff * diff;
    robotSum += g.totalScores[seat];
    othersSum += others;
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const int n = options.games;
  const double mean = sum / n;
  const double variance = n > 1 ? (sumSquares - n * mean * mean) / (n - 1) : 0.0;
  const double se = n > 0 ? std::sqrt(variance > 0 ? variance / n : 0.0) : 0.0;

  std::printf("mode:         robot (one robot, three first-choice players, robot seat rotating)\n");
  std::printf("games:        %d (seeds %u..%u)\n", n, options.firstSeed,
              options.firstSeed + static_cast<unsigned>(n) - 1);
  std::printf("robot total:  %.1f mean per game\n", robotSum / n);
  std::printf("others total: %.1f mean per game\n", othersSum / n);
  std::printf("difference:   %+.1f +- %.1f (mean robot minus others, standard error)\n", mean, se);
  std::printf("time:         %.2f s\n", seconds);
  if (unfinished || refused) {
    std::printf("faults:       %d unfinished games, %d robot moves refused\n", unfinished, refused);
    return 1;
  }
  return 0;
}

}  // namespace zelbo::bench
