// The crash drill: a server process running a seeded robot game is SIGKILLed
// at several points and restarted with --load on its autosave; the robots come
// back and the hand records equal those of the game played straight through.
// The last point is inside the server: it kills itself after an action's
// frames have gone out and before that action's files are written.
#include <gtest/gtest.h>

#include <QProcess>

#include <algorithm>
#include <functional>

#include "tests/robot_fixtures.h"
#include "tests/server_process.h"

namespace zelbo {
namespace {

using testing::WaitUntil;
constexpr int StepMs = 120000;

// zelbowin-server on `dir` and four reconnecting robots.
struct DrillServer : testing::ServerProcess {
  explicit DrillServer(std::string d) : dir(std::move(d)) {}
  ~DrillServer() { robots.clear(); Kill(); }
  void Kill() { Stop(true); }  // SIGKILL
  // Starts the server (on its previous port, if any); waits until it listens.
  // `killBeforeFiles` > 0: the server kills itself at that action, between
  // its frames and its files.
  bool Start(bool load, int killBeforeFiles = 0) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("ZELBOWIN_KILL_BEFORE_FILES");
    if (killBeforeFiles > 0) env.insert("ZELBOWIN_KILL_BEFORE_FILES", QString::number(killBeforeFiles));
    process.setProcessEnvironment(env);
    QStringList args{"--port", QString::number(port), "--seed", "31", "--dir", dir.c_str()};
    if (load) args << "--load" << (dir + "/temp.zelbo").c_str();
    ServerProcess::Start(args);
    const uint16_t listening = Port("table open on port ");
    if (!listening) return false;
    port = listening;
    for (int seat = 0; seat < 4 && robots.size() < 4; ++seat) {
      robots.push_back(std::make_unique<RobotRunner>(RobotConfig{RobotHandle(seat), seat, true}));
      robots.back()->Start("127.0.0.1", port);
    }
    return true;
  }
  // Waits for the end of the game; the records without the time line.
  std::string FinalRecords() {
    const char* written = "Hand records written to ";
    EXPECT_TRUE(Shows(written, StepMs)) << out;
    return Logged(written) ? testing::RecordsWithoutTimeLine(After(written)) : "";
  }

  std::string dir;
  uint16_t port = 0;
  std::vector<std::unique_ptr<RobotRunner>> robots;
};

TEST(RobotDrill, KilledServerReloadsAndTheGameEndsAsIfUninterrupted) {
  testing::TempDir refDir, dir;
  DrillServer straight(refDir.path);  // the same game played straight through
  ASSERT_TRUE(straight.Start(false));
  const std::string reference = straight.FinalRecords();
  ASSERT_NE(reference.find("Deal 28"), std::string::npos);

  int last = 0;  // each kill point lies in a later deal than the one before
  auto playing = [&](const GameState& g) { return g.phase == PhasePlaying && g.dealNumber > last; };
  const std::pair<const char*, std::function<bool(const GameState&)>> points[] = {
      {"doubling round",
       [&](const GameState& g) { return g.phase == PhaseChoosing && g.turn >= 1 && g.dealNumber >= 2; }},
      {"Dominoes", [&](const GameState& g) {
         return playing(g) && IsDominoes(g.contract) &&
                g.tally[0] + g.tally[1] + g.tally[2] + g.tally[3] < 40;
       }},
      {"middle of a trick", [&](const GameState& g) {  // the seat before the one to play has played
         return playing(g) && !IsDominoes(g.contract) && g.playRound >= 3 &&
                IsCard(g.tableCards[SeatMod(g.turn + 3)]) && !IsCard(g.tableCards[g.turn]);
       }},
      {"contract choice", [&](const GameState& g) {
         return g.phase == PhaseChoosing && g.turn == 0 && g.dealNumber > std::max(last, 19);
       }},
  };
  DrillServer server(dir.path);
  ASSERT_TRUE(server.Start(false));
  for (const auto& [name, reached] : points) {
    SCOPED_TRACE(name);
    const GameState& seen = server.robots[0]->Client().Session().Game();
    ASSERT_TRUE(WaitUntil([&] { return reached(seen); }, StepMs));
    last = seen.dealNumber;
    server.Kill();
    // The same port again; a moment may pass before the old one is free.
    ASSERT_TRUE(WaitUntil([&] { return server.Start(true); }, 30000)) << server.out;
    ASSERT_TRUE(WaitUntil([&] { return server.Logged("Game resumed"); }, StepMs)) << server.out;
  }
  {
    SCOPED_TRACE("between an action's frames and its files");
    server.Kill();
    ASSERT_TRUE(WaitUntil([&] { return server.Start(true, 25); }, 30000)) << server.out;
    ASSERT_TRUE(WaitUntil([&] { return server.process.state() == QProcess::NotRunning; }, StepMs));
    EXPECT_EQ(server.process.exitStatus(), QProcess::CrashExit);
    ASSERT_TRUE(WaitUntil([&] { return server.Start(true); }, 30000)) << server.out;
    ASSERT_TRUE(WaitUntil([&] { return server.Logged("Game resumed"); }, StepMs)) << server.out;
  }
  EXPECT_EQ(server.FinalRecords(), reference);
}

}  // namespace
}  // namespace zelbo
