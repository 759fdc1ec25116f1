// RobotClient over a scripted transport: taking a seat, one answer per prompt,
// never acting on half an update. (Reconnecting is seen in the drill.)
#include <gtest/gtest.h>

#include <array>

#include "engine/engine.h"
#include "robot/robot_client.h"
#include "robot/seat_view.h"
#include "tests/fake_transport.h"

namespace zelbo {
namespace {

struct RobotClientTest : ::testing::Test {
  void Make(int seat) {
    robot.reset();  // the old robot lets go of the transport first
    robot = std::make_unique<RobotClient>(t, RobotConfig{"Robot", seat, false});
    robot->Connect("127.0.0.1", 4000);
    conn = t.lastConn;
    t.events_->OnConnected(conn);
    t.sent[conn].clear();  // greeting and join
  }
  // The frames in one delivery, as from one read of the socket.
  void From(const std::vector<Frame>& frames) {
    std::vector<uint8_t> bytes;
    for (const Frame& f : frames) bytes.insert(bytes.end(), f.view().begin(), f.view().end());
    t.Deliver(conn, bytes);
  }
  // Who sits South to East ("" for nobody); then, with `sit`, the robot there.
  void Seats(std::array<const char*, 4> who, int sit = -1) {
    std::vector<Frame> info;
    for (int s = 0; s < 4; ++s) info.push_back(MakeSeatInfo(s, *who[s], who[s]));
    From(info);
    if (sit >= 0) From({MakeSeatGranted(sit), MakeSeatInfo(sit, true, "Robot")});
  }
  // The first payload byte of each frame of `type` sent since the last look.
  std::vector<int> Sent(int type) {
    std::vector<int> out;
    for (const auto& f : t.Frames(conn))
      if (f.type == type) out.push_back(f.payload.at(0));
    return out;
  }

  testing::FakeTransport t;
  std::unique_ptr<RobotClient> robot;
  ConnId conn = NoConn;
};
using Sends = std::vector<int>;

TEST_F(RobotClientTest, TakesTheFirstEmptySeatOrWaitsForItsOwn) {
  Make(-1);
  Seats({"Ann", "", "", ""});
  EXPECT_EQ(Sent(MsgSitRequest), Sends{West});
  From({MakeSeatInfo(West, true, "Bob")});  // someone else got West first
  EXPECT_EQ(Sent(MsgSitRequest), Sends{North});

  Make(East);  // East is taken: wait until it is free
  Seats({"", "", "", "Eve"});
  From({MakeSeatInfo(East, false, "")});
  EXPECT_EQ(Sent(MsgSitRequest), Sends{East});
}

TEST_F(RobotClientTest, AnswersEachPromptOnceAndNeverOnHalfAnUpdate) {
  Make(North);
  Seats({"", "", "", ""}, North);
  GameState g;
  g.phase = PhaseChoosing;
  g.dealNumber = 1;
  g.dealer = North;
  const uint8_t hand[13] = {51, 50, 49, 48, 47, 46, 38, 37, 25, 24, 12, 11, 0};
  std::copy(hand, hand + 13, g.hands[North]);
  const uint8_t row[KindCount] = {1, 1, 1, 1, 1, 1, 1};
  From({MakeStatus(g), MakeTurn(g), MakeHand(g, North, false)});
  EXPECT_TRUE(Sent(MsgContractChosen).empty()) << "no prompt yet";
  From({MakeChooseContract(row)});
  const Sends chosen = Sent(MsgContractChosen);
  ASSERT_EQ(chosen.size(), 1u);
  EXPECT_TRUE(IsDecisionAllowed(g, chosen[0]));
  From({MakeStatus(g), MakeTurn(g)});
  EXPECT_TRUE(Sent(MsgContractChosen).empty()) << "the same state again, no prompt";

  // Misere, North to lead, the turn notice with only 5 cards: wait for the hand.
  g.phase = PhaseFirstLead;
  g.contract = Misere;
  g.turn = North;
  std::fill(g.hands[North] + 5, g.hands[North] + 13, NoCard);
  From({MakeStatus(g), MakeHand(g, North, false), MakeTurn(g)});
  EXPECT_TRUE(Sent(MsgPlayCard).empty());
  std::copy(hand, hand + 13, g.hands[North]);
  From({MakeHand(g, North, false)});
  const Sends played = Sent(MsgPlayCard);
  ASSERT_EQ(played.size(), 1u);
  EXPECT_TRUE(MayPlayCard(SeatView(g, North), North, played[0]));
  // The server's answer in pieces, the turn last: no second card meanwhile.
  g.phase = PhasePlaying;
  std::remove(g.hands[North], g.hands[North] + 13, played[0]);
  g.hands[North][12] = NoCard;
  g.tableCards[North] = static_cast<uint8_t>(played[0]);
  From({MakeHand(g, North, false), MakeTableCards(g), MakeStatus(g)});
  g.turn = East;
  From({MakeTurn(g)});
  EXPECT_TRUE(Sent(MsgPlayCard).empty());
}

}  // namespace
}  // namespace zelbo
