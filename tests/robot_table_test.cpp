// RobotTable: whole seeded robot games over loopback; filling seats next to
// a person, answering again after an undo, refilling a seat that fell empty.
#include <gtest/gtest.h>

#include "engine/simple_policy.h"
#include "net/qt/qt_transport.h"
#include "robot/qt/robot_table.h"
#include "tests/robot_fixtures.h"

namespace zelbo {
namespace {

using testing::WaitUntil;

// A server on loopback that writes the hand records when the game ends.
struct Table : ServerUi {
  Table(const std::string& who, uint32_t seed) : server(transport, *this, {who, dir.path, seed}) {
    std::string error;
    EXPECT_TRUE(server.Start(0, error)) << error;
  }
  void GameOver(const GameState&) override {
    std::string error;
    written = server.WriteHandRecordsFile(dir.path + "/records", error);
  }
  QCoreApplication& app = testing::App();  // before any Qt object
  testing::TempDir dir;
  QtTransport transport;
  ServerTable server;
  RobotTable robots;
  bool written = false;
};

// The records of the game of `seed` between four robots, minus the time line.
std::string PlayGame(uint32_t seed) {
  Table t(std::string(NonplayingServerHandle), seed);
  t.robots.Fill(t.server, 4);
  EXPECT_TRUE(WaitUntil([&] { return t.written; }, 240000));
  EXPECT_EQ(t.server.Game().phase, PhaseGameOver);
  for (int i = 0; i < 4; ++i)  // every robot sees the end as well
    EXPECT_TRUE(WaitUntil([&] { return t.robots.Robot(i).Client().GameOver(); })) << i;
  t.robots.Clear();
  return testing::RecordsWithoutTimeLine(t.dir.path + "/records");
}

TEST(RobotTable, SeededGamesBetweenRobotsFinishAndRepeatExactly) {
  const std::string first = PlayGame(11);
  EXPECT_NE(first.find("Robot West"), std::string::npos);
  EXPECT_NE(first.find("Deal 28"), std::string::npos);
  EXPECT_EQ(PlayGame(11), first);
  EXPECT_NE(PlayGame(12), first);  // so the comparison above means something
}

// True when the game waits for the server's own user at South.
bool SouthToAct(const GameState& g) {
  if (g.phase == PhaseChoosing) return ActingSeat(g) == South;
  return (g.phase == PhasePlaying || g.phase == PhaseFirstLead) && g.turn == South;
}

TEST(RobotTable, FillsSeatsAnswersAfterUndoAndRefillsASeatThatFellEmpty) {
  Table t("Ann", 23);
  const GameState& g = t.server.Game();
  EXPECT_EQ(t.robots.Fill(t.server, 3), 3);
  ASSERT_TRUE(WaitUntil([&] { return g.phase != PhaseIdle; })) << "the table is full";
  EXPECT_EQ(t.robots.Fill(t.server, 3), 0) << "every seat is taken";

  // South acts a few times; the last action (a robot's) is undone and made again.
  for (int i = 0; i < 6; ++i) {
    ASSERT_TRUE(WaitUntil([&] { return SouthToAct(g); }));
    if (g.phase != PhaseChoosing) t.server.LocalPlayCard(SimpleCard(g, South));
    else if (g.turn == 0) t.server.LocalContractChosen(SimpleContract(g));
    else t.server.LocalDoubleChosen(SimpleDoubling(g));
  }
  ASSERT_TRUE(WaitUntil([&] { return SouthToAct(g); }));
  const GameState before = g;
  t.server.LocalUndo();
  EXPECT_FALSE(before == g);
  ASSERT_TRUE(WaitUntil([&] { return SouthToAct(g) && before == g; }));

  // West is removed: the game waits until filling brings a robot to West only.
  t.server.RemoveConnection(West);
  EXPECT_TRUE(IsSuspended(g.phase));
  ASSERT_TRUE(WaitUntil([&] { return t.robots.Robot(0).Client().Finished(); }));
  EXPECT_EQ(t.robots.Fill(t.server, 4), 1);
  EXPECT_TRUE(WaitUntil([&] { return !IsSuspended(g.phase) && t.robots.Count() == 3; })) << "full again";
  t.robots.Clear();
}

}  // namespace
}  // namespace zelbo
