// The client's connection handling, commands and checked mirroring.
#include "net/client_session.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine.h"
#include "tests/fake_transport.h"

namespace zelbo {
namespace {

using Bytes = std::vector<uint8_t>;

class ClientSessionTest : public ::testing::Test {
 protected:
  ClientSessionTest() : client_(t_, ui_, "Ann") {}
  ConnId Connected() {
    client_.Connect("table.example", 2118);
    client_.OnConnected(t_.lastConn);
    client_.OnWritable(t_.lastConn);
    return t_.lastConn;
  }
  testing::FakeTransport t_;
  testing::RecordingUi ui_;
  ClientSession client_;
};

TEST_F(ClientSessionTest, FailedConnectionResetsSoSetupCanTryAgain) {
  struct Case {
    SocketError error;
    std::string line;
  };
  const std::vector<Case> cases = {
      {SocketError{0, "Connection refused", false}, "socket error 0: Connection refused"},
      {SocketError{2, "Host not found", true}, "Cannot find the server \"h\": Host not found"}};
  for (const Case& c : cases) {
    ui_.lines.clear();
    client_.Connect("h", 2118);
    EXPECT_TRUE(client_.IsClient());
    client_.OnSocketError(t_.lastConn, c.error);
    client_.OnClosed(t_.lastConn);
    EXPECT_EQ(ui_.lines, (std::vector<std::string>{"Searching for server...", c.line, "Connection closed"}));
    EXPECT_FALSE(client_.IsClient());
    EXPECT_EQ(client_.LocalPosition(), NoPosition);
  }
  EXPECT_EQ(ui_.closes, 2);
  // Then it connects: greeting and MsgJoin go out together, then MsgIdle.
  const ConnId c = Connected();
  EXPECT_EQ(t_.sent[c], (Bytes{'Z', 'e', 'l', 'b', 'o', 'W', 'i', 'n', 0, 5, MsgJoin, 'A', 'n', 'n', 4, MsgIdle, 0, 0}));
  // A command given while connecting waits for the greeting and the join;
  // a lost connection forgets it.
  client_.Disconnect();
  client_.Connect("table.example", 2118);
  client_.SendChat("forgotten");
  client_.OnClosed(t_.lastConn);
  client_.Connect("table.example", 2118);
  const ConnId early = t_.lastConn;
  client_.RequestSeat(North);
  EXPECT_TRUE(t_.sent[early].empty());
  client_.OnConnected(early);
  EXPECT_EQ(t_.sent[early], (Bytes{'Z', 'e', 'l', 'b', 'o', 'W', 'i', 'n', 0, 5, MsgJoin, 'A', 'n', 'n', 4, MsgSitRequest, North, 0}));
}

// A server that relays control bytes cannot forge lines in the pane or
// steer a terminal through a seat's handle.
TEST_F(ClientSessionTest, ControlBytesFromTheServerBecomeSpaces) {
  const ConnId c = Connected();
  t_.Deliver(c, MakeText("Robot West: I resign\nRobot North has left the table\x1b[2J"));
  t_.Deliver(c, MakeSeatInfo(West, true, "Rob\rot\x7f"));
  EXPECT_EQ(ui_.lines.back(), "Robot West: I resign Robot North has left the table [2J");
  EXPECT_EQ(client_.Pane().lines().back(), ui_.lines.back());
  EXPECT_EQ(client_.SeatHandle(West), "Rob ot ");
}

TEST_F(ClientSessionTest, BadFieldsNeverReachTheMirrorAndBrokenFramingCloses) {
  const ConnId c = Connected();
  const GameState before = client_.Game();
  for (const Bytes& bad : {Bytes{16, MsgHand, 7, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13},
                           Bytes{16, MsgHand, 1, 99, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13},
                           Bytes{8, MsgStatus, 1, 40, 1, 0, 1, 0}, Bytes{8, MsgStatus, 9, 1, 1, 0, 1, 0},
                           Bytes{4, MsgTurn, 9, 0}, Bytes{5, MsgSeatInfo, 4, 1, 1}, Bytes{3, MsgHand, 1},
                           Bytes{4, MsgSeatGranted, 4, 0}})
    t_.Deliver(c, bad);
  EXPECT_TRUE(before == client_.Game());
  EXPECT_EQ(client_.LocalPosition(), NoPosition);
  t_.Deliver(c, Bytes{0, 1, 2});
  EXPECT_EQ(t_.closed[c], CloseMode::Abortive);
  EXPECT_FALSE(client_.IsClient());
  EXPECT_EQ(ui_.lines.back(), "Connection closed");
}

TEST_F(ClientSessionTest, KibitzingAndUndoFollowThePositionScoresAreMirrored) {
  const ConnId c = Connected();
  t_.sent.clear();  // the greeting
  t_.Deliver(c, MakeSeatInfo(West, true, "Bob"));
  client_.RequestUndo();  // no seat
  client_.StartKibitzing(West);
  auto frames = t_.Frames(c);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].text(), "Ann: Ann is now kibbitzing Bob");
  EXPECT_EQ(frames[1].type, MsgResendAll);
  t_.Deliver(c, MakeSeatGranted(North));
  client_.RequestUndo();
  t_.Deliver(c, MakeSeatGranted(South));
  client_.RequestUndo();  // South asks nobody
  frames = t_.Frames(c);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].type, MsgUndoRequest);
  t_.Deliver(c, MakeScoreLine(255, "first"));  // replace-last on an empty sheet appends
  t_.Deliver(c, MakeScoreLine(40, "last"));    // past the end appends
  t_.Deliver(c, MakeScoreLine(0, "top"));
  t_.Deliver(c, MakeScoreDelete(9));
  EXPECT_EQ(client_.Game().scoreSheet.size(), 3u);
  t_.Deliver(c, MakeScoreDelete(0));
  EXPECT_EQ(client_.Game().scoreSheet.line(0), "first");
  EXPECT_EQ(client_.Game().scoreSheet.line(1), "last");
  t_.Deliver(c, Bytes{8, MsgStatus, PhaseChoosingSuspended, 5, 0, 2, 1, 0});
  EXPECT_EQ(ui_.hides, 1);
}

}  // namespace
}  // namespace zelbo
