// The crash drill: a headless server process plays a seeded game between
// four robots and is killed with SIGKILL at several points of the game (in
// the doubling round, in Dominoes, in the middle of a trick, at a contract
// choice). Each time it is started again with --load on its autosave; the
// robots reconnect by themselves and finish the game. The hand records must
// equal those of the same game played without interruption.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "robot/qt/robot_runner.h"
#include "robot/robot_seats.h"
#include "tests/robot_fixtures.h"

#ifndef ZELBO_SERVER_PROGRAM
#error "ZELBO_SERVER_PROGRAM must name the zelbowin-server program"
#endif

namespace zelbo {
namespace {

using testing::FreshFolder;
using testing::RecordsWithoutTimeLine;
using testing::RunUntil;

constexpr uint32_t Seed = 31;
constexpr int StepTimeoutMs = 120000;

// One run of zelbowin-server, its standard output collected.
class ServerProcess {
 public:
  ServerProcess() {
    QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] {
      output_ += process_.readAllStandardOutput().toStdString();
    });
  }
  ~ServerProcess() { Kill(); }

  // Starts the server and waits until it listens; false if it does not.
  bool Start(const std::filesystem::path& dir, uint16_t port, bool load) {
    output_.clear();
    QStringList args{"--port", QString::number(port), "--seed", QString::number(Seed), "--dir",
                     QString::fromStdString(dir.string())};
    if (load) args << "--load" << QString::fromStdString((dir / "temp.zelbo").string());
    process_.start(QString::fromUtf8(ZELBO_SERVER_PROGRAM), args);
    const bool up = RunUntil(
        [&] {
          return output_.find("table open on port") != std::string::npos ||
                 process_.state() == QProcess::NotRunning;
        },
        20000);
    if (!up || process_.state() == QProcess::NotRunning) return false;
    const std::size_t at = output_.find("table open on port") + 19;
    port_ = static_cast<uint16_t>(std::stoi(output_.substr(at)));
    return true;
  }
  void Kill() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.kill();  // SIGKILL
    process_.waitForFinished(10000);
  }
  void Stop() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(10000)) Kill();
  }
  uint16_t Port() const { return port_; }
  const std::string& Output() const { return output_; }

 private:
  QProcess process_;
  std::string output_;
  uint16_t port_ = 0;
};

std::filesystem::path FindRecords(const std::filesystem::path& dir) {
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    if (entry.path().filename().string().rfind("handrecords-", 0) == 0) return entry.path();
  return {};
}

std::vector<std::unique_ptr<RobotRunner>> StartRobots(uint16_t port) {
  std::vector<std::unique_ptr<RobotRunner>> robots;
  for (int seat = 0; seat < 4; ++seat) {
    robots.push_back(std::make_unique<RobotRunner>(RobotConfig{RobotHandle(seat), seat, true}));
    robots.back()->Start("127.0.0.1", port);
  }
  return robots;
}

// Plays the game to its end; returns the records without the time line.
std::string FinishAndReadRecords(ServerProcess& server, const std::filesystem::path& dir) {
  const bool written = RunUntil([&] { return !FindRecords(dir).empty(); }, StepTimeoutMs);
  EXPECT_TRUE(written) << server.Output();
  if (!written) return {};
  // The file is renamed into place whole; give the server a moment to log it.
  RunUntil([&] { return server.Output().find("Hand records written") != std::string::npos; }, 5000);
  return RecordsWithoutTimeLine(FindRecords(dir));
}

int CardsOnTable(const GameState& g) {
  int n = 0;
  for (int s = 0; s < 4; ++s) n += IsCard(g.tableCards[s]) ? 1 : 0;
  return n;
}

struct KillPoint {
  const char* name;
  std::function<bool(const GameState&, int lastDeal)> reached;
};

TEST(RobotDrill, KilledServerReloadsAndTheGameEndsAsIfUninterrupted) {
  // The game played straight through.
  const std::filesystem::path refDir = FreshFolder("drill-ref");
  std::string reference;
  {
    ServerProcess server;
    ASSERT_TRUE(server.Start(refDir, 0, false));
    auto robots = StartRobots(server.Port());
    reference = FinishAndReadRecords(server, refDir);
    robots.clear();
    server.Stop();
  }
  ASSERT_NE(reference.find("Deal 28"), std::string::npos);

  const KillPoint points[] = {
      {"doubling round", [](const GameState& g, int) {
         return g.phase == PhaseChoosing && g.turn >= 1 && g.dealNumber >= 2;
       }},
      {"Dominoes", [](const GameState& g, int last) {
         return IsDominoes(g.contract) && g.phase == PhasePlaying && g.dealNumber > last &&
                g.tally[0] + g.tally[1] + g.tally[2] + g.tally[3] < 40;
       }},
      {"middle of a trick", [](const GameState& g, int last) {
         return g.phase == PhasePlaying && IsContract(g.contract) && !IsDominoes(g.contract) &&
                g.dealNumber > last && g.playRound >= 3 && CardsOnTable(g) >= 1 && CardsOnTable(g) <= 3;
       }},
      {"contract choice", [](const GameState& g, int last) {
         return g.phase == PhaseChoosing && g.turn == 0 && g.dealNumber > last && g.dealNumber >= 20;
       }},
  };

  const std::filesystem::path dir = FreshFolder("drill");
  ServerProcess server;
  ASSERT_TRUE(server.Start(dir, 0, false));
  const uint16_t port = server.Port();
  auto robots = StartRobots(port);
  const ClientSession& watcher = robots[0]->Client().Session();
  int lastDeal = 0;
  int resumes = 0;
  for (const KillPoint& point : points) {
    SCOPED_TRACE(point.name);
    ASSERT_TRUE(RunUntil([&] { return point.reached(watcher.Game(), lastDeal); }, StepTimeoutMs))
        << "the game never reached the point";
    const GameState seen = watcher.Game();
    server.Kill();
    lastDeal = seen.dealNumber;
    std::printf("[ drill    ] killed at %s: deal %d, phase %d, contract %d, step/turn %d\n",
                point.name, seen.dealNumber, seen.phase, seen.contract, seen.turn);
    // The same port again; a moment may pass before the old one is free.
    ASSERT_TRUE(RunUntil([&] { return server.Start(dir, port, true); }, 30000)) << server.Output();
    ASSERT_TRUE(RunUntil([&] { return server.Output().find("Game resumed") != std::string::npos; },
                         StepTimeoutMs))
        << server.Output();
    ++resumes;
  }
  EXPECT_EQ(resumes, 4);
  const std::string records = FinishAndReadRecords(server, dir);
  EXPECT_EQ(records, reference);
  robots.clear();
  server.Stop();
  std::filesystem::remove_all(dir);
  std::filesystem::remove_all(refDir);
}

}  // namespace
}  // namespace zelbo

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
