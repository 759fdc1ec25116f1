// Mode "robots": whole games between four robots over loopback TCP, with
// the server's autosave and undo snapshots on, as a person would play
// against them. A table server and four robot clients (each with its own
// socket transport) share one process and one event loop. Prints whole
// games per minute and the card round trip: from a robot's MsgPlayCard to
// the MsgTurn that answers it at that robot.
#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "net/qt/qt_transport.h"
#include "net/server_table.h"
#include "robot/qt/robot_runner.h"
#include "robot/robot_seats.h"
#include "tools/bench/bench_modes.h"
#include "tools/bench/loop_stats.h"

namespace zelbo::bench {

namespace {

using Clock = std::chrono::steady_clock;

struct GameOverUi : ServerUi {
  bool over = false;
  void GameOver(const GameState&) override { over = true; }
};

}  // namespace

int RunRobotRateMode(const Options& options) {
  std::string dir;
  for (std::size_t i = 0; i < options.extra.size(); ++i) {
    if (options.extra[i] == "--dir" && i + 1 < options.extra.size()) {
      dir = options.extra[++i];
    } else {
      std::fprintf(stderr, "robots mode: unknown argument %s\n", options.extra[i].c_str());
      return 2;
    }
  }
  bool ownDir = false;
  if (dir.empty()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelbo_robot_bench_XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
      std::fprintf(stderr, "robots mode: cannot make a temporary folder\n");
      return 1;
    }
    dir = pattern;
    ownDir = true;
  }

  static int argc = 1;
  static char name[] = "zelbowin-bench";
  static char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);

  std::vector<double> roundTrips;
  int unfinished = 0;
  const auto start = Clock::now();
  for (int game = 0; game < options.games; ++game) {
    const uint32_t seed = options.firstSeed + static_cast<uint32_t>(game);
    QtTransport transport;
    GameOverUi ui;
    ServerTable table(transport, ui,
                      ServerConfig{std::string(NonplayingServerHandle), dir, seed, true, true});
    std::string error;
    if (!table.Start(0, error)) {
      std::fprintf(stderr, "robots mode: cannot listen\n");
      return 1;
    }
    std::vector<std::unique_ptr<RobotRunner>> robots;
    for (int seat = 0; seat < 4; ++seat) {
      robots.push_back(std::make_unique<RobotRunner>(RobotConfig{RobotHandle(seat), seat, false}));
      robots.back()->Client().SetCardTimer([&roundTrips](double us) { roundTrips.push_back(us); });
      robots.back()->Start("127.0.0.1", table.Port());
    }
    if (!RunEventsUntil([&] { return ui.over; }, 600000)) ++unfinished;
    robots.clear();
    table.Stop();
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (ownDir) std::filesystem::remove_all(dir);

  std::printf("mode:         robots (four robots, loopback TCP, autosave and undo on)\n");
  std::printf("games:        %d (seeds %u..%u)\n", options.games, options.firstSeed,
              options.firstSeed + static_cast<unsigned>(options.games) - 1);
  std::printf("time:         %.2f s\n", seconds);
  std::printf("games/min:    %.1f\n", seconds > 0 ? 60.0 * options.games / seconds : 0.0);
  std::printf("cards timed:  %zu\n", roundTrips.size());
  std::printf("card rtt:     median %.0f us, p99 %.0f us\n", Percentile(roundTrips, 0.5),
              Percentile(roundTrips, 0.99));
  std::printf("peak RSS:     %ld KiB\n", PeakResidentKiB());
  if (unfinished) {
    std::printf("unfinished:   %d games did not end\n", unfinished);
    return 1;
  }
  return 0;
}

}  // namespace zelbo::bench
