// RobotTable, the robots a server runs in its own process: whole seeded
// games over loopback sockets between a server and four robots; filling the
// empty seats next to a person, answering again after an undo, and refilling
// a seat that fell empty in a suspended game.
#include <gtest/gtest.h>

#include "engine/simple_policy.h"
#include "net/qt/qt_transport.h"
#include "robot/qt/robot_table.h"
#include "tests/robot_fixtures.h"

namespace zelbo {
namespace {

using testing::WaitUntil;

// A server table on loopback, its files in a folder of its own; writes the
// hand records when the game ends, as the desktop's Yes would.
struct Table : ServerUi {
  Table(const std::string& who, uint32_t seed) : server(transport, *this, {who, dir.path, seed}) {
    EXPECT_TRUE(server.Start(0));
  }
  void GameOver(const GameState&) override {
    written = server.WriteHandRecordsFile(dir.path + "/records");
  }
  QCoreApplication& app = testing::App();  // before any Qt object
  testing::TempDir dir;
  QtTransport transport;
  ServerTable server;
  RobotTable robots;
  bool written = false;
};

// The records of the game of `seed` between four robots, without the time
// line. (A robot that loses its seat and comes back is seen in the drill.)
std::string PlayGame(uint32_t seed) {
  Table t(std::string(NonplayingServerHandle), seed);
  t.robots.Fill(t.server, 4);
  const GameState& g = t.server.Game();
  EXPECT_TRUE(WaitUntil([&] { return t.written; }, 240000));
  EXPECT_EQ(g.phase, PhaseGameOver);
  EXPECT_TRUE(WaitUntil([&] {  // every robot sees the end as well
    for (int i = 0; i < 4; ++i)
      if (!t.robots.Robot(i).Client().GameOver()) return false;
    return true;
  }));
  t.robots.Clear();
  return testing::RecordsWithoutTimeLine(t.dir.path + "/records");
}

TEST(RobotTable, SeededGamesBetweenRobotsFinishAndRepeatExactly) {
  const std::string first = PlayGame(11);
  EXPECT_NE(first.find("Robot West"), std::string::npos);
  EXPECT_NE(first.find("Deal 28"), std::string::npos);
  EXPECT_EQ(PlayGame(11), first);
  // Another seed gives another game, so the comparison above means something.
  EXPECT_NE(PlayGame(12), first);
}

// True when the game waits for the server's own user at South.
bool SouthToAct(const GameState& g) {
  if (g.phase == PhaseChoosing) return ActingSeat(g) == South;
  return (g.phase == PhasePlaying || g.phase == PhaseFirstLead) && g.turn == South;
}

TEST(RobotTable, FillsSeatsAnswersAfterUndoAndRefillsASeatThatFellEmpty) {
  Table t("Ann", 23);
  ServerTable& server = t.server;
  const GameState& g = server.Game();
  EXPECT_EQ(t.robots.Fill(server, 3), 3);
  ASSERT_TRUE(WaitUntil([&] { return g.phase != PhaseIdle; })) << "the table is full";
  EXPECT_EQ(server.Connections().slot(server.Occupants()[West]).handle, "Robot West");
  EXPECT_EQ(t.robots.Fill(server, 3), 0) << "every seat is taken";

  // South plays the first allowed choice a few times; then the last action
  // (a robot's) is taken back and that robot, asked again, does the same.
  for (int i = 0; i < 6; ++i) {
    ASSERT_TRUE(WaitUntil([&] { return SouthToAct(g); }));
    if (g.phase != PhaseChoosing) server.LocalPlayCard(SimpleCard(g, South));
    else if (g.turn == 0) server.LocalContractChosen(SimpleContract(g));
    else server.LocalDoubleChosen(SimpleDoubling(g));
  }
  ASSERT_TRUE(WaitUntil([&] { return SouthToAct(g); }));
  const GameState before = g;
  server.LocalUndo();
  EXPECT_FALSE(SameGame(before, g));
  ASSERT_TRUE(WaitUntil([&] { return SouthToAct(g) && SameGame(before, g); }));

  // West is removed: the game waits; filling again brings a new robot to
  // West only, and the game resumes.
  server.RemoveConnection(West);
  EXPECT_TRUE(IsSuspended(g.phase));
  ASSERT_TRUE(WaitUntil([&] { return t.robots.Robot(0).Client().Finished(); }));
  EXPECT_EQ(t.robots.Fill(server, 4), 1);
  ASSERT_TRUE(WaitUntil([&] { return !IsSuspended(g.phase); })) << "full again";
  EXPECT_EQ(t.robots.Count(), 3);
  t.robots.Clear();
}

}  // namespace
}  // namespace zelbo
