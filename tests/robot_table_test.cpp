// RobotTable: robots filling the empty seats of a server in the same
// process, at start and later for a seat that fell empty.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "engine/engine.h"
#include "net/qt/qt_transport.h"
#include "net/server_table.h"
#include "robot/qt/robot_table.h"
#include "tests/robot_fixtures.h"

namespace zelbo {
namespace {

using testing::FreshFolder;
using testing::RunUntil;

bool AllSeated(const ServerTable& t) {
  for (int s = 0; s < 4; ++s)
    if (t.Occupants()[static_cast<std::size_t>(s)] == EmptySeat) return false;
  return true;
}

TEST(RobotTable, FillsTheEmptySeatsAndRefillsOneThatFellEmpty) {
  const auto dir = FreshFolder("robot-table");
  QtTransport transport;
  ServerUi ui;
  ServerTable server(transport, ui, ServerConfig{"Ann", dir.string(), 17});
  ASSERT_TRUE(server.Start(0));
  RobotTable robots;
  EXPECT_EQ(robots.Fill(server, 3), 3);
  ASSERT_TRUE(RunUntil([&] { return AllSeated(server) && server.Game().phase != PhaseIdle; }, 20000));
  EXPECT_EQ(server.Connections().slot(server.Occupants()[West]).handle, "Robot West");
  EXPECT_EQ(server.Connections().slot(server.Occupants()[East]).handle, "Robot East");
  EXPECT_EQ(robots.Fill(server, 3), 0) << "every seat is taken";

  // West is removed: the game waits; filling again brings a new robot to
  // West only, and the game resumes.
  server.RemoveConnection(West);
  EXPECT_TRUE(IsSuspended(server.Game().phase));
  ASSERT_TRUE(RunUntil([&] { return robots.Robot(0).Client().Finished(); }, 10000));
  EXPECT_EQ(robots.Fill(server, 4), 1);
  ASSERT_TRUE(RunUntil([&] { return AllSeated(server) && !IsSuspended(server.Game().phase); }, 20000));
  EXPECT_EQ(robots.Count(), 3);
  robots.Clear();
  server.Stop();
  std::filesystem::remove_all(dir);
}

// True when the game waits for the server's own user at South.
bool SouthToAct(const GameState& g) {
  if (g.phase == PhaseChoosing) return ActingSeat(g) == South;
  return (g.phase == PhasePlaying || g.phase == PhaseFirstLead) && g.turn == South;
}

TEST(RobotTable, RobotsAnswerAgainAfterAnUndo) {
  const auto dir = FreshFolder("robot-undo");
  QtTransport transport;
  ServerUi ui;
  ServerTable server(transport, ui, ServerConfig{"Ann", dir.string(), 23});
  ASSERT_TRUE(server.Start(0));
  RobotTable robots;
  robots.Fill(server, 3);
  // Let South act with the first allowed choice until a robot has acted
  // after it, so that the last action is a robot's.
  int southActions = 0;
  while (southActions < 6) {
    ASSERT_TRUE(RunUntil([&] { return SouthToAct(server.Game()); }, 20000));
    const GameState& g = server.Game();
    if (g.phase == PhaseChoosing) {
      if (g.turn == 0) {
        for (int code = 1; code <= LastContract; ++code)
          if (IsDecisionAllowed(g, code)) {
            server.LocalContractChosen(code);
            break;
          }
      } else {
        server.LocalDoubleChosen(DoublingByte(OfferedDoubles(g), OfferedDoubles(g).forced));
      }
    } else {
      for (int i = 12; i >= 0; --i)
        if (MayPlayCard(g, South, g.hands[South][i])) {
          server.LocalPlayCard(g.hands[South][i]);
          break;
        }
    }
    ++southActions;
  }
  ASSERT_TRUE(RunUntil([&] { return SouthToAct(server.Game()); }, 20000));
  const GameState before = server.Game();
  ASSERT_GE(server.UndoDepth(), 1);
  server.LocalUndo();
  EXPECT_FALSE(SameGame(before, server.Game()));
  // The robot whose action was taken back is asked again and, deciding from
  // the same state, does the same.
  ASSERT_TRUE(RunUntil([&] { return SouthToAct(server.Game()) && SameGame(before, server.Game()); }, 20000));
  robots.Clear();
  server.Stop();
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace zelbo

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
