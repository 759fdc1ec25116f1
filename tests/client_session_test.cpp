// The client's connection handling, commands and checked mirroring,
// driven through a fake transport.
#include "net/client_session.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine.h"
#include "tests/fake_transport.h"

namespace zelbo {
namespace {

using testing::FakeTransport;

struct RecordingUi : ClientUi {
  int contractPrompts = 0, doublePrompts = 0, hides = 0, closes = 0;
  std::vector<std::string> lines;
  void PromptContract(const GameState&) override { ++contractPrompts; }
  void PromptDoubling(const GameState&) override { ++doublePrompts; }
  void HideDecisionDialogs() override { ++hides; }
  void PaneLineAdded(std::string_view l) override { lines.emplace_back(l); }
  void ConnectionClosed() override { ++closes; }
};

class ClientSessionTest : public ::testing::Test {
 protected:
  ClientSessionTest() : client_(t_, ui_, "Ann") {}
  ConnId Connected() {
    client_.Connect("table.example", 2118);
    const ConnId c = t_.lastPort ? 100 : NoConn;
    client_.OnConnected(c);
    t_.sent[c].clear();  // the greeting is not a frame
    return c;
  }
  void From(ConnId c, const std::vector<uint8_t>& bytes) { client_.OnRead(c, bytes); }
  void From(ConnId c, const Frame& f) { t_.Deliver(c, f); }

  FakeTransport t_;
  RecordingUi ui_;
  ClientSession client_;
};

TEST_F(ClientSessionTest, GreetingAndJoinGoOutTogetherThenIdle) {
  client_.Connect("10.0.0.1", 2118);
  EXPECT_EQ(ui_.lines.back(), "Searching for server...");
  EXPECT_TRUE(client_.IsClient());
  client_.OnConnected(100);
  client_.OnWritable(100);
  const std::vector<uint8_t> expected = {'Z', 'e', 'l', 'b', 'o', 'W', 'i', 'n', 0,
                                         5,   MsgJoin, 'A', 'n', 'n', 4, MsgIdle, 0, 0};
  EXPECT_EQ(t_.sent[100], expected);
  EXPECT_EQ(t_.lastHost, "10.0.0.1");
}

TEST_F(ClientSessionTest, FailedConnectionResetsSoSetupCanTryAgain) {
  client_.Connect("10.0.0.1", 2118);
  client_.OnSocketError(100, SocketError{0, "Connection refused", false});
  client_.OnClosed(100);
  ASSERT_GE(ui_.lines.size(), 3u);
  EXPECT_EQ(ui_.lines[1], "socket error 0: Connection refused");
  EXPECT_EQ(ui_.lines[2], "Connection closed");
  EXPECT_FALSE(client_.IsClient());
  EXPECT_EQ(client_.LocalPosition(), NoPosition);
  EXPECT_EQ(ui_.closes, 1);
  client_.Connect("10.0.0.2", 2118);
  EXPECT_TRUE(client_.IsClient());
  EXPECT_EQ(t_.lastHost, "10.0.0.2");
}

TEST_F(ClientSessionTest, UnknownHostNameSaysSo) {
  client_.Connect("no.such.host", 2118);
  client_.OnSocketError(100, SocketError{2, "Host not found", true});
  client_.OnClosed(100);
  EXPECT_EQ(ui_.lines[1], "Cannot find the server \"no.such.host\": Host not found");
  EXPECT_FALSE(client_.IsClient());
}

TEST_F(ClientSessionTest, BrokenFramingClosesTheConnection) {
  const ConnId c = Connected();
  From(c, std::vector<uint8_t>{0, 1, 2});
  EXPECT_EQ(t_.closed[c], CloseMode::Abortive);
  EXPECT_FALSE(client_.IsClient());
  EXPECT_EQ(ui_.lines.back(), "Connection closed");
}

TEST_F(ClientSessionTest, OutOfRangeFieldsNeverReachTheMirror) {
  const ConnId c = Connected();
  const GameState before = client_.Game();
  From(c, std::vector<uint8_t>{16, MsgHand, 7, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
  From(c, std::vector<uint8_t>{16, MsgHand, 1, 99, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
  From(c, std::vector<uint8_t>{8, MsgStatus, 1, 40, 1, 0, 1, 0});
  From(c, std::vector<uint8_t>{8, MsgStatus, 9, 1, 1, 0, 1, 0});
  From(c, std::vector<uint8_t>{4, MsgTurn, 9, 0});
  From(c, std::vector<uint8_t>{5, MsgSeatInfo, 4, 1, 1});
  From(c, std::vector<uint8_t>{3, MsgHand, 1});  // short
  From(c, std::vector<uint8_t>{4, MsgSeatGranted, 4, 0});
  EXPECT_TRUE(SameGame(before, client_.Game()));
  EXPECT_EQ(client_.LocalPosition(), NoPosition);
}

TEST_F(ClientSessionTest, RandomBytesNeverBreakTheMirror) {
  const ConnId c = Connected();
  uint32_t state = 99;
  for (int i = 0; i < 20000 && client_.IsClient(); ++i) {
    state = state * 1103515245u + 12345u;
    const int length = 2 + static_cast<int>((state >> 16) % 30);
    std::vector<uint8_t> frame(static_cast<std::size_t>(length));
    frame[0] = static_cast<uint8_t>(length);
    frame[1] = static_cast<uint8_t>((state >> 8) % 27);
    for (int k = 2; k < length; ++k) {
      state = state * 1103515245u + 12345u;
      frame[static_cast<std::size_t>(k)] = static_cast<uint8_t>(state >> 24);
    }
    From(c, frame);
    const GameState& g = client_.Game();
    ASSERT_TRUE(g.dealNumber >= 0 && g.dealNumber <= DealCount);
    ASSERT_TRUE(g.dealer >= 0 && g.dealer <= 3);
    for (int s = 0; s < 4; ++s)
      for (int k = 0; k < 13; ++k) ASSERT_LE(g.hands[s][k], NoCard);
  }
  EXPECT_TRUE(client_.IsClient());
}

TEST_F(ClientSessionTest, MirrorsFieldsAndScoreSheet) {
  const ConnId c = Connected();
  From(c, std::vector<uint8_t>{8, MsgStatus, PhaseChoosing, 5, 0, 2, 1, 0});
  From(c, std::vector<uint8_t>{7, MsgDealDecision, 3, 255, 255, 255, 255});
  EXPECT_EQ(client_.Game().dealDecisions[5][0], 3);
  From(c, MakeScoreLine(255, "first"));  // replace-last on an empty sheet appends
  From(c, MakeScoreLine(40, "last"));    // past the end appends
  From(c, MakeScoreLine(0, "top"));
  ASSERT_EQ(client_.Game().scoreSheet.size(), 3u);
  EXPECT_EQ(client_.Game().scoreSheet.line(0), "top");
  EXPECT_EQ(client_.Game().scoreSheet.line(2), "last");
  From(c, MakeScoreDelete(9));
  From(c, MakeScoreDelete(0));
  EXPECT_EQ(client_.Game().scoreSheet.line(0), "first");
  From(c, std::vector<uint8_t>{8, MsgStatus, PhaseChoosingSuspended, 5, 0, 2, 1, 0});
  EXPECT_EQ(ui_.hides, 1);
}

TEST_F(ClientSessionTest, ContractPromptLetsTheRulesAnswerOnTheMirror) {
  const ConnId c = Connected();
  From(c, std::vector<uint8_t>{8, MsgStatus, PhaseChoosing, 2, 0, 3, 1, 0});
  From(c, std::vector<uint8_t>{4, MsgTurn, 0, 0});
  const uint8_t row[KindCount] = {0, 1, 1, 0, 0, 0, 0};  // Dominoes and Misere left
  From(c, MakeChooseContract(row));
  EXPECT_EQ(ui_.contractPrompts, 1);
  const uint32_t allowed = AllowedContracts(client_.Game());
  EXPECT_TRUE(allowed >> Misere & 1u);
  EXPECT_TRUE(allowed >> FirstDominoes & 1u);
  EXPECT_FALSE(allowed >> FirstTrumps & 1u);
  EXPECT_FALSE(allowed >> NoQueens & 1u);
}

TEST_F(ClientSessionTest, CommandsFollowRoleAndPosition) {
  client_.RequestSeat(West);  // not a client yet
  EXPECT_TRUE(t_.sent.empty());
  const ConnId c = Connected();
  From(c, MakeSeatInfo(West, true, "Bob"));
  client_.RequestUndo();  // no seat
  client_.StartKibitzing(West);
  auto frames = t_.Frames(c);
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(frames[0].type, MsgChat);
  EXPECT_EQ(frames[0].text(), "Ann: Ann is now kibbitzing Bob");
  EXPECT_EQ(frames[1].type, MsgResendAll);
  EXPECT_EQ(client_.LocalPosition(), 4 + West);
  client_.RequestSeat(North);  // a kibitzer has a position
  EXPECT_TRUE(t_.Frames(c).empty());
  From(c, MakeSeatGranted(North));
  client_.StartKibitzing(4);  // a seated client cannot kibitz
  client_.RequestUndo();
  frames = t_.Frames(c);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].type, MsgUndoRequest);
  From(c, MakeSeatGranted(South));
  client_.RequestUndo();  // South asks nobody
  EXPECT_TRUE(t_.Frames(c).empty());
}

}  // namespace
}  // namespace zelbo
