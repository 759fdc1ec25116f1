// Whole games over real loopback sockets between a server table and four
// robot clients in one process.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "net/qt/qt_transport.h"
#include "net/server_table.h"
#include "robot/qt/robot_runner.h"
#include "robot/robot_seats.h"
#include "tests/robot_fixtures.h"

namespace zelbo {
namespace {

using testing::FreshFolder;
using testing::RecordsWithoutTimeLine;
using testing::RunUntil;

constexpr int GameTimeoutMs = 240000;

// Writes the hand records when the game ends, as the desktop's Yes would.
class RecordsUi : public ServerUi {
 public:
  ServerTable* table = nullptr;
  std::filesystem::path path;
  bool written = false;
  void GameOver(const GameState&) override { written = table->WriteHandRecordsFile(path.string()); }
};

struct GameRun {
  std::string records;
  bool finished = false;
  int32_t totals[4] = {0, 0, 0, 0};
};

// Plays a game from `seed`. With `dropAtDeal` > 0, the server removes West's
// robot when that deal's doubling round is under way; the robot comes back
// by itself and sits again.
GameRun PlayGame(uint32_t seed, const std::string& name, int dropAtDeal = 0) {
  const std::filesystem::path dir = FreshFolder(name);
  QtTransport transport;
  RecordsUi ui;
  ServerTable table(transport, ui, ServerConfig{std::string(NonplayingServerHandle), dir.string(), seed});
  ui.table = &table;
  ui.path = dir / "records.txt";
  GameRun run;
  if (!table.Start(0)) return run;
  std::vector<std::unique_ptr<RobotRunner>> robots;
  for (int seat = 0; seat < 4; ++seat) {
    robots.push_back(std::make_unique<RobotRunner>(RobotConfig{RobotHandle(seat), seat, true}));
    robots.back()->Start("127.0.0.1", table.Port());
  }
  if (dropAtDeal > 0) {
    const bool reached = RunUntil(
        [&] {
          const GameState& g = table.Game();
          return g.dealNumber >= dropAtDeal && g.phase == PhaseChoosing && g.turn >= 1;
        },
        GameTimeoutMs);
    EXPECT_TRUE(reached);
    table.RemoveConnection(West);
    EXPECT_TRUE(IsSuspended(table.Game().phase));
  }
  run.finished = RunUntil([&] { return ui.written; }, GameTimeoutMs);
  EXPECT_EQ(table.Game().phase, PhaseGameOver);
  // Every robot sees the end of the game as well.
  EXPECT_TRUE(RunUntil(
      [&] {
        for (const auto& r : robots)
          if (!r->Client().GameOver()) return false;
        return true;
      },
      10000));
  for (int s = 0; s < 4; ++s) run.totals[s] = table.Game().totalScores[s];
  run.records = RecordsWithoutTimeLine(ui.path);
  robots.clear();
  table.Stop();
  std::filesystem::remove_all(dir);
  return run;
}

TEST(RobotLoopback, SeededGamesFinishAndRepeatExactly) {
  const GameRun first = PlayGame(11, "loop-a");
  ASSERT_TRUE(first.finished);
  EXPECT_NE(first.records.find("Robot West"), std::string::npos);
  EXPECT_NE(first.records.find("Deal 28"), std::string::npos);
  const GameRun second = PlayGame(11, "loop-b");
  ASSERT_TRUE(second.finished);
  EXPECT_EQ(first.records, second.records);
  // Another seed gives another game, so the comparison above means something.
  const GameRun other = PlayGame(12, "loop-c");
  ASSERT_TRUE(other.finished);
  EXPECT_NE(first.records, other.records);
}

TEST(RobotLoopback, ARobotThatLosesItsSeatComesBackAndTheGameIsUnchanged) {
  const GameRun plain = PlayGame(21, "drop-a");
  ASSERT_TRUE(plain.finished);
  const GameRun dropped = PlayGame(21, "drop-b", 6);
  ASSERT_TRUE(dropped.finished);
  EXPECT_EQ(plain.records, dropped.records);
  for (int s = 0; s < 4; ++s) EXPECT_EQ(plain.totals[s], dropped.totals[s]);
}

}  // namespace
}  // namespace zelbo

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
