// RobotTable: robots filling the empty seats of a server in the same
// process, at start and later for a seat that fell empty.
#include <gtest/gtest.h>

#include <QCoreApplication>

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

}  // namespace
}  // namespace zelbo

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
