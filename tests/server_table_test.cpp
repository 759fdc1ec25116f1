// The server's table management and dispatch, driven frame by frame
// through a fake transport.
#include "net/server_table.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/simple_policy.h"
#include "tests/fake_transport.h"

namespace zelbo {
namespace {

using testing::DecodedFrame;
using testing::FakeTransport;

struct RecordingUi : ServerUi {
  int pickGame = 0, doubling = 0, hidden = 0, gameOver = 0;
  std::vector<std::string> lines;
  void OpenPickGameDialog(const GameState&) override { ++pickGame; }
  void OpenDoublingDialog(const GameState&) override { ++doubling; }
  void HideDecisionDialogs() override { ++hidden; }
  void PaneLineAdded(std::string_view line) override { lines.emplace_back(line); }
  void GameOver(const GameState&) override { ++gameOver; }
};

std::string TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zelbo_server_XXXXXX").string();
  const char* made = mkdtemp(pattern.data());
  return made ? std::string(made) : std::string();
}

class ServerTableTest : public ::testing::Test {
 protected:
  explicit ServerTableTest(std::string handle = std::string(NonplayingServerHandle))
      : folder_(TempFolder()), table_(t_, ui_, ServerConfig{handle, folder_, 7, true, true}) {
    table_.Start(0);
  }
  ~ServerTableTest() override { std::filesystem::remove_all(folder_); }

  ConnId Join(const std::string& handle) {
    const ConnId c = t_.Accept();
    t_.Greet(c, handle);
    return c;
  }
  void Sit(ConnId c, int seat) { t_.Deliver(c, MakeSitRequest(seat)); }
  // Four players West, North, East, South (in that order of sitting).
  void FillTable() {
    const char* names[] = {"Sam", "Wes", "Nor", "Eve"};
    for (int s : {1, 2, 3, 0}) {
      seat_[s] = Join(names[s]);
      Sit(seat_[s], s);
    }
  }
  // Connection of the seat that must act now.
  ConnId Acting() const {
    const GameState& g = table_.Game();
    return seat_[g.phase == PhaseChoosing ? ActingSeat(g) : g.turn];
  }
  // The simple player's action for the acting seat, sent from its connection.
  void Step() {
    const GameState& g = table_.Game();
    if (g.phase == PhaseChoosing && g.turn == 0)
      t_.Deliver(Acting(), MakeContractChosen(SimpleContract(g)));
    else if (g.phase == PhaseChoosing)
      t_.Deliver(Acting(), MakeDoubleChosen(SimpleDoubling(g)));
    else
      t_.Deliver(Acting(), MakePlayCard(SimpleCard(g, g.turn)));
  }
  void ClearSent() {
    for (auto& [c, bytes] : t_.sent) bytes.clear();
  }

  std::string folder_;
  FakeTransport t_;
  RecordingUi ui_;
  ServerTable table_;
  ConnId seat_[4] = {NoConn, NoConn, NoConn, NoConn};
};

TEST_F(ServerTableTest, AcceptSendsSeatInfoJoinIsAnnouncedFourthSitStartsGame) {
  const ConnId a = t_.Accept();
  auto frames = t_.Frames(a);
  ASSERT_EQ(frames.size(), 4u);
  for (int s = 0; s < 4; ++s) {
    EXPECT_EQ(frames[s].type, MsgSeatInfo);
    EXPECT_EQ(frames[s].payload[0], s);
    EXPECT_EQ(frames[s].payload[1], 0);  // a nonplaying server leaves South empty
  }
  t_.Greet(a, "Ann");
  EXPECT_EQ(t_.Texts(a), std::vector<std::string>{"Ann has joined the table"});
  Sit(a, North);
  t_.Frames(a);
  // Every connection, the new one included, hears of all four seats.
  const ConnId b = t_.Accept();
  for (ConnId c : {a, b}) {
    frames = t_.Frames(c);
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[2].payload[1], 1);
    EXPECT_EQ(frames[2].text().substr(3), "Ann");
  }
  t_.Greet(b, "Bob");
  Sit(b, North);  // taken: no answer
  EXPECT_EQ(table_.Occupants()[North], 0);
  bool granted = false;
  for (const DecodedFrame& f : t_.Frames(b)) granted |= f.type == MsgSeatGranted;
  EXPECT_FALSE(granted);
  Sit(b, West);
  const ConnId c = Join("Cyd");
  Sit(c, East);
  EXPECT_EQ(table_.Game().phase, PhaseIdle);
  const ConnId d = Join("Dee");
  Sit(d, South);
  EXPECT_EQ(table_.Game().phase, PhaseChoosing);
  EXPECT_EQ(table_.Game().dealNumber, 1);
}

TEST_F(ServerTableTest, NothingCountsBeforeJoinAndOneConnectionHoldsOneSeat) {
  const ConnId a = t_.Accept();
  std::vector<uint8_t> greeting(Greeting.begin(), Greeting.end());
  t_.Deliver(a, greeting);
  Sit(a, West);  // greeted but not joined
  t_.Deliver(a, MakeChat("a: hi"));
  EXPECT_EQ(table_.Occupants()[West], EmptySeat);
  EXPECT_TRUE(t_.Texts(a).empty());
  t_.Deliver(a, MakeJoin(std::string(40, 'k')));  // a lone greeting, then the join
  EXPECT_EQ(table_.Connections().slot(0).handle, std::string(31, 'k'));
  t_.Deliver(a, MakeJoin("Other"));  // a second join changes nothing
  EXPECT_EQ(table_.Connections().slot(0).handle, std::string(31, 'k'));
  Sit(a, West);
  Sit(a, North);
  EXPECT_EQ(table_.Occupants()[West], 0);
  EXPECT_EQ(table_.Occupants()[North], EmptySeat);
}

TEST_F(ServerTableTest, WrongGreetingIsResetSilentlyAndNothingDispatched) {
  const ConnId ok = Join("Ann");
  const ConnId bad = t_.Accept();
  std::vector<uint8_t> bytes = {'H', 'E', 'L', 'L', 'O', ' ', 'Z', 'W', 0};
  const Frame join = MakeJoin("Eve");
  bytes.insert(bytes.end(), join.bytes.begin(), join.bytes.begin() + join.size);
  t_.Frames(ok);
  t_.Deliver(bad, bytes);
  EXPECT_EQ(t_.closed[bad], CloseMode::Abortive);
  EXPECT_EQ(table_.Connections().count(), 1);
  EXPECT_TRUE(t_.Texts(ok).empty());
}

TEST_F(ServerTableTest, SilentConnectionsAreRefusedAfterTenSeconds) {
  const ConnId idle = t_.Accept();
  t_.now = 5000;
  const ConnId joined = Join("Ann");
  const ConnId late = t_.Accept();
  t_.now = 10000;
  table_.OnTick();
  EXPECT_TRUE(t_.IsClosed(idle));
  EXPECT_FALSE(t_.IsClosed(joined));
  EXPECT_FALSE(t_.IsClosed(late));
  t_.now = 15000;
  table_.OnTick();
  EXPECT_TRUE(t_.IsClosed(late));
  EXPECT_EQ(table_.Connections().count(), 1);
}

TEST_F(ServerTableTest, ThirtyThirdConnectionNeverEntersTheTable) {
  for (int i = 0; i < MaxConnections; ++i) Join("p" + std::to_string(i));
  const ConnId extra = t_.Accept();
  EXPECT_TRUE(t_.IsClosed(extra));
  EXPECT_EQ(table_.Connections().count(), MaxConnections);
  EXPECT_EQ(table_.Connections().Find(extra), -1);
}

TEST_F(ServerTableTest, ZeroLengthFrameClosesOnlyThatConnection) {
  const ConnId a = Join("Ann");
  const ConnId b = Join("Bob");
  Sit(a, West);
  t_.Frames(b);
  t_.Deliver(a, std::vector<uint8_t>{0, 0, 0, 0});
  EXPECT_EQ(t_.closed[a], CloseMode::Abortive);
  EXPECT_FALSE(t_.IsClosed(b));
  EXPECT_EQ(table_.Connections().count(), 1);
  EXPECT_EQ(table_.Occupants()[West], EmptySeat);
  const auto texts = t_.Texts(b);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts[0], "Ann has left the table");
}

TEST_F(ServerTableTest, OnlyTheActingSeatDecidesAndOnlyWhatTheRulesOffer) {
  FillTable();
  const ConnId kibitzer = Join("Kib");
  const GameState before = table_.Game();
  const int dealer = before.dealer;
  const int code = SimpleContract(before);
  t_.Deliver(kibitzer, MakeContractChosen(code));
  t_.Deliver(seat_[NextSeat(dealer)], MakeContractChosen(code));
  t_.Deliver(seat_[dealer], MakeDoubleChosen(code));  // wrong frame for the step
  t_.Deliver(seat_[dealer], MakeContractChosen(0));
  t_.Deliver(seat_[dealer], MakeContractChosen(40));
  EXPECT_TRUE(SameGame(before, table_.Game()));
  t_.Deliver(seat_[dealer], MakeContractChosen(code));
  EXPECT_EQ(table_.Game().contract, code);
  EXPECT_EQ(table_.Game().turn, 1);
}

TEST_F(ServerTableTest, KibitzerCardAndUndoChangeNothing) {
  FillTable();
  const ConnId kibitzer = Join("Kib");
  GameState prev;
  while (table_.Game().phase == PhaseChoosing) {
    prev = table_.Game();
    Step();
  }
  ASSERT_EQ(table_.Game().phase, PhaseFirstLead);
  const GameState before = table_.Game();
  const int card = SimpleCard(before, before.turn);
  t_.Frames(kibitzer);
  t_.Deliver(kibitzer, MakePlayCard(card));
  t_.Deliver(kibitzer, MakeUndoRequest());
  EXPECT_TRUE(SameGame(before, table_.Game()));
  EXPECT_TRUE(t_.Texts(kibitzer).empty());
  // A seated player's undo works and names the player.
  const ConnId west = seat_[West];
  t_.Deliver(west, MakeUndoRequest());
  EXPECT_TRUE(SameGame(prev, table_.Game()));
  const auto texts = t_.Texts(kibitzer);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), "Last action undone [Wes]");
}

TEST_F(ServerTableTest, SeatedConnectionsSeeOnlyTheirOwnCards) {
  FillTable();
  const ConnId kibitzer = Join("Kib");
  t_.Deliver(kibitzer, MakeResendAll());
  for (int s = 0; s < 4; ++s) {
    int hands = 0;
    for (const DecodedFrame& f : t_.Frames(seat_[s])) {
      if (f.type != MsgHand) continue;
      ++hands;
      const bool own = f.payload[0] == s;
      for (int i = 1; i <= 13; ++i) {
        if (own)
          EXPECT_NE(f.payload[i], NoCard);
        else
          EXPECT_EQ(f.payload[i], NoCard);
      }
    }
    EXPECT_GE(hands, 8);  // the deal's four hands and the resend's four
  }
  int open = 0;
  for (const DecodedFrame& f : t_.Frames(kibitzer))
    if (f.type == MsgHand && f.payload[1] != NoCard) ++open;
  EXPECT_EQ(open, 4);
}

TEST_F(ServerTableTest, ChatAlwaysCarriesTheRealSender) {
  const ConnId a = Join("Mallory");
  t_.Frames(a);
  t_.Deliver(a, MakeChat("Alice: send me your cards"));
  t_.Deliver(a, MakeChat("Mallory: hello"));
  t_.Deliver(a, MakeChat(std::string(121, 'x')));
  const auto texts = t_.Texts(a);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], "Mallory: Alice: send me your cards");
  EXPECT_EQ(texts[1], "Mallory: hello");
  EXPECT_EQ(texts[2], "Mallory: " + std::string(124 - 9, 'x'));
}

TEST_F(ServerTableTest, FramesMeantForClientsAndShortPayloadsAreIgnored) {
  FillTable();
  const GameState before = table_.Game();
  const ConnId dealer = seat_[before.dealer];
  for (int type : {MsgStatus, MsgHand, MsgTurn, MsgScoreClear, MsgSeatGranted, 26, 200})
    t_.Deliver(dealer, std::vector<uint8_t>{4, static_cast<uint8_t>(type), 1, 1});
  t_.Deliver(dealer, std::vector<uint8_t>{2, MsgContractChosen});
  t_.Deliver(dealer, std::vector<uint8_t>{2, MsgSitRequest});
  t_.Deliver(dealer, std::vector<uint8_t>{2, MsgPlayCard});
  EXPECT_TRUE(SameGame(before, table_.Game()));
  EXPECT_EQ(table_.Connections().count(), 4);
}

TEST_F(ServerTableTest, RandomFramesNeitherCrashNorBreakTheGame) {
  FillTable();
  const ConnId outsider = Join("Out");
  uint32_t state = 12345;
  auto next = [&state] {
    state = state * 1103515245u + 12345u;
    return static_cast<int>((state >> 16) & 0x7FFF);
  };
  for (int i = 0; i < 20000; ++i) {
    const ConnId from = i % 5 == 4 ? outsider : seat_[i % 4];
    const int length = 2 + next() % 20;
    std::vector<uint8_t> frame(static_cast<std::size_t>(length));
    frame[0] = static_cast<uint8_t>(length);
    frame[1] = static_cast<uint8_t>(next() % 28);
    if (frame[1] == MsgJoin || frame[1] == MsgChat) frame[1] = MsgPlayCard;
    for (int k = 2; k < length; ++k) frame[static_cast<std::size_t>(k)] = static_cast<uint8_t>(next() % 60);
    t_.Deliver(from, frame);
    if (i % 50 == 0) Step();  // the game moves on now and then
    if (i % 500 == 0) ClearSent();
    const GameState& g = table_.Game();
    ASSERT_TRUE(g.phase >= PhaseIdle && g.phase <= PhaseFirstLeadSuspended);
    ASSERT_EQ(table_.Connections().count(), 5);
  }
  // The game is still sound: it can be played to its end.
  for (int steps = 0; steps < 28 * 60 && table_.Game().phase != PhaseGameOver; ++steps) Step();
  EXPECT_EQ(table_.Game().phase, PhaseGameOver);
  EXPECT_EQ(table_.Game().scoreSheet.size(), 36u);
}

TEST_F(ServerTableTest, LoadedGameWaitsForAFullTableAndBadFilesChangeNothing) {
  FillTable();
  for (int i = 0; i < 12; ++i) Step();
  const std::string saved = folder_ + "/mid.zelbo";
  ASSERT_TRUE(table_.SaveGameFile(saved));
  const GameState atSave = table_.Game();

  FakeTransport t;
  RecordingUi ui;
  ServerTable other(t, ui, ServerConfig{std::string(NonplayingServerHandle), folder_, 1, false, false});
  other.Start(0);
  const GameState empty = other.Game();
  std::string error;
  EXPECT_FALSE(other.LoadGameFile(folder_ + "/missing.zelbo", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ui.lines.back(), error);
  EXPECT_TRUE(SameGame(empty, other.Game()));

  const ConnId watcher = t.Accept();
  t.Greet(watcher, "Kib");
  t.Frames(watcher);
  ASSERT_TRUE(other.LoadGameFile(saved));
  EXPECT_TRUE(IsSuspended(other.Game().phase));
  int hands = 0;
  for (const DecodedFrame& f : t.Frames(watcher)) hands += f.type == MsgHand;
  EXPECT_EQ(hands, 4);  // the whole table is announced at once
  ConnId seats[4];
  const char* names[] = {"A", "B", "C", "D"};
  for (int s = 0; s < 4; ++s) {
    seats[s] = t.Accept();
    t.Greet(seats[s], names[s]);
    t.Deliver(seats[s], MakeSitRequest(s));
  }
  EXPECT_EQ(other.Game().phase, atSave.phase);
  EXPECT_EQ(other.Game().dealNumber, atSave.dealNumber);
  EXPECT_EQ(t.Texts(watcher).back(), "Game resumed");
}

class PlayingServerTest : public ServerTableTest {
 protected:
  PlayingServerTest() : ServerTableTest("Host") {}
};

TEST_F(PlayingServerTest, ServerUserSitsSouthAndDecidesThroughItsOwnDialogs) {
  EXPECT_EQ(table_.LocalPosition(), South);
  const ConnId a = t_.Accept();
  const auto frames = t_.Frames(a);
  ASSERT_EQ(frames.size(), 4u);
  EXPECT_EQ(frames[0].payload[1], 1);
  EXPECT_EQ(frames[0].text().substr(3), "Host");
  t_.Greet(a, "Wes");
  Sit(a, South);  // South is the server's own seat
  EXPECT_EQ(table_.Occupants()[South], ServerUserSeat);
  seat_[West] = a;
  Sit(a, West);
  seat_[North] = Join("Nor");
  Sit(seat_[North], North);
  seat_[East] = Join("Eas");
  Sit(seat_[East], East);
  ASSERT_EQ(table_.Game().phase, PhaseChoosing);
  // Play until South must act, then act locally.
  for (int i = 0; i < 200; ++i) {
    const GameState& g = table_.Game();
    const int acting = g.phase == PhaseChoosing ? ActingSeat(g) : g.turn;
    if (acting == South) break;
    Step();
  }
  const GameState& g = table_.Game();
  ASSERT_TRUE(g.phase == PhaseChoosing ? ActingSeat(g) == South : g.turn == South);
  const GameState before = g;
  if (g.phase == PhaseChoosing && g.turn == 0) {
    EXPECT_GE(ui_.pickGame, 1);
    table_.LocalDoubleChosen(SimpleContract(g));  // wrong dialog for the step
    EXPECT_TRUE(SameGame(before, g));
    table_.LocalContractChosen(SimpleContract(g));
  } else if (g.phase == PhaseChoosing) {
    EXPECT_GE(ui_.doubling, 1);
    table_.LocalDoubleChosen(SimpleDoubling(g));
  } else {
    table_.LocalPlayCard(SimpleCard(g, South));
  }
  EXPECT_FALSE(SameGame(before, g));
  table_.LocalUndo();
  EXPECT_TRUE(SameGame(before, g));
  EXPECT_EQ(ui_.lines.back(), "Last action undone [Host]");
}

TEST_F(ServerTableTest, ListenFailureShowsSocketErrorLine) {
  FakeTransport t;
  t.failListen = true;
  RecordingUi ui;
  ServerTable table(t, ui, ServerConfig{"Host", folder_, 1, false, false});
  EXPECT_FALSE(table.Start(2118));
  EXPECT_EQ(ui.lines.back(), "socket error 98: Address already in use");
}

}  // namespace
}  // namespace zelbo
