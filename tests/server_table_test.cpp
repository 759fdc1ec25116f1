// The server's table management and dispatch over a fake transport.
#include "net/server_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/simple_policy.h"
#include "net/table_router.h"
#include "net/table_rules.h"
#include "records/saved_game.h"
#include "table_view_source/server_view.h"
#include "tests/fake_transport.h"

namespace zelbo {
namespace {

using testing::Bytes;

// Whether a hand frame shows real cards.
bool Open(const testing::DecodedFrame& f) {
  return f.type == MsgHand && std::any_of(f.payload.begin() + 1, f.payload.end(), [](uint8_t c) { return c < 52; });
}

class ServerTableTest : public ::testing::Test {
 protected:
  ServerTableTest() {
    std::string error;
    EXPECT_TRUE(table_.Start(0, error)) << error;
  }
  ConnId Join(const std::string& handle) {
    const ConnId c = t_.Accept();
    t_.Greet(c, handle);
    return c;
  }
  void Sit(ConnId c, int seat) { t_.Deliver(c, MakeSitRequest(seat)); }
  void FillTable() {  // players "P0" to "P3", South sitting last
    for (int s : {1, 2, 3, 0}) Sit(seat_[s] = Join(testing::Numbered("P", s)), s);
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
  ServerConfig config_{std::string(NonplayingServerHandle), dir_.path, 7, true, true};
  ServerTable table_{t_, ui_, config_};
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
  EXPECT_EQ(table_.Connections().Find(a)->handle, std::string(31, 'k'));
  Sit(a, West);
  Sit(a, North);
  Sit(Join("Bob"), West);  // taken
  EXPECT_EQ(table_.Occupants()[West], a);
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
  for (int i = 1; i < MaxConnections; ++i) Join(testing::Numbered("p", i));
  const ConnId extra = Join("extra");
  EXPECT_EQ(t_.closed.count(extra), 1u);
  EXPECT_EQ(table_.Connections().Find(extra), nullptr);
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
  const ConnId broken = Join("Zero");  // a frame of length 0 loses only its own connection
  t_.Deliver(broken, std::vector<uint8_t>{0, 0});
  EXPECT_EQ(t_.closed.count(broken), 1u);
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

// A peer that never reads: the queue limit closes it as a leave, and the
// floods that fill it are held to their rates.
TEST_F(ServerTableTest, ANeverReadingPeerIsClosedAsALeaveAndFloodsAreRateLimited) {
  FillTable();
  const ConnId watcher = Join("Watch"), flooder = Join("Flood");
  for (ConnId c : {watcher, flooder}) t_.Frames(c);
  std::vector<uint8_t> resends, chats;
  for (const auto& [stream, frame] : {std::pair{&resends, MakeResendAll()}, {&chats, MakeChat("Flood: spam")}})
    for (int i = 0; i < 1000; ++i) stream->insert(stream->end(), frame.bytes.begin(), frame.bytes.begin() + frame.size);
  t_.Deliver(flooder, resends);
  t_.Deliver(flooder, chats);
  int statuses = 0, relayed = 0;
  for (const auto& f : t_.Frames(watcher)) {
    statuses += f.type == MsgStatus;
    relayed += f.type == MsgText && f.text() == "Flood: spam";
  }
  EXPECT_EQ(statuses, 3);   // the burst the resend limit allows
  EXPECT_EQ(relayed, 20);   // and the chat limit
  auto notices = [&] {
    std::vector<std::string> n;
    for (const std::string& text : t_.Texts(flooder))
      if (text.rfind("Too many", 0) == 0) n.push_back(text);
    return n;
  };
  EXPECT_EQ(notices(), (std::vector<std::string>{"Too many resend requests: the rest are ignored",
                                                 "Too many chat lines: the rest are ignored"}));
  t_.now += 2000;  // the buckets refill, and the sender is not told again
  t_.Deliver(flooder, resends);
  EXPECT_EQ(notices(), std::vector<std::string>{});

  // The seated player West stops reading: once its queue passes the limit
  // it is closed and its seat suspends the game, as if it had dropped.
  t_.stalled.insert(seat_[West]);
  for (int i = 0; i < 400 && !t_.closed.count(seat_[West]); ++i) {
    t_.now += 2000;
    t_.Deliver(flooder, MakeResendAll());
    EXPECT_LE(t_.QueuedBytes(seat_[West]), MaxQueuedBytes + MaxFrameLength);
  }
  ASSERT_EQ(t_.closed.count(seat_[West]), 1u);
  EXPECT_EQ(t_.closed[seat_[West]], CloseMode::Abortive);
  EXPECT_EQ(table_.Occupants()[West], EmptySeat);
  EXPECT_EQ(table_.Game().phase, SuspendedPhase(PhaseChoosing));
  const auto texts = t_.Texts(watcher);
  EXPECT_NE(std::find(texts.begin(), texts.end(), "P1 has left the table"), texts.end());
  EXPECT_EQ(texts.back(), "Game suspended");
}

struct EventLog : SeatingListener {
  std::vector<SeatingEvent> events;
  void OnSeatingEvent(const SeatingEvent& e) override { events.push_back(e); }
};

// Connections come and go in every order while the seats are held, and a
// seated player is replaced: each seat still names its own connection,
// which alone sees its hand, and every seating event names the connection
// it is about, in order and once.
TEST_F(ServerTableTest, ChurnAroundHeldSeatsKeepsIdsHandsAndEventsStraight) {
  EventLog log;
  table_.AddSeatingListener(log);
  FillTable();
  std::map<ConnId, std::string> handleOf;
  for (int s = 0; s < 4; ++s) handleOf[seat_[s]] = testing::Numbered("P", s);
  std::array<int, 4> order{0, 1, 2, 3};
  int round = 0;
  do {
    // Two watchers, one connection that never joins, and West's player go.
    std::array<ConnId, 4> going{Join(testing::Numbered("w", 2 * round)), t_.Accept(),
                                Join(testing::Numbered("w", 2 * round + 1)), seat_[West]};
    handleOf[going[0]] = testing::Numbered("w", 2 * round);
    handleOf[going[2]] = testing::Numbered("w", 2 * round + 1);
    for (int i : order) table_.OnClosed(going[static_cast<std::size_t>(i)]);
    const std::string west = testing::Numbered("West", round);
    Sit(seat_[West] = Join(west), West);
    handleOf[seat_[West]] = west;

    TableView view;
    FillServerView(view, table_);
    t_.now += 2000;  // the resend allowance refills
    for (int s = 0; s < 4; ++s) {
      ASSERT_EQ(table_.Occupants()[static_cast<std::size_t>(s)], seat_[s]) << round;
      EXPECT_EQ(view.seatNames[static_cast<std::size_t>(s)], handleOf[seat_[s]]);
      t_.Frames(seat_[s]);
      t_.Deliver(seat_[s], MakeResendAll());
      for (const auto& f : t_.Frames(seat_[s]))
        if (f.type == MsgHand) {
          EXPECT_EQ(Open(f), f.payload[0] == s) << round << " seat " << s;
        }
    }
    EXPECT_EQ(table_.Connections().count(), 4);
    ++round;
  } while (std::next_permutation(order.begin(), order.end()));
  EXPECT_FALSE(IsSuspended(table_.Game().phase));

  using Kind = SeatingEvent::Kind;
  std::map<ConnId, std::vector<Kind>> seen;
  for (const SeatingEvent& e : log.events) {
    ASSERT_EQ(handleOf.count(e.conn), 1u) << "an event for a connection that never joined";
    EXPECT_EQ(e.handle, handleOf[e.conn]);
    std::vector<Kind>& kinds = seen[e.conn];
    EXPECT_TRUE(kinds.empty() ? e.kind == Kind::Joined : e.kind > kinds.back()) << e.conn;
    const int heldSeat = e.handle[0] == 'P' ? e.handle[1] - '0' : West;
    if (e.kind == Kind::Seated || e.kind == Kind::StoodUp) {
      EXPECT_EQ(e.seat, heldSeat) << e.handle;
    }
    kinds.push_back(e.kind);
  }
  const std::vector<Kind> watcher{Kind::Joined, Kind::Left};
  const std::vector<Kind> player{Kind::Joined, Kind::Seated, Kind::StoodUp, Kind::Left};
  for (const auto& [conn, kinds] : seen) {
    const bool seated = std::count(seat_, seat_ + 4, conn) == 1;
    const bool wasPlayer = handleOf[conn][0] != 'w';
    if (seated)
      EXPECT_EQ(kinds, std::vector<Kind>(player.begin(), player.begin() + 2)) << conn;
    else
      EXPECT_EQ(kinds, wasPlayer ? player : watcher) << conn;
  }
  EXPECT_EQ(seen.size(), handleOf.size());
}

// Two tables share one transport: each new connection goes to the table
// the chooser names, and nothing of one table reaches the other.
TEST(TableRouter, TablesOnOneTransportKeepTheirOwnConnections) {
  testing::TempDir dir;
  testing::FakeTransport t;
  testing::RecordingUi ui;
  TableRouter router(t);
  Transport& first = router.AddTable();
  Transport& second = router.AddTable();
  ServerTable a(first, ui, ServerConfig{"A", dir.path, 1, false, false});
  ServerTable b(second, ui, ServerConfig{"B", dir.path, 2, false, false});
  std::string error;
  ASSERT_TRUE(a.Start(0, error) && b.Start(0, error)) << error;
  Transport* next = &first;
  router.SetChooser([&next](ConnId) { return next; });
  const ConnId ann = t.Accept();
  next = &second;
  const ConnId bob = t.Accept();
  next = nullptr;
  const ConnId turnedAway = t.Accept();
  EXPECT_EQ(t.closed.count(turnedAway), 1u);
  t.Greet(ann, "Ann");
  t.Greet(bob, "Bob");
  t.Deliver(bob, MakeSitRequest(West));
  EXPECT_EQ(b.SeatHandle(West), "Bob");
  EXPECT_EQ(a.Occupants()[West], EmptySeat);
  for (const std::string& text : t.Texts(ann)) EXPECT_EQ(text.find("Bob"), std::string::npos) << text;
  a.Stop();  // closes Ann's connection only; the port stays open for B
  EXPECT_EQ(t.closed.count(ann), 1u);
  EXPECT_EQ(t.closed.count(bob), 0u);
  EXPECT_EQ(b.Port(), 40000);
  t.now = ServerTable::GreetingDeadlineMs;
  const ConnId silent = (next = &second, t.Accept());
  t.now += ServerTable::GreetingDeadlineMs;
  router.OnTick();  // ticks reach every table
  EXPECT_EQ(t.closed.count(silent), 1u);
  EXPECT_EQ(b.Connections().count(), 1);
}

// A connection that has not joined hears nothing, and nobody hears of it;
// a joined watcher sees open hands unless the table masks them.
TEST_F(ServerTableTest, NothingReachesOrConcernsAConnectionBeforeItJoins) {
  const ConnId bystander = Join("Bystander");
  t_.Frames(bystander);
  const ConnId silent = t_.Accept(), greeted = t_.Accept();
  t_.Deliver(greeted, std::vector<uint8_t>(Greeting.begin(), Greeting.end()));
  t_.Deliver(t_.Accept(), std::vector<uint8_t>{1, 2, 3});  // a bad greeting
  table_.OnClosed(greeted);
  EXPECT_TRUE(t_.Frames(bystander).empty());
  FillTable();
  for (int i = 0; i < 20; ++i) Step();
  EXPECT_TRUE(t_.sent[silent].empty());
  t_.Frames(bystander);
  // After the join: its own four seat frames, then whatever is broadcast.
  t_.Greet(silent, "Late");
  const auto seats = t_.Frames(silent);
  ASSERT_EQ(seats.size(), 5u);
  for (int s = 0; s < 4; ++s) EXPECT_EQ(seats[s + 1].type, MsgSeatInfo);
  EXPECT_EQ(t_.Texts(bystander), std::vector<std::string>{"Late has joined the table"});
  t_.Deliver(silent, MakeResendAll());
  int open = 0;
  for (const auto& f : t_.Frames(silent)) open += Open(f);
  EXPECT_EQ(open, 4);
}

TEST(ServerTableMasking, WatchersSeeMaskedHandsWhenTheTableSaysSo) {
  testing::TempDir dir;
  testing::FakeTransport t;
  testing::RecordingUi ui;
  ServerConfig config{"Host", dir.path, 7, false, false};
  config.watchersSeeHands = false;
  ServerTable table(t, ui, config);
  std::string error;
  ASSERT_TRUE(table.Start(0, error)) << error;
  ConnId seats[4] = {NoConn, NoConn, NoConn, NoConn};
  const ConnId watcher = t.Accept();
  t.Greet(watcher, "Watch");
  for (int s = 1; s < 4; ++s) {
    t.Greet(seats[s] = t.Accept(), testing::Numbered("P", s));
    t.Deliver(seats[s], MakeSitRequest(s));
  }
  ASSERT_EQ(table.Game().phase, PhaseChoosing);
  t.Deliver(watcher, MakeResendAll());
  t.Deliver(seats[North], MakeResendAll());
  int hands = 0;
  for (ConnId c : {watcher, seats[North]})
    for (const auto& f : t.Frames(c)) {
      if (f.type != MsgHand) continue;
      ++hands;
      EXPECT_EQ(Open(f), c != watcher && f.payload[0] == North) << int(f.payload[0]);
    }
  EXPECT_GE(hands, 8);  // each connection saw all four hands at least once
}

// A full table of watchers cannot keep a player who dropped from coming
// back. Chatty ones: the newcomer comes in over the limit and its sitting
// sends the watcher silent longest away at once; one that does not sit goes
// at the greeting deadline. Watchers that only send keep-alives give up
// their slot to a newcomer after 30 seconds of silence.
TEST_F(ServerTableTest, AReturningPlayerIsNeverLockedOutByWatchers) {
  FillTable();
  std::vector<ConnId> watchers;
  while (table_.Connections().count() < MaxConnections)
    watchers.push_back(Join(testing::Numbered("w", static_cast<int>(watchers.size()))));
  table_.OnClosed(seat_[East]);  // the player drops; the game waits
  ASSERT_TRUE(IsSuspended(table_.Game().phase));
  watchers.push_back(Join("filler"));
  t_.now += 1000;
  for (std::size_t i = 1; i < watchers.size(); ++i) t_.Deliver(watchers[i], MakeChat("still here"));
  const ConnId lingerer = Join("Lingerer"), back = Join("East again");
  EXPECT_EQ(t_.closed.count(back), 0u);
  EXPECT_EQ(table_.Connections().count(), MaxConnections + 2);
  Sit(back, East);
  EXPECT_EQ(table_.Game().phase, PhaseChoosing);
  EXPECT_EQ(t_.closed.count(watchers[0]), 1u);  // silent longest
  t_.now += ServerTable::GreetingDeadlineMs;
  table_.OnTick();
  EXPECT_EQ(t_.closed.count(lingerer), 1u);
  EXPECT_EQ(table_.Connections().count(), MaxConnections);
  EXPECT_EQ(t_.closed.count(Join("Late")), 1u);  // every seat is taken: no room over the limit

  table_.OnClosed(seat_[North]);
  const ConnId filler = Join("filler 2");
  t_.now += IdleWatcherLimitMs;
  for (ConnId w : watchers) t_.Deliver(w, MakeIdle());  // keep-alives are no sign of a person
  t_.Deliver(watchers[1], MakeChat("w1: still here"));
  const ConnId next = Join("North again");
  EXPECT_EQ(table_.Connections().count(), MaxConnections);  // made room, not over the limit
  EXPECT_EQ(t_.closed.count(next) + t_.closed.count(watchers[1]) + t_.closed.count(filler), 0u);
  EXPECT_EQ(t_.closed.count(back), 0u);
  EXPECT_EQ(t_.closed.count(watchers[2]), 1u);  // silent longest, among the watchers
}

// Control bytes in a handle or a chat line reach neither the pane, the
// other peers nor the log as such.
TEST_F(ServerTableTest, ControlBytesInHandlesAndChatBecomeSpaces) {
  const ConnId other = Join("Other");
  t_.Frames(other);
  const ConnId forger = Join("Robot\x1b[2J\tWest");
  t_.Deliver(forger, MakeChat("Robot\x1b[2J\tWest: I resign\nRobot North has left the table\r\x7f"));
  const std::vector<std::string> expected = {
      "Robot [2J West has joined the table",
      "Robot [2J West: I resign Robot North has left the table  "};
  EXPECT_EQ(t_.Texts(other), expected);
  EXPECT_EQ(std::vector<std::string>(ui_.lines.end() - 2, ui_.lines.end()), expected);
  EXPECT_EQ(std::vector<std::string>(table_.Pane().lines().end() - 2, table_.Pane().lines().end()), expected);
}

// An action's frames are out before its files are written, and the files
// are written before the handler returns.
TEST_F(ServerTableTest, FramesGoOutBeforeTheActionsFilesAreWritten) {
  struct Probe : testing::RecordingUi {
    std::function<void()> atFiles;
    void ActionFramesSent() override {
      if (atFiles) atFiles();
    }
  } probe;
  testing::FakeTransport t;
  ServerTable table(t, probe, config_);
  ConnId seats[4];
  for (int s = 0; s < 4; ++s) {
    t.Greet(seats[s] = t.Accept(), testing::Numbered("P", s));
    t.Deliver(seats[s], MakeSitRequest(s));
  }
  const GameState& g = table.Game();
  auto AsLoaded = [](GameState copy) {  // a loaded game comes back suspended
    copy.phase = SuspendedPhase(copy.phase);
    return copy;
  };
  t.Frames(seats[0]);
  t.flushes = 0;
  int checked = 0;
  probe.atFiles = [&] {
    // The engine's last frame of the action is queued and flushed, the
    // autosave still holds the state before it.
    const auto frames = t.Frames(seats[0]);
    EXPECT_TRUE(std::any_of(frames.begin(), frames.end(), [](const auto& f) { return f.type == MsgTurn; }));
    EXPECT_GT(t.flushes, 0);
    GameState saved;
    std::string error;
    ASSERT_TRUE(LoadGame(table.AutosavePath(), saved, error)) << error;  // from the deal
    EXPECT_FALSE(saved == AsLoaded(g));
    t.flushes = 0;
    ++checked;
  };
  t.Deliver(seats[g.dealer], MakeContractChosen(SimpleContract(g)));
  ASSERT_EQ(checked, 1);
  GameState saved;
  std::string error;
  ASSERT_TRUE(LoadGame(table.AutosavePath(), saved, error)) << error;
  EXPECT_TRUE(saved == AsLoaded(g));
  EXPECT_EQ(table.UndoDepth(), 1);
}

TEST(IdleConnectionToEvict, PicksTheLongestSilentWatcherPastTheLimitWhileASeatIsEmpty) {
  ConnectionTable table;
  SeatOccupant occupant{EmptySeat, EmptySeat, EmptySeat, EmptySeat};
  const int64_t heard[4] = {0, 5000, 1000, 70000};  // seated and silent longest, -, the one, spoke lately
  for (int i = 0; i < 4; ++i) table.Add(100 + i, 0)->lastHeardMs = heard[i];
  occupant[South] = 100;
  EXPECT_EQ(IdleConnectionToEvict(table, occupant, IdleWatcherLimitMs), NoConn);
  EXPECT_EQ(IdleConnectionToEvict(table, occupant, IdleWatcherLimitMs + 1000), 102);
  EXPECT_EQ(IdleConnectionToEvict(table, occupant, IdleWatcherLimitMs + 70000), 102);
  occupant = {100, 101, ServerUserSeat, 103};  // nobody can be coming back
  EXPECT_EQ(IdleConnectionToEvict(table, occupant, IdleWatcherLimitMs + 70000), NoConn);
}

TEST(RateLimit, AllowsABurstThenOneTokenPerPeriod) {
  RateLimit limit{3, 100};
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(limit.Take(1000));
  EXPECT_FALSE(limit.Take(1099));
  EXPECT_TRUE(limit.Take(1100));
  EXPECT_FALSE(limit.Take(1150));
  EXPECT_TRUE(limit.Take(1200));
  EXPECT_TRUE(limit.Take(100000));
  EXPECT_TRUE(limit.Take(100000));
  EXPECT_TRUE(limit.Take(100000));  // never more than the burst
  EXPECT_FALSE(limit.Take(100000));
}

}  // namespace
}  // namespace zelbo
