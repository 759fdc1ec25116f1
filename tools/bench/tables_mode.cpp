// Mode "tables": a club server under many tables at once. The lobby server
// (zelbowin-server --lobby) runs as its own process; this process is the
// load. It opens N tables through the API and seats four first-choice
// players at each over WebSocket, every player answering its prompt MS
// milliseconds after it came. Once the tables play, it measures for S
// seconds: actions per second, the round trip of cards and of decisions
// (a player's card or decision until
// the turn frame that follows it reaches that player), the server's CPU
// time per action, its resident memory in total and per table, and the
// writer's syncs per second.
//
// The load stands for many clients behind a proxy the server trusts
// (--trusted-proxy 127.0.0.1), each table's players at one made-up
// loopback address, so that the per-address limits of a club hold for
// each table as they would for real players.
#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "net/qt/descriptors.h"
#include "net/qt/epoll_dispatcher.h"
#include "net/qt/qt_transport.h"
#include "records/saved_game.h"
#include "tools/bench/bench_modes.h"
#include "tools/bench/loop_stats.h"
#include "tools/bench/pacer.h"
#include "tools/bench/scripted_client.h"

namespace zelbo::bench {

namespace {

using Clock = std::chrono::steady_clock;

struct TablesArgs {
  int tables = 100;
  int paceMs = 500;
  int seconds = 30;
  std::string dir;     // the server's --dir; a new temporary folder by default
  std::string server;  // the zelbowin-server program; beside the bench by default
};

bool ParseTablesArgs(const std::vector<std::string>& extra, TablesArgs& args) {
  for (std::size_t i = 0; i + 1 < extra.size(); i += 2) {
    const std::string& a = extra[i];
    const std::string& v = extra[i + 1];
    if (a == "--dir") args.dir = v;
    else if (a == "--server") args.server = v;
    else if (a == "--tables") args.tables = std::atoi(v.c_str());
    else if (a == "--pace") args.paceMs = std::atoi(v.c_str());
    else if (a == "--seconds") args.seconds = std::atoi(v.c_str());
    else return false;
  }
  return extra.size() % 2 == 0 && args.tables >= 1 && args.tables <= 20000 && args.paceMs >= 0 &&
         args.seconds >= 1;
}

// /proc figures of a process: CPU seconds (user and system) and resident KiB.
double ProcessCpuSeconds(qint64 pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return 0;
  std::vector<std::string> fields;
  std::string field;
  for (std::size_t i = close + 2; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == ' ') {
      fields.push_back(field);
      field.clear();
    } else {
      field += text[i];
    }
  }
  // After the name: state is field 3 of the file, utime 14 and stime 15.
  if (fields.size() < 13) return 0;
  const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
  return (std::atof(fields[11].c_str()) + std::atof(fields[12].c_str())) / ticks;
}

long ProcessResidentKiB(qint64 pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  return -1;
}

// Four paced players at one table, and the timing of their actions.
struct LoadTable {
  std::string id;
  std::array<std::unique_ptr<QtTransport>, 4> transports;
  std::array<std::unique_ptr<ScriptedClient>, 4> players;
  Clock::time_point sent;  // the last action, by seat `actor` (-1: none waits)
  int actor = -1;
  bool card = false;

  bool Seated() const {
    for (const auto& p : players)
      if (!p->session().IsSeated()) return false;
    return true;
  }
  bool Playing() const { return Seated() && players[0]->session().Game().phase != PhaseIdle; }
  long Actions() const {
    long n = 0;
    for (const auto& p : players) n += p->actions;
    return n;
  }
};

// The decisions and cards a saved game holds, in every deal up to its own.
long ActionsIn(const GameState& g) {
  long n = 0;
  for (int d = 1; d <= g.dealNumber; ++d) {
    for (uint8_t decision : g.dealDecisions[d]) n += decision != Undecided;
    for (const auto& round : g.playRecords[d])
      for (uint8_t card : round) n += IsCard(card);
  }
  return n;
}

// Once the server has drained its writer: the tables whose saved game, and
// so whose hand records, hold every action their players made.
int CompleteTables(const std::string& dir, const std::vector<std::unique_ptr<LoadTable>>& tables) {
  int complete = 0;
  for (const auto& t : tables) {
    GameState g;
    std::string error;
    complete += LoadGame(std::filesystem::path(dir) / "tables" / t->id / "temp.zelbo", g, error) &&
                ActionsIn(g) == t->Actions();
  }
  return complete;
}

// The address that stands for the players of table `k`.
std::string PlayerAddress(int k) {
  return "127.10." + std::to_string(k / 250) + "." + std::to_string(k % 250 + 1);
}

}  // namespace

int RunTablesMode(const Options& options) {
  TablesArgs args;
  if (!ParseTablesArgs(options.extra, args)) {
    std::fprintf(stderr, "tables mode: --tables N --pace MS --seconds S [--dir D] [--server PATH]\n");
    return 2;
  }
  if (args.server.empty()) {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    args.server = (self.parent_path().parent_path() / "server" / "zelbowin-server").string();
  }
  bool ownDir = false;
  if (args.dir.empty()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelbo_tables_bench_XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
      std::fprintf(stderr, "tables mode: cannot make a temporary folder\n");
      return 1;
    }
    args.dir = pattern;
    ownDir = true;
  }
  RaiseDescriptorLimit();  // four sockets a table
  UseDispatcherForManySockets();

  static int argc = 1;
  static char name[] = "zelbowin-bench";
  static char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);

  // The lobby server, its own process.
  QProcess server;
  std::string out;
  QObject::connect(&server, &QProcess::readyReadStandardOutput,
                   [&] { out += server.readAllStandardOutput().toStdString(); });
  server.setProcessChannelMode(QProcess::MergedChannels);
  const auto serverStart = Clock::now();
  server.start(QString::fromStdString(args.server),
               {"--lobby", "--port", "0", "--web", "0", "--dir", QString::fromStdString(args.dir),
                "--trusted-proxy", "127.0.0.1", "--max-tables", QString::number(args.tables + 1)});
  uint16_t port = 0;
  WaitEventsUntil(
      [&] {
        const auto at = out.find("lobby on port ");
        if (at != std::string::npos) port = static_cast<uint16_t>(std::atoi(out.c_str() + at + 14));
        return port != 0 || server.state() == QProcess::NotRunning;
      },
      20000);
  if (port == 0) {
    std::fprintf(stderr, "tables mode: %s did not open a lobby\n%s", args.server.c_str(), out.c_str());
    return 1;
  }
  const long idleKiB = ProcessResidentKiB(server.processId());
  const std::string base = "http://127.0.0.1:" + std::to_string(port);

  // The tables, opened through the API a few at a time.
  std::vector<std::unique_ptr<LoadTable>> tables;
  QNetworkAccessManager http;
  int asked = 0, answered = 0, refused = 0;
  auto askOne = [&] {
    const int k = asked++;
    QNetworkRequest request(QUrl(QString::fromStdString(base + "/api/tables")));
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    request.setRawHeader("X-Forwarded-For", QByteArray::fromStdString(PlayerAddress(k)));
    const std::string body = "{\"name\":\"bench " + std::to_string(k) +
                             "\",\"robots\":\"none\",\"listed\":true,\"watchersSeeHands\":true}";
    QNetworkReply* reply = http.post(request, QByteArray::fromStdString(body));
    QObject::connect(reply, &QNetworkReply::finished, [&, reply, k] {
      const std::string text = reply->readAll().toStdString();
      const auto at = text.find("\"id\":\"");
      if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 201 &&
          at != std::string::npos) {
        auto t = std::make_unique<LoadTable>();
        t->id = text.substr(at + 6, text.find('"', at + 6) - at - 6);
        t->actor = k;  // the table's number until its players sit
        tables.push_back(std::move(t));
      } else {
        ++refused;
      }
      ++answered;
      reply->deleteLater();
    });
  };
  while (answered < args.tables) {
    while (asked < args.tables && asked - answered < 16) askOne();
    if (!WaitEventsUntil([&] { return answered == asked; }, 30000)) break;
  }
  if (refused || static_cast<int>(tables.size()) < args.tables) {
    std::fprintf(stderr, "tables mode: %d of %d tables could not be opened\n", args.tables - static_cast<int>(tables.size()),
                 args.tables);
  }

  // Four players a table, a few tables at a time (the door takes a few
  // handshakes from one address at once).
  Pacer pacer(args.paceMs);  // the paced actions die with it, before the players
  bool stopped = false;       // the players make no more actions
  bool measuring = false;
  std::vector<double> rtt, cardRtt;  // decisions, cards
  const char* handles[] = {"South", "West", "North", "East"};
  for (std::size_t first = 0; first < tables.size(); first += 3) {
    const std::size_t end = std::min(tables.size(), first + 3);
    if (first % 100 == 0) std::fprintf(stderr, "tables mode: seating table %zu of %zu\n", first + 1, tables.size());
    for (std::size_t i = first; i < end; ++i) {
      LoadTable& t = *tables[i];
      const std::string address = PlayerAddress(t.actor);
      t.actor = -1;
      for (int s = 0; s < 4; ++s) {
        t.transports[s] = std::make_unique<QtTransport>();
        t.transports[s]->SetForwardedFor(address);
        t.players[s] = std::make_unique<ScriptedClient>(*t.transports[s], handles[s], s);
        ScriptedClient& p = *t.players[s];
        p.defer = [&pacer, &stopped](std::function<void()> action) {
          pacer.Later([&stopped, action = std::move(action)] {
            if (!stopped) action();
          });
        };
        p.onCard = [&t, s](int) { t.sent = Clock::now(), t.actor = s, t.card = true; };
        p.onDecision = [&t, s] { t.sent = Clock::now(), t.actor = s, t.card = false; };
        p.onFrame = [&t, &rtt, &cardRtt, &measuring, s](int type) {
          if (type != MsgTurn || t.actor != s) return;
          if (measuring) {
            const double us = std::chrono::duration<double, std::micro>(Clock::now() - t.sent).count();
            (t.card ? cardRtt : rtt).push_back(us);
          }
          t.actor = -1;
        };
        p.session().Connect(base + "/t/" + t.id + "/");
      }
    }
    WaitEventsUntil(
        [&] {
          for (std::size_t i = first; i < end; ++i)
            if (!tables[i]->Seated()) return false;
          return true;
        },
        10000);
  }
  int playing = 0;
  WaitEventsUntil(
      [&] {
        playing = 0;
        for (const auto& t : tables) playing += t->Playing();
        return playing == static_cast<int>(tables.size());
      },
      30000);

  // The measured window.
  const long loadedKiB = ProcessResidentKiB(server.processId());
  long actionsBefore = 0;
  for (const auto& t : tables) actionsBefore += t->Actions();
  const double cpuBefore = ProcessCpuSeconds(server.processId());
  const double loadCpuBefore = ProcessCpuSeconds(getpid());
  const auto windowStart = Clock::now();
  measuring = true;
  WaitEventsUntil([] { return false; }, args.seconds * 1000);
  measuring = false;
  const double window = std::chrono::duration<double>(Clock::now() - windowStart).count();
  const double cpu = ProcessCpuSeconds(server.processId()) - cpuBefore;
  const double loadCpu = ProcessCpuSeconds(getpid()) - loadCpuBefore;
  long actions = -actionsBefore;
  for (const auto& t : tables) actions += t->Actions();
  const long endKiB = ProcessResidentKiB(server.processId());
  int stillPlaying = 0;
  for (const auto& t : tables) stillPlaying += t->Playing();
  // The players stop, and the actions on their way are answered before the
  // server closes: its saved games must then hold every one.
  stopped = true;
  RunEventsUntil([&] { return std::all_of(tables.begin(), tables.end(), [](const auto& t) { return t->actor < 0; }); },
                 10000);

  // The server closes down (draining its writer) and says what the writer did.
  server.terminate();
  server.waitForFinished(60000);
  out += server.readAllStandardOutput().toStdString();
  const double life = std::chrono::duration<double>(Clock::now() - serverStart).count();
  long syncs = -1;
  if (const auto at = out.find("writer: "); at != std::string::npos) {
    const auto s = out.find(" files, ", at);
    if (s != std::string::npos) syncs = std::atol(out.c_str() + s + 8);
  }
  const int complete = CompleteTables(args.dir, tables);
  const auto opened = tables.size();
  tables.clear();
  if (ownDir) std::filesystem::remove_all(args.dir);

  const int n = playing;
  std::printf("mode:         tables (lobby server in its own process, paced first-choice players over WebSocket)\n");
  std::printf("tables:       %d asked, %d playing at the start, %d at the end; pace %d ms; window %.1f s\n",
              args.tables, n, stillPlaying, args.paceMs, window);
  std::printf("folder:       %s\n", args.dir.c_str());
  std::printf("actions:      %.0f /s\n", static_cast<double>(actions) / window);
  // First-choice players double only when they must, so the first deals
  // of a game are often decided without play: decisions are timed too.
  std::printf("card rtt:     median %.2f ms, p99 %.2f ms (%zu cards)\n", Percentile(cardRtt, 0.5) / 1000,
              Percentile(cardRtt, 0.99) / 1000, cardRtt.size());
  std::printf("decision rtt: median %.2f ms, p99 %.2f ms (%zu contracts and doubles)\n", Percentile(rtt, 0.5) / 1000,
              Percentile(rtt, 0.99) / 1000, rtt.size());
  std::printf("server CPU:   %.1f us an action (%.0f%% of one core)\n",
              actions > 0 ? cpu * 1e6 / static_cast<double>(actions) : 0.0, 100 * cpu / window);
  std::printf("server RSS:   %.1f MB with the tables (%.1f MB idle lobby), %.0f KiB a table; %.1f MB at the end\n",
              static_cast<double>(loadedKiB) / 1024, static_cast<double>(idleKiB) / 1024,
              n > 0 ? static_cast<double>(loadedKiB - idleKiB) / n : 0.0, static_cast<double>(endKiB) / 1024);
  if (syncs >= 0) std::printf("syncs:        %.0f /s over the server's life of %.0f s\n", static_cast<double>(syncs) / life, life);
  std::printf("records:      %d of %zu tables hold every action their players made, once the writer drained\n",
              complete, opened);
  std::printf("load:         %ld KiB peak, %.0f%% of one core (this process)\n", PeakResidentKiB(),
              100 * loadCpu / window);
  return n == args.tables && complete == static_cast<int>(opened) ? 0 : 1;
}

}  // namespace zelbo::bench
