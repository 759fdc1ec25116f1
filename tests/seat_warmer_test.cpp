// Keeping a seat warm over loopback: a player who leaves in the middle of a
// trick gets a robot in the seat, and the seat back when they join again.
#include <gtest/gtest.h>

#include <memory>

#include "net/qt/qt_transport.h"
#include "robot/qt/robot_table.h"
#include "net/table_router.h"
#include "robot/qt/seat_warmer.h"
#include "tests/robot_fixtures.h"

namespace zelbo {
namespace {

using testing::WaitUntil;

struct Table : ServerUi {
  explicit Table(uint32_t seed)
      : router(transport), server(router.AddTable(), *this, {std::string(NonplayingServerHandle), dir.path, seed}) {
    std::string error;
    EXPECT_TRUE(server.Start(0, error)) << error;
  }
  void GameOver(const GameState&) override {
    std::string error;
    written = server.WriteHandRecordsFile(dir.path + "/records", error);
  }
  bool PaneHas(const std::string& text) const {
    for (std::size_t i = 0; i < server.Pane().size(); ++i)
      if (server.Pane().line(i) == text) return true;
    return false;
  }
  QCoreApplication& app = testing::App();
  testing::TempDir dir;
  QtTransport transport;
  TableRouter router;
  ServerTable server;
  RobotTable robots;
  bool written = false;
};

std::unique_ptr<RobotRunner> Player(const Table& t, int seat) {
  auto ann = std::make_unique<RobotRunner>(RobotConfig{"Ann", seat, false});
  ann->Start("127.0.0.1", t.server.Port());
  return ann;
}

// A trick of a trick contract with one to three cards down.
bool MidTrick(const GameState& g) {
  if (g.phase != PhasePlaying || g.trickDone || !IsContract(g.contract) || IsDominoes(g.contract)) return false;
  int down = 0;
  for (int s = 0; s < 4; ++s) down += IsCard(g.tableCards[s]) ? 1 : 0;
  return down >= 1 && down <= 3;
}

// Listens after the warmer: what the warmer had done by the end of each event.
struct WarmerProbe : SeatingListener {
  WarmerProbe(const SeatWarmer& w, const ServerTable& s) : warmer(w), server(s) {}
  void OnSeatingEvent(const SeatingEvent& e) override {
    if (e.handle != "Ann") return;
    if (e.kind == SeatingEvent::Kind::StoodUp) {
      annLeft = IsSuspended(server.Game().phase);
      robotAtAnnsLeave = warmer.Robot(e.seat) != nullptr;
    }
    if (e.kind == SeatingEvent::Kind::Joined) robotAtAnnsReturn = warmer.Robot(South) != nullptr;
  }
  const SeatWarmer& warmer;
  const ServerTable& server;
  bool annLeft = false, robotAtAnnsLeave = false, robotAtAnnsReturn = true;
};

TEST(SeatWarmer, ARobotKeepsTheSeatUntilThePlayerComesBackAndTheGameIsUnchanged) {
  constexpr uint32_t kSeed = 41;
  // The game as it goes with nobody leaving: Ann and three normal robots.
  std::string uninterrupted;
  {
    Table t(kSeed);
    t.robots.Fill(t.server, 3);
    auto ann = Player(t, South);
    ASSERT_TRUE(WaitUntil([&] { return t.written; }, 240000));
    uninterrupted = testing::RecordsWithoutTimeLine(t.dir.path + "/records");
  }

  Table t(kSeed);
  const GameState& g = t.server.Game();
  SeatWarmer warmer(t.server, 0, RobotLevel::Normal);
  WarmerProbe probe(warmer, t.server);
  t.server.AddSeatingListener(probe);
  t.robots.Fill(t.server, 3);
  auto ann = Player(t, South);
  // Ann leaves in the middle of a trick of the third deal.
  ASSERT_TRUE(WaitUntil([&] { return g.dealNumber >= 3 && MidTrick(g); }, 60000));
  ann.reset();
  ASSERT_TRUE(WaitUntil([&] { return probe.annLeft; })) << "the leave suspends the game";
  EXPECT_TRUE(probe.robotAtAnnsLeave) << "the robot was sent while the leave was told";
  const int deal = g.dealNumber;
  const int round = g.playRound;
  ASSERT_TRUE(WaitUntil([&] { return warmer.Robot(South) && !IsSuspended(g.phase); }));
  EXPECT_TRUE(t.PaneHas("Robot South keeps South warm for Ann"));
  // The robot finishes the trick and plays on.
  ASSERT_TRUE(WaitUntil([&] { return g.dealNumber > deal || g.playRound > round + 1; }, 60000));

  ann = Player(t, -1);  // back, asking for no seat: the table gives hers back
  ASSERT_TRUE(WaitUntil([&] { return ann->Client().Seat() == South; }));
  EXPECT_TRUE(t.PaneHas("Robot South stands up for Ann"));
  EXPECT_FALSE(probe.robotAtAnnsReturn) << "the robot stood up while the join was told";
  EXPECT_EQ(warmer.Robot(South), nullptr);
  EXPECT_EQ(t.server.SeatHandle(South), "Ann");

  ASSERT_TRUE(WaitUntil([&] { return t.written; }, 240000));
  // Every card and decision was made once, as without the interruption,
  // and the records name Ann.
  const std::string records = testing::RecordsWithoutTimeLine(t.dir.path + "/records");
  EXPECT_EQ(records, uninterrupted);
  EXPECT_NE(records.find("Ann"), std::string::npos);
  EXPECT_GT(warmer.MovesSent(), 0);
  t.robots.Clear();
  t.server.RemoveSeatingListener(probe);
}

}  // namespace
}  // namespace zelbo
