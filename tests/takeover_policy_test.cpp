// When a robot keeps a seat warm, and when it gives the seat back.
#include "net/takeover_policy.h"

#include <gtest/gtest.h>

#include "engine/cards.h"

namespace zelbo {
namespace {

constexpr int64_t kDelay = 30000;

TableSnapshot Table(std::array<std::string, 4> seated, std::vector<std::string> waiting = {},
                    bool running = true) {
  TableSnapshot t;
  t.gameRunning = running;
  t.seated = std::move(seated);
  t.waiting = std::move(waiting);
  return t;
}

TEST(TakeoverPolicy, ARobotSitsOnlyAfterTheDelayAndStandsUpForThePlayerWhoLeft) {
  TakeoverPolicy p(kDelay);
  EXPECT_TRUE(p.Update(Table({"Ann", "Bob", "Cyd", "Dee"}), 0).seatRobot.empty());
  EXPECT_TRUE(p.Update(Table({"Ann", "", "Cyd", "Dee"}), 1000).seatRobot.empty());  // Bob left
  EXPECT_EQ(p.AbsentHandle(West), "Bob");
  EXPECT_TRUE(p.Update(Table({"Ann", "", "Cyd", "Dee"}, {"Eve"}), 1000 + kDelay - 1).seatRobot.empty());
  EXPECT_EQ(p.Update(Table({"Ann", "", "Cyd", "Dee"}), 1000 + kDelay).seatRobot, std::vector<int>{West});
  EXPECT_TRUE(p.RobotHolds(West));
  // Asked once only, also while the robot is on its way.
  EXPECT_TRUE(p.Update(Table({"Ann", "", "Cyd", "Dee"}), 2000 + kDelay).seatRobot.empty());
  TableSnapshot robotIn = Table({"Ann", "Robot West", "Cyd", "Dee"}, {"Eve"});
  robotIn.robotSeated[West] = true;
  EXPECT_TRUE(p.Update(robotIn, 3000 + kDelay).giveBack.empty()) << "another handle gets nothing";

  robotIn.waiting = {"Bob"};
  const TakeoverActions back = p.Update(robotIn, 4000 + kDelay);
  ASSERT_EQ(back.giveBack.size(), 1u);
  EXPECT_EQ(back.giveBack[0].seat, West);
  EXPECT_EQ(back.giveBack[0].handle, "Bob");
  EXPECT_TRUE(back.giveBack[0].robotStands);
  EXPECT_FALSE(p.RobotHolds(West));
  // Bob sits again: the seat is his, nothing more to keep.
  const TakeoverActions after = p.Update(Table({"Ann", "Bob", "Cyd", "Dee"}), 5000 + kDelay);
  EXPECT_TRUE(after.seatRobot.empty() && after.giveBack.empty());
  EXPECT_EQ(p.AbsentHandle(West), "");
}

TEST(TakeoverPolicy, APlayerBackBeforeTheRobotGetsTheSeatStraightAway) {
  TakeoverPolicy p(kDelay);
  p.Update(Table({"Ann", "Bob", "Cyd", "Dee"}), 0);
  p.Update(Table({"", "Bob", "Cyd", "Dee"}), 10);
  const TakeoverActions a = p.Update(Table({"", "Bob", "Cyd", "Dee"}, {"Ann"}), 20);
  ASSERT_EQ(a.giveBack.size(), 1u);
  EXPECT_EQ(a.giveBack[0].seat, South);
  EXPECT_FALSE(a.giveBack[0].robotStands);
  EXPECT_TRUE(a.seatRobot.empty());
}

TEST(TakeoverPolicy, NoRobotWhenTheGameIsNotRunningOrSomebodyElseSits) {
  TakeoverPolicy p(kDelay);
  p.Update(Table({"Ann", "Bob", "Cyd", "Dee"}, {}, false), 0);
  p.Update(Table({"Ann", "", "Cyd", "Dee"}, {}, false), 10);
  EXPECT_TRUE(p.Update(Table({"Ann", "", "Cyd", "Dee"}, {}, false), 10 + 2 * kDelay).seatRobot.empty());
  // A seat nobody left (a loaded game with an empty table) is not taken.
  TakeoverPolicy fresh(kDelay);
  EXPECT_TRUE(fresh.Update(Table({"", "", "", ""}), 0).seatRobot.empty());
  EXPECT_TRUE(fresh.Update(Table({"", "", "", ""}), 5 * kDelay).seatRobot.empty());

  // Eve sits in West before the robot comes: the robot is called off.
  p.Update(Table({"Ann", "", "Cyd", "Dee"}), 20 + 2 * kDelay);
  ASSERT_TRUE(p.RobotHolds(West));
  const TakeoverActions a = p.Update(Table({"Ann", "Eve", "Cyd", "Dee"}, {"Bob"}), 30 + 2 * kDelay);
  EXPECT_EQ(a.cancelRobot, std::vector<int>{West});
  EXPECT_TRUE(a.giveBack.empty()) << "the seat is Eve's now";
  EXPECT_EQ(p.AbsentHandle(West), "");
}

TEST(TakeoverPolicy, ARobotThatDropsOutIsReplacedAndTheSeatStaysThePlayers) {
  TakeoverPolicy p(0);
  p.Update(Table({"Ann", "Bob", "Cyd", "Dee"}), 0);
  EXPECT_EQ(p.Update(Table({"Ann", "Bob", "", "Dee"}), 1).seatRobot, std::vector<int>{North});
  TableSnapshot robotIn = Table({"Ann", "Bob", "Robot North", "Dee"});
  robotIn.robotSeated[North] = true;
  p.Update(robotIn, 2);
  EXPECT_EQ(p.Update(Table({"Ann", "Bob", "", "Dee"}), 3).seatRobot, std::vector<int>{North});
  EXPECT_EQ(p.AbsentHandle(North), "Cyd");
  // Two connections come back as "Cyd": only one gets the seat.
  const TakeoverActions a = p.Update(Table({"Ann", "Bob", "", "Dee"}, {"Cyd", "Cyd"}), 4);
  EXPECT_EQ(a.giveBack.size(), 1u);
}

}  // namespace
}  // namespace zelbo
