// The writer thread under a table of robots: when the table's folder fails
// mid-game the game goes on, the failure is told once on the pane, and when
// the folder is back the next action's files catch up with the game.
#include "hosting/event_loop_writer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "net/qt/qt_transport.h"
#include "records/saved_game.h"
#include "robot/qt/robot_table.h"
#include "tests/robot_fixtures.h"

namespace zelbo {
namespace {

using testing::WaitUntil;

struct PaneUi : ServerUi {
  void PaneLineAdded(std::string_view line) override { lines.emplace_back(line); }
  int Count(const std::string& start) const {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(start, 0) == 0; }));
  }
  std::vector<std::string> lines;
};

TEST(EventLoopWriter, ATableWhoseFolderFailsPlaysOnAndCatchesUp) {
  QCoreApplication& app = testing::App();
  (void)app;
  testing::TempDir dir;
  const std::string folder = dir.path + "/table", away = dir.path + "/away";
  std::filesystem::create_directories(folder);
  EventLoopWriter writer;
  PaneUi ui;
  QtTransport transport;
  ServerConfig config{std::string(NonplayingServerHandle), folder, 5};
  config.writer = &writer.Writer();
  ServerTable server(transport, ui, config);
  std::string error;
  ASSERT_TRUE(server.Start(0, error)) << error;
  RobotTable robots;
  robots.Fill(server, 4);
  const GameState& g = server.Game();
  ASSERT_TRUE(WaitUntil([&] { return g.dealNumber >= 2; }));

  // Taken away rather than made read-only: permissions do not stop root.
  std::filesystem::rename(folder, away);
  ASSERT_TRUE(WaitUntil([&] { return ui.Count("Autosave failed") > 0; }));
  const int failedIn = g.dealNumber;
  ASSERT_TRUE(WaitUntil([&] { return g.dealNumber >= failedIn + 2; })) << "the game goes on";
  std::filesystem::rename(away, folder);
  const int backIn = g.dealNumber;
  ASSERT_TRUE(WaitUntil([&] { return g.dealNumber > backIn; }));
  robots.Clear();
  ASSERT_TRUE(WaitUntil([&] { return server.Connections().count() == 0; }));
  writer.Writer().Drain();

  // One line each for the run of failures, naming the file.
  EXPECT_EQ(ui.Count("Autosave failed"), 1);
  EXPECT_EQ(ui.Count("Cannot write \"" + folder + "/"), 1);
  auto loaded = std::make_unique<GameState>();
  ASSERT_TRUE(LoadGame(folder + "/temp.zelbo", *loaded, error)) << error;
  GameState now = g;
  now.phase = SuspendedPhase(now.phase);
  EXPECT_TRUE(*loaded == now) << "the autosave holds the game as it stands";
}

}  // namespace
}  // namespace zelbo
