// Mode "net": whole games over loopback TCP. A table server (autosave and
// undo snapshots on) and four scripted clients share one process and one
// event loop. Prints the wall time of a game and the round trip of a card:
// from the client's MsgPlayCard until all four clients hold the MsgTurn
// that follows it. With --server PATH the table runs in a separate
// zelbowin-server process instead, whose peak resident memory is printed.
// In the same run it measures the floor: as many round trips over the same
// sockets through a server that only fans each frame out to the four
// clients, so the table's own cost shows as the difference.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

#include "hosting/event_loop_writer.h"
#include "net/qt/qt_transport.h"
#include "net/server_table.h"
#include "tools/bench/bench_modes.h"
#include "tools/bench/fan_out_floor.h"
#include "tools/bench/loop_stats.h"
#include "tools/bench/scripted_client.h"

namespace zelbo::bench {

namespace {

using Clock = std::chrono::steady_clock;

struct NetArgs {
  std::string dir;     // --dir D: where the server's files go
  std::string server;  // --server PATH: run zelbowin-server as its own process
};

// Times cards from the sender's MsgPlayCard to the last client's MsgTurn.
class CardTimer {
 public:
  void CardSent() { pending_.push_back({Clock::now(), turns_}); }
  void TurnSeen(int client) {
    turns_[static_cast<std::size_t>(client)] += 1;
    while (!pending_.empty()) {
      const Pending& p = pending_.front();
      for (std::size_t i = 0; i < 4; ++i)
        if (turns_[i] <= p.turnsAtSend[i]) return;
      samples_.push_back(std::chrono::duration<double, std::micro>(Clock::now() - p.sent).count());
      pending_.pop_front();
    }
  }
  void NextGame() { pending_.clear(); }
  std::vector<double>& samples() { return samples_; }

 private:
  struct Pending {
    Clock::time_point sent;
    std::array<long, 4> turnsAtSend;
  };
  std::array<long, 4> turns_{};
  std::deque<Pending> pending_;
  std::vector<double> samples_;
};

struct CountingUi : ServerUi {
  int gamesOver = 0;
  void GameOver(const GameState&) override { ++gamesOver; }
};

long ProcessPeakKiB(qint64 pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return -1;
}

// One game: four scripted clients at a table on `port`. Returns false when
// the game did not end in time.
bool PlayOneGame(uint16_t port, CardTimer& timer, const std::function<bool()>& serverDone,
                 long& framesSeen, long& cardsSent) {
  std::array<std::unique_ptr<QtTransport>, 4> transports;
  std::array<std::unique_ptr<ScriptedClient>, 4> clients;
  const char* names[] = {"Sue", "Walt", "Nina", "Ed"};
  for (int s = 0; s < 4; ++s) {
    transports[s] = std::make_unique<QtTransport>();
    clients[s] = std::make_unique<ScriptedClient>(*transports[s], names[s], s);
    clients[s]->onCard = [&timer, &cardsSent](int) {
      timer.CardSent();
      ++cardsSent;
    };
    clients[s]->onFrame = [&timer, &framesSeen, s](int type) {
      ++framesSeen;
      if (type == MsgTurn) timer.TurnSeen(s);
    };
    clients[s]->session().Connect("127.0.0.1", port);
  }
  const bool finished = RunEventsUntil(
      [&] {
        if (!serverDone()) return false;
        for (const auto& c : clients)
          if (c->session().Game().phase != PhaseGameOver) return false;
        return true;
      },
      300000);
  timer.NextGame();
  return finished;
}

}  // namespace

int RunNetMode(const Options& options) {
  NetArgs args;
  for (std::size_t i = 0; i < options.extra.size(); ++i) {
    const std::string& a = options.extra[i];
    if ((a == "--dir" || a == "--server") && i + 1 < options.extra.size()) {
      (a == "--dir" ? args.dir : args.server) = options.extra[++i];
    } else {
      std::fprintf(stderr, "net mode: unknown argument %s\n", a.c_str());
      return 2;
    }
  }
  bool ownDir = false;
  if (args.dir.empty()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelbo_net_bench_XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
      std::fprintf(stderr, "net mode: cannot make a temporary folder\n");
      return 1;
    }
    args.dir = pattern;
    ownDir = true;
  }

  // With a separate server process the floor's server is one too.
  pid_t floorChild = -1;
  const uint16_t floorPort = args.server.empty() ? 0 : StartFanOutProcess(floorChild);

  static int argc = 1;
  static char name[] = "zelbowin-bench";
  static char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);

  // The table's files go through the writer thread, as in the server program.
  EventLoopWriter writer;
  writer.Writer().KeepCommitTimes(true);
  CardTimer timer;
  std::vector<double> gameSeconds;
  int unfinished = 0;
  long serverPeakKiB = -1;
  long framesSeen = 0, cardsSent = 0;

  for (int game = 0; game < options.games; ++game) {
    const uint32_t seed = options.firstSeed + static_cast<uint32_t>(game);
    const auto start = Clock::now();
    bool finished = false;
    if (args.server.empty()) {
      QtTransport serverTransport;
      CountingUi ui;
      ServerConfig config{std::string(NonplayingServerHandle), args.dir, seed, true, true};
      config.writer = &writer.Writer();
      ServerTable table(serverTransport, ui, config);
      std::string error;
      if (!table.Start(0, error)) {
        std::fprintf(stderr, "net mode: cannot listen\n");
        return 1;
      }
      finished = PlayOneGame(table.Port(), timer, [&] { return ui.gamesOver > 0; }, framesSeen, cardsSent);
      table.Stop();
    } else {
      QProcess server;
      server.start(QString::fromStdString(args.server),
                   {"--port", "0", "--seed", QString::number(seed), "--dir",
                    QString::fromStdString(args.dir)});
      uint16_t port = 0;
      std::string out;
      RunEventsUntil(
          [&] {
            out += server.readAllStandardOutput().toStdString();
            const auto at = out.find("table open on port ");
            if (at != std::string::npos) port = static_cast<uint16_t>(std::atoi(out.c_str() + at + 19));
            return port != 0 || server.state() == QProcess::NotRunning;
          },
          10000);
      if (port == 0) {
        std::fprintf(stderr, "net mode: %s did not open a table\n", args.server.c_str());
        return 1;
      }
      finished = PlayOneGame(port, timer, [&] {
        out += server.readAllStandardOutput().toStdString();
        return out.find("Hand records written to") != std::string::npos;
      }, framesSeen, cardsSent);
      serverPeakKiB = std::max(serverPeakKiB, ProcessPeakKiB(server.processId()));
      server.terminate();
      server.waitForFinished(5000);
    }
    gameSeconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    if (!finished) ++unfinished;
  }
  if (ownDir) std::filesystem::remove_all(args.dir);
  // Frames each client receives per card, for the floor to send as many.
  const double perCard = timer.samples().empty() ? 1.0
                                                 : static_cast<double>(framesSeen) /
                                                       (4.0 * static_cast<double>(cardsSent));
  const int copies = std::max(1, static_cast<int>(perCard + 0.5));
  const std::vector<double> floor =
      MeasureFanOutFloor(std::max(1000, static_cast<int>(timer.samples().size())), copies, floorPort);
  if (floorChild > 0) {
    kill(floorChild, SIGTERM);
    waitpid(floorChild, nullptr, 0);
  }

  double total = 0;
  for (double s : gameSeconds) total += s;
  const auto& rtt = timer.samples();
  std::printf("mode:         net (loopback TCP, autosave and undo on)\n");
  std::printf("games:        %d (seeds %u..%u)%s\n", options.games, options.firstSeed,
              options.firstSeed + static_cast<unsigned>(options.games) - 1,
              args.server.empty() ? "" : ", separate server process");
  std::printf("game time:    mean %.3f s, median %.3f s, max %.3f s\n",
              total / static_cast<double>(gameSeconds.size()), Percentile(gameSeconds, 0.5),
              Percentile(gameSeconds, 1.0));
  std::printf("cards timed:  %zu\n", rtt.size());
  std::printf("folder:       %s\n", args.dir.c_str());
  std::printf("card rtt:     median %.0f us, p99 %.0f us\n", Percentile(rtt, 0.5), Percentile(rtt, 0.99));
  std::printf("floor rtt:    median %.0f us, p99 %.0f us (%zu cards of %d frames fanned out, no table)\n",
              Percentile(floor, 0.5), Percentile(floor, 0.99), floor.size(), copies);
  if (!floor.empty() && Percentile(floor, 0.5) > 0)
    std::printf("over floor:   %.2fx at the median\n", Percentile(rtt, 0.5) / Percentile(floor, 0.5));
  if (args.server.empty()) {
    // The commit window: from an action's hand-over to its file on the disk.
    const DiskWriterStats w = writer.Writer().Stats();
    std::printf("writer:       %ld batches, %.2f files a batch, %ld syncs, %ld states replaced before written\n",
                w.batches, w.batches ? static_cast<double>(w.files) / static_cast<double>(w.batches) : 0.0,
                w.syncs, w.replaced);
    std::printf("commit:       median %.0f us, p99 %.0f us, max %.0f us from hand-over to disk\n",
                Percentile(w.commitMicros, 0.5), Percentile(w.commitMicros, 0.99),
                Percentile(w.commitMicros, 1.0));
  }
  std::printf("peak RSS:     %ld KiB (this process%s)\n", PeakResidentKiB(),
              args.server.empty() ? ": server and four clients" : ": four clients");
  if (serverPeakKiB >= 0) std::printf("server RSS:   %ld KiB peak (zelbowin-server)\n", serverPeakKiB);
  if (unfinished) {
    std::printf("unfinished:   %d games did not reach the end\n", unfinished);
    return 1;
  }
  return 0;
}

}  // namespace zelbo::bench
