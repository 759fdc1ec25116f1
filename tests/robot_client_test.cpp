// RobotClient over a scripted transport: how it takes a seat, that it gives
// exactly one answer per prompt, never acts on half an update, comes back
// after a lost connection, and knows when the game is over.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/engine.h"
#include "robot/robot_client.h"
#include "robot/seat_view.h"
#include "tests/fake_transport.h"

namespace zelbo {
namespace {

using testing::DecodedFrame;
using testing::FakeTransport;

class RobotClientTest : public ::testing::Test {
 protected:
  void Make(RobotConfig config) {
    robot_ = std::make_unique<RobotClient>(t_, config);
    robot_->Connect("127.0.0.1", 4000);
    conn_ = 100;
    t_.events_->OnConnected(conn_);
    t_.sent[conn_].clear();  // greeting and join
  }
  void From(const Frame& f) { t_.Deliver(conn_, f); }
  void FromAll(const std::vector<Frame>& frames) {
    std::vector<uint8_t> bytes;
    for (const Frame& f : frames) bytes.insert(bytes.end(), f.bytes.begin(), f.bytes.begin() + f.size);
    t_.Deliver(conn_, bytes);
  }
  std::vector<DecodedFrame> Sent(int type) {
    std::vector<DecodedFrame> out;
    for (DecodedFrame& f : t_.Frames(conn_))
      if (f.type == type) out.push_back(f);
    return out;
  }
  void Seat(int seat) {
    FromAll({MakeSeatInfo(South, false, ""), MakeSeatInfo(West, false, ""),
             MakeSeatInfo(North, false, ""), MakeSeatInfo(East, false, "")});
    From(MakeSeatGranted(seat));
    From(MakeSeatInfo(seat, true, "Robot"));
    t_.Frames(conn_);
  }

  FakeTransport t_;
  std::unique_ptr<RobotClient> robot_;
  ConnId conn_ = NoConn;
};

// A deal in play from the server's side: North to lead the first trick of
// a Misere, holding the given cards.
GameState FirstLead(const std::vector<int>& northHand) {
  GameState g;
  g.phase = PhaseFirstLead;
  g.dealNumber = 1;
  g.dealer = North;
  g.contract = Misere;
  g.turn = North;
  for (std::size_t i = 0; i < northHand.size(); ++i) g.hands[North][i] = static_cast<uint8_t>(northHand[i]);
  return g;
}

TEST_F(RobotClientTest, TakesTheFirstEmptySeatAndTriesAnotherWhenRefused) {
  Make(RobotConfig{"Robot", -1, false});
  FromAll({MakeSeatInfo(South, true, "Ann"), MakeSeatInfo(West, false, ""),
           MakeSeatInfo(North, false, ""), MakeSeatInfo(East, false, "")});
  auto asks = Sent(MsgSitRequest);
  ASSERT_EQ(asks.size(), 1u);
  EXPECT_EQ(asks[0].payload[0], West);
  // Someone else got West first: the robot asks for the next empty seat.
  From(MakeSeatInfo(West, true, "Bob"));
  asks = Sent(MsgSitRequest);
  ASSERT_EQ(asks.size(), 1u);
  EXPECT_EQ(asks[0].payload[0], North);
  From(MakeSeatGranted(North));
  From(MakeSeatInfo(North, true, "Robot"));
  EXPECT_TRUE(Sent(MsgSitRequest).empty());
  EXPECT_EQ(robot_->Seat(), North);
}

TEST_F(RobotClientTest, AGivenSeatIsAwaitedUntilItIsFree) {
  Make(RobotConfig{"Robot", East, false});
  FromAll({MakeSeatInfo(South, false, ""), MakeSeatInfo(West, false, ""),
           MakeSeatInfo(North, false, ""), MakeSeatInfo(East, true, "Eve")});
  EXPECT_TRUE(Sent(MsgSitRequest).empty());
  From(MakeSeatInfo(East, false, ""));
  const auto asks = Sent(MsgSitRequest);
  ASSERT_EQ(asks.size(), 1u);
  EXPECT_EQ(asks[0].payload[0], East);
}

TEST_F(RobotClientTest, AnswersEachPromptOnceWithAnAllowedChoice) {
  Make(RobotConfig{"Robot", North, false});
  Seat(North);
  GameState g;
  g.phase = PhaseChoosing;
  g.dealNumber = 1;
  g.dealer = North;
  g.turn = 0;
  const uint8_t hand[13] = {51, 50, 49, 48, 47, 46, 38, 37, 25, 24, 12, 11, 0};
  std::memcpy(g.hands[North], hand, 13);
  uint8_t row[KindCount] = {1, 1, 1, 1, 1, 1, 1};
  FromAll({MakeStatus(g), MakeTurn(g), MakeHand(g, North, false)});
  EXPECT_TRUE(Sent(MsgContractChosen).empty()) << "no prompt yet";
  From(MakeChooseContract(row));
  auto chosen = Sent(MsgContractChosen);
  ASSERT_EQ(chosen.size(), 1u);
  EXPECT_TRUE(IsDecisionAllowed(g, chosen[0].payload[0]));
  // The same state again without a prompt: no second decision.
  FromAll({MakeStatus(g), MakeTurn(g)});
  EXPECT_TRUE(Sent(MsgContractChosen).empty());

  // East doubles at step 1 with North the dealer; South (step 2) is not us.
  g.contract = FirstTrumps + Spades;
  g.dealDecisions[1][0] = static_cast<uint8_t>(g.contract);
  g.turn = 2;
  FromAll({MakeContract(g.contract), MakeDealDecision(g), MakeTurn(g), MakeDoublePrompt(0)});
  EXPECT_TRUE(Sent(MsgDoubleChosen).empty()) << "the prompt was for another seat";
}

TEST_F(RobotClientTest, PlaysOnTheTurnNoticeAndNotOnHalfAnUpdate) {
  Make(RobotConfig{"Robot", North, false});
  Seat(North);
  GameState g = FirstLead({51, 38, 25, 12, 5});
  for (int i = 5; i < 13; ++i) g.hands[North][i] = NoCard;
  // The turn notice comes with a hand that cannot be right for a first
  // lead (5 cards, not 13): the robot waits for the real hand.
  FromAll({MakeStatus(g), MakeHand(g, North, false), MakeTurn(g)});
  EXPECT_TRUE(Sent(MsgPlayCard).empty());

  g = FirstLead({51, 50, 38, 37, 25, 24, 12, 11, 10, 9, 8, 7, 5});
  From(MakeHand(g, North, false));
  auto played = Sent(MsgPlayCard);
  ASSERT_EQ(played.size(), 1u);
  const int card = played[0].payload[0];
  EXPECT_TRUE(MayPlayCard(SeatView(g, North), North, card));

  // The server's answer arrives in pieces: hand and table first, the turn
  // later. The robot must not play again in between.
  GameState after = g;
  after.phase = PhasePlaying;
  int k = 0;
  while (after.hands[North][k] != card) ++k;
  for (int i = k; i < 12; ++i) after.hands[North][i] = after.hands[North][i + 1];
  after.hands[North][12] = NoCard;
  after.tableCards[North] = static_cast<uint8_t>(card);
  FromAll({MakeHand(after, North, false), MakeTableCards(after), MakeStatus(after)});
  EXPECT_TRUE(Sent(MsgPlayCard).empty());
  after.turn = East;
  From(MakeTurn(after));
  EXPECT_TRUE(Sent(MsgPlayCard).empty());
}

TEST_F(RobotClientTest, ComesBackToItsSeatAfterALostConnection) {
  Make(RobotConfig{"Robot", -1, true});
  Seat(West);
  t_.events_->OnClosed(conn_);
  EXPECT_FALSE(robot_->Finished());
  robot_->Tick();
  EXPECT_EQ(t_.lastPort, 4000);
  conn_ = 101;
  t_.events_->OnConnected(conn_);
  t_.sent[conn_].clear();
  FromAll({MakeSeatInfo(South, false, ""), MakeSeatInfo(West, false, ""),
           MakeSeatInfo(North, false, ""), MakeSeatInfo(East, false, "")});
  const auto asks = Sent(MsgSitRequest);
  ASSERT_EQ(asks.size(), 1u);
  EXPECT_EQ(asks[0].payload[0], West);
}

TEST_F(RobotClientTest, EndsWithTheGame) {
  Make(RobotConfig{"Robot", -1, false});
  Seat(South);
  GameState g;
  g.phase = PhaseGameOver;
  From(MakeStatus(g));
  EXPECT_TRUE(robot_->GameOver());
  EXPECT_TRUE(robot_->Finished());
}

TEST_F(RobotClientTest, WithoutReconnectALostConnectionEndsIt) {
  Make(RobotConfig{"Robot", -1, false});
  Seat(South);
  t_.events_->OnClosed(conn_);
  EXPECT_TRUE(robot_->Finished());
  EXPECT_FALSE(robot_->GameOver());
  robot_->Tick();
  EXPECT_EQ(t_.lastPort, 4000);
  EXPECT_TRUE(t_.Frames(101).empty()) << "no new connection";
}

}  // namespace
}  // namespace zelbo
