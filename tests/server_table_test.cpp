// The server's table management and dispatch over a fake transport.
#include "net/server_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/simple_policy.h"
#include "tests/fake_transport.h"

namespace zelbo {
namespace {

using testing::Bytes;

class ServerTableTest : public ::testing::Test {
 protected:
  ServerTableTest() { table_.Start(0); }
  ConnId Join(const std::string& handle) {
    const ConnId c = t_.Accept();
    t_.Greet(c, handle);
    return c;
  }
  void Sit(ConnId c, int seat) { t_.Deliver(c, MakeSitRequest(seat)); }
  void FillTable() {  // players "P0" to "P3", South sitting last
    for (int s : {1, 2, 3, 0}) Sit(seat_[s] = Join("P" + std::to_string(s)), s);
  }
  // The simple player's action for the acting seat, sent from its connection.
  void Step() {
    const GameState& g = table_.Game();
    if (g.phase != PhaseChoosing) t_.Deliver(seat_[g.turn], MakePlayCard(SimpleCard(g, g.turn)));
    else if (g.turn == 0) t_.Deliver(seat_[ActingSeat(g)], MakeContractChosen(SimpleContract(g)));
    else t_.Deliver(seat_[ActingSeat(g)], MakeDoubleChosen(SimpleDoubling(g)));
  }

  testing::TempDir dir_;
  testing::FakeTransport t_;
  testing::RecordingUi ui_;
  ServerTable table_{t_, ui_, ServerConfig{std::string(NonplayingServerHandle), dir_.path, 7, true, true}};
  ConnId seat_[4] = {NoConn, NoConn, NoConn, NoConn};
};

TEST_F(ServerTableTest, NothingCountsBeforeJoinOneSeatEachChatCarriesTheRealSender) {
  const ConnId a = t_.Accept();
  t_.Deliver(a, std::vector<uint8_t>(Greeting.begin(), Greeting.end()));
  Sit(a, West);  // greeted but not joined
  t_.Deliver(a, MakeChat("a: hi"));
  EXPECT_EQ(table_.Occupants()[West], EmptySeat);
  EXPECT_TRUE(t_.Texts(a).empty());
  t_.Deliver(a, MakeJoin(std::string(40, 'k')));  // a lone greeting, then the join
  t_.Deliver(a, MakeJoin("Other"));               // a second join changes nothing
  EXPECT_EQ(table_.Connections().slot(0).handle, std::string(31, 'k'));
  Sit(a, West);
  Sit(a, North);
  Sit(Join("Bob"), West);  // taken
  EXPECT_EQ(table_.Occupants()[West], 0);
  EXPECT_EQ(table_.Occupants()[North], EmptySeat);
  const ConnId m = t_.Accept();
  for (uint8_t b : testing::Hello("Mallory")) t_.Deliver(m, std::span<const uint8_t>(&b, 1));  // byte by byte
  EXPECT_EQ(t_.Texts(m).back(), "Mallory has joined the table");
  const std::pair<std::string, std::string> chats[] = {
      {"Alice: send me your cards", "Mallory: Alice: send me your cards"},
      {"Mallory: hello", "Mallory: hello"},
      {std::string(121, 'x'), "Mallory: " + std::string(124 - 9, 'x')}};
  for (const auto& [chat, shown] : chats) {
    t_.Deliver(m, MakeChat(chat));
    EXPECT_EQ(t_.Texts(m), std::vector<std::string>{shown});
  }
}

TEST_F(ServerTableTest, SilentConnectionsGoAfterTenSecondsAndTheThirtyThirdAtOnce) {
  const ConnId idle = t_.Accept();
  t_.now = 5000;
  Join("Ann");
  const ConnId late = t_.Accept();
  t_.now = 10000;
  table_.OnTick();
  EXPECT_EQ(t_.closed.count(idle), 1u);
  EXPECT_EQ(t_.closed.count(late), 0u);
  t_.now = 15000;
  table_.OnTick();
  EXPECT_EQ(t_.closed.count(late), 1u);
  EXPECT_EQ(table_.Connections().count(), 1);  // the one that joined
  for (int i = 1; i < MaxConnections; ++i) Join("p" + std::to_string(i));
  const ConnId extra = Join("extra");
  EXPECT_EQ(t_.closed.count(extra), 1u);
  EXPECT_EQ(table_.Connections().Find(extra), -1);
  EXPECT_EQ(table_.Connections().count(), MaxConnections);
}

TEST_F(ServerTableTest, OnlyTheActingSeatsValidDecisionsAndASeatedUndoCount) {
  FillTable();
  const ConnId kibitzer = Join("Kib");
  const GameState before = table_.Game();
  const int dealer = before.dealer, code = SimpleContract(before);
  const ConnId acting = seat_[dealer], other = seat_[NextSeat(dealer)];
  std::vector<std::pair<ConnId, std::vector<uint8_t>>> ignored = {
      {kibitzer, Bytes(MakeContractChosen(code))}, {other, Bytes(MakeContractChosen(code))},
      {acting, Bytes(MakeDoubleChosen(code))},     {acting, Bytes(MakeContractChosen(0))},
      {acting, Bytes(MakeContractChosen(40))},     {acting, {2, MsgContractChosen}},
      {acting, {2, MsgSitRequest}},                {acting, {2, MsgPlayCard}}};
  for (int type : {MsgStatus, MsgHand, MsgTurn, MsgScoreClear, MsgSeatGranted, 26, 200})
    ignored.push_back({acting, {4, static_cast<uint8_t>(type), 1, 1}});  // meant for clients
  for (const auto& [from, bytes] : ignored) t_.Deliver(from, bytes);
  EXPECT_TRUE(before == table_.Game());
  EXPECT_EQ(table_.Connections().count(), 5);
  t_.Deliver(acting, MakeContractChosen(code));
  EXPECT_EQ(table_.Game().contract, code);
  t_.Frames(kibitzer);
  t_.Deliver(seat_[West], MakeUndoRequest());
  EXPECT_TRUE(before == table_.Game());
  EXPECT_EQ(t_.Texts(kibitzer), std::vector<std::string>{"Last action undone [P1]"});
}

TEST_F(ServerTableTest, RandomFramesNeitherCrashNorBreakTheGame) {
  FillTable();
  const ConnId outsider = Join("Out");
  uint32_t state = 12345;
  auto next = [&state] { return static_cast<int>(((state = state * 1103515245u + 12345u) >> 16) & 0x7FFF); };
  for (int i = 0; i < 20000; ++i) {
    std::vector<uint8_t> frame(static_cast<std::size_t>(2 + next() % 20));
    frame[0] = static_cast<uint8_t>(frame.size());
    frame[1] = static_cast<uint8_t>(next() % 28);
    if (frame[1] == MsgJoin || frame[1] == MsgChat) frame[1] = MsgPlayCard;
    for (std::size_t k = 2; k < frame.size(); ++k) frame[k] = static_cast<uint8_t>(next() % 60);
    t_.Deliver(i % 5 == 4 ? outsider : seat_[i % 4], frame);
    if (i % 50 == 0) Step();  // the game moves on now and then
    if (i % 500 == 0) t_.sent.clear();
    ASSERT_TRUE(table_.Game().phase <= PhaseFirstLeadSuspended && table_.Connections().count() == 5) << i;
  }
  // The game is still sound: it can be played to its end.
  for (int steps = 0; steps < MaxGameSteps && table_.Game().phase != PhaseGameOver; ++steps) Step();
  EXPECT_EQ(table_.Game().phase, PhaseGameOver);
  EXPECT_EQ(table_.Game().scoreSheet.size(), 36u);
}

// A loaded game (or an undo) at a table with an empty seat: everybody is told
// the whole state and the game waits. At a full table it goes on at once and
// the acting seat is asked again.
TEST_F(ServerTableTest, ALoadedGameIsToldWholeAndResumesOnlyAtAFullTable) {
  FillTable();
  const ConnId kibitzer = Join("Kib");
  for (int i = 0; i < 7; ++i) Step();  // deal 1: contract, doubles, first cards
  const std::string file = dir_.path + "/mid.zelbo";
  std::string error;
  ASSERT_TRUE(table_.SaveGameFile(file, error)) << error;
  auto types = [](const std::vector<testing::DecodedFrame>& frames) {
    std::vector<int> out;
    for (const auto& f : frames)
      if (f.type != MsgText) out.push_back(f.type);
    return out;
  };
  std::vector<int> whole = {MsgStatus, MsgHand, MsgHand, MsgHand, MsgHand, MsgContract,
                            MsgDoubleFactors, MsgTableCards, MsgTally, MsgDoublesOwed, MsgScoreClear};
  whole.insert(whole.end(), table_.Game().scoreSheet.size(), MsgScoreLine);

  table_.RemoveConnection(North);
  const GameState before = table_.Game();
  t_.Frames(kibitzer);
  ASSERT_TRUE(table_.LoadGameFile(file, error)) << error;
  std::vector<int> waiting = whole;
  waiting.insert(waiting.end(), {MsgTurn, MsgDealDecision});
  EXPECT_EQ(types(t_.Frames(kibitzer)), waiting);
  EXPECT_EQ(table_.Game().phase, before.phase);
  EXPECT_TRUE(IsSuspended(table_.Game().phase));

  Sit(seat_[North] = Join("P2"), North);  // the table is full again: play goes on
  EXPECT_EQ(table_.Game().phase, ResumedPhase(before.phase));
  t_.Frames(kibitzer);
  ASSERT_TRUE(table_.LoadGameFile(file, error)) << error;
  std::vector<int> full = whole;
  full.insert(full.begin(), MsgStatus);
  full.insert(full.end(), {MsgDealDecision, MsgTurn, MsgStatus});
  EXPECT_EQ(types(t_.Frames(kibitzer)), full);
  EXPECT_FALSE(IsSuspended(table_.Game().phase));
  for (int steps = 0; steps < MaxGameSteps && table_.Game().phase != PhaseGameOver; ++steps) Step();
  EXPECT_EQ(table_.Game().phase, PhaseGameOver);
}

// A socket error only shows in the pane; the close that follows it is what
// takes the player away and suspends the game. Stop closes every live
// connection in order and frees every seat; frames arriving later count
// for nothing.
TEST_F(ServerTableTest, SocketErrorsShowAndStopClosesEveryConnection) {
  FillTable();
  const ConnId kibitzer = Join("Kib");
  Step();
  table_.OnSocketError(seat_[West], SocketError{104, "Connection reset by peer", false});
  EXPECT_EQ(table_.Pane().lines().back(), "socket error 104: Connection reset by peer");
  EXPECT_EQ(table_.Connections().count(), 5);
  EXPECT_FALSE(IsSuspended(table_.Game().phase));
  t_.Frames(kibitzer);
  table_.OnClosed(seat_[West]);
  EXPECT_EQ(t_.Texts(kibitzer), (std::vector<std::string>{"P1 has left the table", "Game suspended"}));
  EXPECT_TRUE(IsSuspended(table_.Game().phase));
  EXPECT_EQ(table_.Occupants()[West], EmptySeat);

  table_.Stop();
  for (ConnId c : {seat_[South], seat_[North], seat_[East], kibitzer}) {
    ASSERT_EQ(t_.closed.count(c), 1u);
    EXPECT_EQ(t_.closed[c], CloseMode::Graceful);
  }
  EXPECT_EQ(table_.Connections().count(), 0);
  for (int seat = 0; seat < 4; ++seat) EXPECT_EQ(table_.Occupants()[static_cast<std::size_t>(seat)], EmptySeat);
  const GameState before = table_.Game();
  t_.Deliver(seat_[North], MakePlayCard(SimpleCard(before, before.turn)));
  t_.Deliver(kibitzer, MakeChat("Kib: still here?"));
  EXPECT_TRUE(before == table_.Game());
  EXPECT_NE(table_.Pane().lines().back(), "Kib: still here?");
}

}  // namespace
}  // namespace zelbo
