// Mode "duel": two robot levels in duplicate games. For each seed the same
// 28 deals are played four times, robot A in South, West, North and East in
// turn against three robots B, so that the luck of the cards cancels. Prints
// A's mean lead per game over the mean of the B seats with its standard error
// over seeds, A's think time per decision, the look-ahead's play-outs per
// second and the peak resident memory.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/engine_host.h"
#include "robot/robot_match.h"
#include "robot/robot_player.h"
#include "tools/bench/bench_modes.h"

namespace zelbo::bench {

namespace {

struct DuelArgs {
  RobotLevel a = RobotLevel::Strong;
  RobotLevel b = RobotLevel::Normal;
  int seeds = 20;
  LookAhead budget;
};

bool ParseDuelArgs(const std::vector<std::string>& extra, DuelArgs& args) {
  for (std::size_t i = 0; i < extra.size(); ++i) {
    const std::string& arg = extra[i];
    const bool hasValue = i + 1 < extra.size();
    if ((arg == "--a" || arg == "--b") && hasValue) {
      if (!ParseRobotLevel(extra[++i], arg == "--a" ? args.a : args.b)) {
        std::fprintf(stderr, "duel mode: %s needs easy, normal or strong\n", arg.c_str());
        return false;
      }
    } else if ((arg == "--seeds" || arg == "--playouts") && hasValue) {
      char* end = nullptr;
      const long v = std::strtol(extra[++i].c_str(), &end, 10);
      if (*end != '\0' || v < 1 || v > 1000000) {
        std::fprintf(stderr, "duel mode: %s needs a number from 1\n", arg.c_str());
        return false;
      }
      (arg == "--seeds" ? args.seeds : args.budget.playouts) = static_cast<int>(v);
    } else {
      std::fprintf(stderr, "duel mode: unknown argument %s\n", arg.c_str());
      return false;
    }
  }
  return true;
}

double Quantile(std::vector<double>& v, double p) {
  if (v.empty()) return 0;
  const std::size_t k = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1));
  std::nth_element(v.begin(), v.begin() + static_cast<long>(k), v.end());
  return v[k];
}

}  // namespace

int RunDuelMode(const Options& options) {
  DuelArgs args;
  if (!ParseDuelArgs(options.extra, args)) return 2;
  EngineHost host;
  GameState g;
  std::vector<double> thinkMicros;
  double leadSum = 0, leadSquares = 0, aPoints = 0, bPoints = 0, aThinkMicros = 0;
  long playouts = 0;
  int unfinished = 0, refused = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < args.seeds; ++i) {
    const uint32_t seed = options.firstSeed + static_cast<uint32_t>(i);
    double seedLead = 0;
    for (int aSeat = 0; aSeat < 4; ++aSeat) {
      RobotPlayer players[4];
      RobotPlayer* seats[4];
      for (int s = 0; s < 4; ++s) {
        players[s] = RobotPlayer(s == aSeat ? args.a : args.b, args.budget);
        seats[s] = &players[s];
      }
      const MatchResult r = PlayPlayersMatch(seed, seats, g, host, [&](const GameState&, int seat, double micros) {
        if (seat != aSeat) return;
        thinkMicros.push_back(micros);
        aThinkMicros += micros;
      });
      if (!r.finished) ++unfinished;
      refused += r.refusedMoves;
      playouts += players[aSeat].Counters().playouts;
      double b = 0;
      for (int s = 0; s < 4; ++s)
        if (s != aSeat) b += g.totalScores[s];
      b /= 3.0;
      aPoints += g.totalScores[aSeat];
      bPoints += b;
      seedLead += (g.totalScores[aSeat] - b) / 4.0;
    }
    leadSum += seedLead;
    leadSquares += seedLead * seedLead;
    if ((i + 1) % 10 == 0) {
      const double m = leadSum / (i + 1);
      std::fprintf(stderr, "duel: %d seeds, lead %+.2f per game\n", i + 1, m);
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const int n = args.seeds;
  const double mean = leadSum / n;
  const double variance = n > 1 ? (leadSquares - n * mean * mean) / (n - 1) : 0.0;
  const double se = std::sqrt(variance > 0 ? variance / n : 0.0);
  const double median = Quantile(thinkMicros, 0.5);
  const double p99 = Quantile(thinkMicros, 0.99);

  std::printf("mode:          duel (duplicate: A rotated through the seats against three B)\n");
  std::printf("A, B:          %s, %s (look-ahead %d play-outs per decision)\n", RobotLevelName(args.a),
              RobotLevelName(args.b), args.budget.playouts);
  std::printf("seeds:         %d (%u..%u), %d games\n", n, options.firstSeed,
              options.firstSeed + static_cast<unsigned>(n) - 1, 4 * n);
  std::printf("A points:      %.1f mean per game\n", aPoints / (4.0 * n));
  std::printf("B points:      %.1f mean per game (mean of the three B seats)\n", bPoints / (4.0 * n));
  std::printf("A lead:        %+.2f +- %.2f per game (standard error over seeds, %.1f SE)\n", mean, se,
              se > 1e-9 ? mean / se : 0.0);
  std::printf("A think time:  median %.3f ms, p99 %.3f ms per decision (%zu decisions)\n",
              median / 1000.0, p99 / 1000.0, thinkMicros.size());
  if (playouts > 0) {
    std::printf("play-outs:     %ld, %.0f per second of A's thinking\n", playouts,
                playouts / (aThinkMicros / 1e6));
  }
  std::printf("time:          %.1f s\n", seconds);
  std::printf("peak RSS:      %ld KiB\n", PeakResidentKiB());
  if (unfinished || refused) {
    std::printf("faults:        %d unfinished games, %d robot moves refused\n", unfinished, refused);
    return 1;
  }
  return 0;
}

}  // namespace zelbo::bench
