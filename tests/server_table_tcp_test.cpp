// A table over loopback: a server, scripted clients and raw peers on one event loop.
#include "net/server_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "net/qt/qt_transport.h"
#include "tests/loopback.h"
#include "tools/bench/scripted_client.h"
#include "tools/server/headless_ui.h"

namespace zelbo {
namespace {

using testing::RawPeer;
using testing::WaitUntil;

struct Player {  // a scripted client with its own transport
  Player(const std::string& handle, int seat, uint16_t port) : client(transport, handle, seat) {
    client.session().Connect("127.0.0.1", port);
  }
  bool PaneHas(const std::string& line) const { return std::ranges::count(client.session().Pane().lines(), line); }
  const GameState& game() const { return client.session().Game(); }
  QtTransport transport;
  ScriptedClient client;
};

struct Table {  // a nonplaying server on a free port, and the players at it
  Table() {
    ui.SetTable(&server);
    std::string error;
    EXPECT_TRUE(server.Start(0, error)) << error;
  }
  ~Table() { players.clear(); server.Stop(); }
  Player& Add(const std::string& handle, int seat) {
    return *players.emplace_back(std::make_unique<Player>(handle, seat, server.Port()));
  }
  // Seats "P0" to "P3"; `hold` (if given) stops the game where it first holds.
  void SeatFour(const std::function<bool(const GameState&)>& hold = nullptr) {
    for (int s = 0; s < 4; ++s) Add(testing::Numbered("P", s), s).client.holdIf = hold;
    ASSERT_TRUE(WaitUntil([&] { return server.Game().phase != PhaseIdle; }));
  }
  int Held() const {  // the seat whose action was held back, or -1
    for (int s = 0; s < 4; ++s)
      if (players[static_cast<std::size_t>(s)]->client.held) return s;
    return -1;
  }
  const GameState& game() const { return server.Game(); }

  QCoreApplication& app = testing::App();
  testing::TempDir dir;
  QtTransport transport;
  HeadlessUi ui{std::tmpfile()};
  ServerTable server{transport, ui, ServerConfig{std::string(NonplayingServerHandle), dir.path, 11, true, true}};
  std::vector<std::unique_ptr<Player>> players;
};

TEST(TableOverTcp, GreetingsSeatsAndChatFromRawPeersAndClients) {
  Table t;
  RawPeer first(t.server.Port());
  RawPeer wrong(t.server.Port());
  ASSERT_TRUE(WaitUntil([&] { return t.server.Connections().count() == 2; }));
  // A connection hears of the four seats when it joins, and nobody else
  // hears of it before.
  first.Send(testing::Hello("Raw"));
  ASSERT_TRUE(WaitUntil([&] { return first.Count(MsgSeatInfo) == 4; }));
  first.Send(MakeSitRequest(North));
  ASSERT_TRUE(WaitUntil([&] { return first.HasText("Raw has joined the table") && first.HasText("Raw is sitting North"); }));
  EXPECT_EQ(first.Count(MsgSeatInfo), 5);
  std::vector<uint8_t> bad = testing::Hello("Wrong");  // reset; the join after it never counts
  bad[8] = '!';
  wrong.Send(bad);
  ASSERT_TRUE(WaitUntil([&] { return wrong.Ended() && t.server.Connections().count() == 1; }));
  EXPECT_FALSE(first.HasText("Wrong has joined the table"));
  EXPECT_EQ(wrong.Count(MsgSeatInfo), 0);

  // Chat: 200 characters make two prefixed lines, an empty message one.
  Player& sue = t.Add("Sue", South);
  t.Add("Walt", West);
  ASSERT_TRUE(WaitUntil([&] { return sue.PaneHas("Walt is sitting West"); }));
  std::string text;
  for (int i = 0; text.size() < 200; ++i) text += std::string(i ? " " : "") + (i % 3 ? "tricks" : "and");
  text.resize(200);
  sue.client.session().SendChat(text);
  sue.client.session().SendChat("");
  ASSERT_TRUE(WaitUntil([&] { return first.HasText("Sue:  "); }));
  const std::size_t cut = text.rfind(' ', 121 - 5 - 1);
  EXPECT_TRUE(first.HasText("Sue: " + text.substr(0, cut)));
  EXPECT_TRUE(first.HasText("Sue: " + text.substr(cut)));
  EXPECT_EQ(t.game().phase, PhaseIdle);
  t.Add("Ed", East);
  ASSERT_TRUE(WaitUntil([&] { return t.game().phase == PhaseChoosing; }));
}

TEST(TableOverTcp, WholeSeededGameEndsEverywhereWithTheServersScoreSheet) {
  Table t;
  t.SeatFour();
  ASSERT_TRUE(WaitUntil([&] {
    return std::all_of(t.players.begin(), t.players.end(),
                       [&](auto& p) { return p->game().phase == PhaseGameOver && t.game().phase == PhaseGameOver; });
  }, 240000));
  ASSERT_EQ(t.game().scoreSheet.size(), 36u);
  for (const auto& p : t.players) {
    EXPECT_EQ(p->game().scoreSheet, t.game().scoreSheet);
    EXPECT_EQ(p->client.foreignCardsSeen, 0);  // never another seat's cards
  }
  EXPECT_EQ(std::filesystem::path(t.ui.lastRecords()).parent_path(), t.dir.path);  // written without asking
  EXPECT_GT(std::filesystem::file_size(t.ui.lastRecords()), 5000u);
}

TEST(TableOverTcp, LeavingSuspendsAndSittingThereAgainResumes) {
  const struct { std::function<bool(const GameState&)> hold; int suspended; bool actingLeaves; } cases[] = {
      {[](const GameState& g) { return g.phase == PhaseChoosing && g.turn == 0 && g.dealNumber == 2; },
       PhaseChoosingSuspended, true},
      {[](const GameState& g) { return g.phase == PhaseFirstLead; }, PhaseFirstLeadSuspended, false},
      {[](const GameState& g) { return g.phase == PhasePlaying && g.playRound >= 3; }, PhasePlayingSuspended, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.suspended);
    Table t;
    t.SeatFour(c.hold);
    ASSERT_TRUE(WaitUntil([&] { return t.Held() >= 0; }));
    for (auto& p : t.players) p->client.holdIf = nullptr;
    const int leaver = c.actingLeaves ? t.Held() : (t.Held() + 1) % 4;
    const int deal = t.game().dealNumber;
    Player watcher("Kib", -1, t.server.Port());
    ASSERT_TRUE(WaitUntil([&] { return watcher.PaneHas("Kib has joined the table"); }));
    t.players[static_cast<std::size_t>(leaver)]->client.session().Disconnect();
    ASSERT_TRUE(WaitUntil([&] { return watcher.PaneHas("Game suspended"); }));
    EXPECT_TRUE(watcher.PaneHas("P" + std::to_string(leaver) + " has left the table"));
    EXPECT_EQ(t.game().phase, c.suspended);
    EXPECT_EQ(watcher.game().phase, c.suspended);
    EXPECT_TRUE(WaitUntil([&] { return !watcher.client.session().SeatTaken(leaver); }));
    // Someone sits there: the state is resent, the phase restored, play goes on.
    t.players[static_cast<std::size_t>(leaver)] = std::make_unique<Player>("Back", leaver, t.server.Port());
    ASSERT_TRUE(WaitUntil([&] { return watcher.PaneHas("Game resumed"); }));
    EXPECT_TRUE(watcher.PaneHas("Back is sitting " + std::string(SeatName(leaver))));
    EXPECT_TRUE(WaitUntil([&] { return t.game().dealNumber > deal || t.game().phase == PhaseGameOver; }, 60000));
  }
}

TEST(TableOverTcp, ASecondTableOnABusyPortSaysWhyInThePaneAndToTheCaller) {
  Table first;
  QtTransport transport;
  HeadlessUi ui{std::tmpfile()};
  ServerTable second{transport, ui,
                     ServerConfig{std::string(NonplayingServerHandle), first.dir.path, 11, true, true}};
  std::string error;
  EXPECT_FALSE(second.Start(first.server.Port(), error));
  EXPECT_EQ(error.rfind("socket error 8: ", 0), 0u) << error;
  ASSERT_GT(second.Pane().size(), 0u);
  EXPECT_EQ(second.Pane().line(second.Pane().size() - 1), error);
  EXPECT_EQ(second.Port(), 0);
}

}  // namespace
}  // namespace zelbo
