// A table over real loopback sockets: a server, scripted clients and raw
// peers in one process, on one event loop.
#include "net/server_table.h"

#include <gtest/gtest.h>

#include <QTcpSocket>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/simple_policy.h"
#include "net/qt/qt_transport.h"
#include "tests/loopback.h"
#include "tools/bench/scripted_client.h"
#include "tools/server/headless_ui.h"

namespace zelbo {
namespace {

using testing::WaitUntil;

struct Decoded {
  int type;
  std::vector<uint8_t> payload;
  std::string text() const { return {payload.begin(), payload.end()}; }
};

// A peer on a bare QTcpSocket: sends exactly the bytes a test gives and
// collects what the server sends.
class RawPeer {
 public:
  explicit RawPeer(uint16_t port) {
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    QObject::connect(&socket_, &QTcpSocket::readyRead, [this] {
      const QByteArray b = socket_.readAll();
      bytes_.insert(bytes_.end(), b.begin(), b.end());
    });
    QObject::connect(&socket_, &QTcpSocket::disconnected, [this] { ended_ = true; });
    QObject::connect(&socket_, &QTcpSocket::errorOccurred, [this] { ended_ = true; });
    socket_.connectToHost("127.0.0.1", port);
    WaitUntil([this] { return socket_.state() == QAbstractSocket::ConnectedState || ended_; });
    connected_ = socket_.state() == QAbstractSocket::ConnectedState;
  }
  bool connected() const { return connected_; }
  void Send(const std::vector<uint8_t>& b) {
    if (socket_.state() != QAbstractSocket::ConnectedState) return;
    socket_.write(reinterpret_cast<const char*>(b.data()), static_cast<qint64>(b.size()));
    socket_.flush();
  }
  void Send(const Frame& f) { Send(std::vector<uint8_t>(f.bytes.begin(), f.bytes.begin() + f.size)); }
  static std::vector<uint8_t> Hello(const std::string& handle) {
    std::vector<uint8_t> b(Greeting.begin(), Greeting.end());
    const Frame j = MakeJoin(handle);
    b.insert(b.end(), j.bytes.begin(), j.bytes.begin() + j.size);
    return b;
  }
  std::vector<Decoded> Frames() const {
    std::vector<Decoded> out;
    std::size_t at = 0;
    while (at + 2 <= bytes_.size() && bytes_[at] >= 2 && at + bytes_[at] <= bytes_.size()) {
      out.push_back({bytes_[at + 1], {bytes_.begin() + static_cast<std::ptrdiff_t>(at) + 2,
                                      bytes_.begin() + static_cast<std::ptrdiff_t>(at) + bytes_[at]}});
      at += bytes_[at];
    }
    return out;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> t;
    for (const Decoded& f : Frames())
      if (f.type == MsgText) t.push_back(f.text());
    return t;
  }
  bool HasText(const std::string& s) const {
    for (const std::string& t : Texts())
      if (t == s) return true;
    return false;
  }
  bool closed() const { return ended_ || socket_.state() == QAbstractSocket::UnconnectedState; }
  QTcpSocket& socket() { return socket_; }

 private:
  QTcpSocket socket_;
  std::vector<uint8_t> bytes_;
  bool connected_ = false;
  bool ended_ = false;
};

// One scripted client with its own transport.
struct Player {
  Player(const std::string& handle, int seat, uint16_t port)
      : client(std::make_unique<ScriptedClient>(transport, handle, seat)) {
    client->session().Connect("127.0.0.1", port);
  }
  QtTransport transport;
  std::unique_ptr<ScriptedClient> client;
  const GameState& game() const { return client->session().Game(); }
  bool PaneHas(const std::string& line) const {
    for (const std::string& l : client->session().Pane().lines())
      if (l == line) return true;
    return false;
  }
};

class TableOverTcp : public ::testing::Test {
 protected:
  TableOverTcp() {
    testing::App();
    std::string pattern = (std::filesystem::temp_directory_path() / "zelbo_tcp_XXXXXX").string();
    folder_ = mkdtemp(pattern.data()) ? pattern : std::string(".");
    ui_ = std::make_unique<HeadlessUi>(std::tmpfile());
    table_ = std::make_unique<ServerTable>(
        transport_, *ui_, ServerConfig{std::string(NonplayingServerHandle), folder_, 11, true, true});
    ui_->SetTable(table_.get());
    EXPECT_TRUE(table_->Start(0));
    port_ = table_->Port();
  }
  ~TableOverTcp() override {
    players_.clear();
    table_->Stop();
    std::filesystem::remove_all(folder_);
  }
  Player& AddPlayer(const std::string& handle, int seat) {
    players_.push_back(std::make_unique<Player>(handle, seat, port_));
    return *players_.back();
  }
  // Seats four scripted players; `hold` (when given) stops the game at the
  // first point where it holds.
  void SeatFour(const std::function<bool(const GameState&)>& hold = nullptr) {
    const char* names[] = {"Sue", "Walt", "Nina", "Ed"};
    for (int s = 0; s < 4; ++s) AddPlayer(names[s], s).client->holdIf = hold;
    ASSERT_TRUE(WaitUntil([&] { return table_->Game().phase != PhaseIdle; }));
  }
  const GameState& game() const { return table_->Game(); }

  std::string folder_;
  QtTransport transport_;
  std::unique_ptr<HeadlessUi> ui_;
  std::unique_ptr<ServerTable> table_;
  uint16_t port_ = 0;
  std::vector<std::unique_ptr<Player>> players_;
};

TEST_F(TableOverTcp, SeatInfoAfterEveryAcceptJoinsAnnouncedFourthSitStarts) {
  RawPeer first(port_);
  ASSERT_TRUE(first.connected());
  ASSERT_TRUE(WaitUntil([&] { return first.Frames().size() >= 4; }));
  first.Send(RawPeer::Hello("Raw"));
  ASSERT_TRUE(WaitUntil([&] { return first.HasText("Raw has joined the table"); }));
  RawPeer second(port_);
  // Both the new connection and the old one hear of all four seats again.
  ASSERT_TRUE(WaitUntil([&] {
    int seatInfos = 0;
    for (const Decoded& f : first.Frames()) seatInfos += f.type == MsgSeatInfo;
    return seatInfos == 8 && second.Frames().size() >= 4;
  }));
  for (const Decoded& f : second.Frames()) EXPECT_EQ(f.type == MsgSeatInfo || f.type == MsgIdle, true);
  Player& a = AddPlayer("Sue", South);
  AddPlayer("Walt", West);
  AddPlayer("Nina", North);
  ASSERT_TRUE(WaitUntil([&] { return a.PaneHas("Nina is sitting North"); }));
  EXPECT_EQ(game().phase, PhaseIdle);
  AddPlayer("Ed", East);
  ASSERT_TRUE(WaitUntil([&] { return game().phase == PhaseChoosing; }));
  EXPECT_TRUE(WaitUntil([&] { return first.HasText("Ed has joined the table"); }));
}

TEST_F(TableOverTcp, WholeSeededGameEndsEverywhereWithTheServersScoreSheet) {
  SeatFour();
  ASSERT_TRUE(WaitUntil(
      [&] {
        if (game().phase != PhaseGameOver) return false;
        for (const auto& p : players_)
          if (p->game().phase != PhaseGameOver) return false;
        return true;
      },
      240000));
  ASSERT_EQ(game().scoreSheet.size(), 36u);
  for (const auto& p : players_) {
    EXPECT_EQ(p->game().scoreSheet, game().scoreSheet);
    EXPECT_EQ(p->client->foreignCardsSeen, 0);
    EXPECT_GT(p->client->actions, 50);
  }
  ASSERT_FALSE(ui_->lastRecords().empty());
  EXPECT_TRUE(std::filesystem::exists(ui_->lastRecords()));
  EXPECT_GT(std::filesystem::file_size(ui_->lastRecords()), 5000u);
}

// Once the game has stopped at its hold point, lets the player at `leaver` go, checks the
// suspension as a watcher sees it, and seats a newcomer there.
void LeaveAndReturn(std::vector<std::unique_ptr<Player>>& players, const ServerTable& table,
                    int expectedSuspended, bool leaverIsActing, uint16_t port) {
  ASSERT_TRUE(WaitUntil([&] {
    for (auto& p : players)
      if (p->client->held) return true;
    return false;
  }));
  int acting = -1;
  for (std::size_t i = 0; i < players.size(); ++i)
    if (players[i]->client->held) acting = static_cast<int>(i);
  for (auto& p : players) p->client->holdIf = nullptr;
  const int resumedPhase = table.Game().phase;
  const int leaver = leaverIsActing ? acting : (acting + 1) % 4;
  const GameState before = table.Game();

  Player watcher("Kib", -1, port);
  ASSERT_TRUE(WaitUntil([&] { return watcher.PaneHas("Kib has joined the table"); }));
  players[static_cast<std::size_t>(leaver)]->client->session().Disconnect();
  const std::string name = players[static_cast<std::size_t>(leaver)]->client->session().Handle();
  ASSERT_TRUE(WaitUntil([&] { return watcher.PaneHas("Game suspended"); }));
  EXPECT_TRUE(watcher.PaneHas(name + " has left the table"));
  EXPECT_EQ(table.Game().phase, expectedSuspended);
  EXPECT_EQ(watcher.game().phase, expectedSuspended);
  EXPECT_TRUE(WaitUntil([&] { return !watcher.client->session().SeatTaken(leaver); }));

  // Someone else takes the seat: the whole state is sent again, the phase
  // comes back, the acting player is asked again and play goes on.
  players[static_cast<std::size_t>(leaver)] = std::make_unique<Player>("Back", leaver, port);
  ASSERT_TRUE(WaitUntil([&] { return watcher.PaneHas("Game resumed"); }));
  EXPECT_TRUE(watcher.PaneHas("Back is sitting " + std::string(SeatName(leaver))));
  ASSERT_TRUE(WaitUntil([&] { return table.Game().phase != resumedPhase || !SameGame(before, table.Game()); }));
  EXPECT_TRUE(WaitUntil([&] {
    return table.Game().dealNumber > before.dealNumber || table.Game().phase == PhaseGameOver;
  }, 60000));
}

TEST_F(TableOverTcp, LeavingDuringTheContractChoiceSuspendsAndResumes) {
  const auto point = [](const GameState& g) {
    return g.phase == PhaseChoosing && g.turn == 0 && g.dealNumber == 2;
  };
  SeatFour(point);
  LeaveAndReturn(players_, *table_, PhaseChoosingSuspended, true, port_);
}

TEST_F(TableOverTcp, LeavingBeforeTheFirstLeadSuspendsAndResumes) {
  const auto point = [](const GameState& g) { return g.phase == PhaseFirstLead; };
  SeatFour(point);
  LeaveAndReturn(players_, *table_, PhaseFirstLeadSuspended, false, port_);
}

TEST_F(TableOverTcp, LeavingDuringPlaySuspendsAndResumes) {
  const auto point = [](const GameState& g) { return g.phase == PhasePlaying && g.playRound >= 3; };
  SeatFour(point);
  LeaveAndReturn(players_, *table_, PhasePlayingSuspended, true, port_);
}

TEST_F(TableOverTcp, OutsidersChangeNothingAndBadPeersLoseOnlyTheirConnection) {
  SeatFour([](const GameState& g) { return g.phase == PhaseFirstLead; });
  ASSERT_TRUE(WaitUntil([&] {
    for (auto& p : players_)
      if (p->client->held) return true;
    return false;
  }));
  const GameState before = game();
  RawPeer kibitzer(port_);
  kibitzer.Send(RawPeer::Hello("Kib"));
  ASSERT_TRUE(WaitUntil([&] { return kibitzer.HasText("Kib has joined the table"); }));
  // A card, a decision and an undo from a connection without a seat.
  kibitzer.Send(MakePlayCard(SimpleCard(before, before.turn)));
  kibitzer.Send(MakeContractChosen(1));
  kibitzer.Send(MakeUndoRequest());
  // A peer that sends a frame of length 0.
  RawPeer broken(port_);
  broken.Send(RawPeer::Hello("Zero"));
  ASSERT_TRUE(WaitUntil([&] { return kibitzer.HasText("Zero has joined the table"); }));
  broken.Send(std::vector<uint8_t>{0, 0});
  ASSERT_TRUE(WaitUntil([&] { return broken.closed() && kibitzer.HasText("Zero has left the table"); }));
  EXPECT_FALSE(kibitzer.closed());
  EXPECT_TRUE(SameGame(before, game()));
  for (const std::string& t : kibitzer.Texts()) EXPECT_NE(t, "Can't undo");

  // The table holds 32 connections: 4 players, the kibitzer and 27 more.
  std::vector<std::unique_ptr<RawPeer>> crowd;
  for (int i = 0; i < 27; ++i) {
    crowd.push_back(std::make_unique<RawPeer>(port_));
    crowd.back()->Send(RawPeer::Hello("c" + std::to_string(i)));
  }
  ASSERT_TRUE(WaitUntil([&] { return table_->Connections().count() == 32; }));
  // The 33rd, on a plain socket so that nothing but the kernel stands
  // between it and the server.
  const int extra = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port_);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(connect(extra, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const std::vector<uint8_t> hello = RawPeer::Hello("extra");
  ASSERT_EQ(send(extra, hello.data(), hello.size(), MSG_NOSIGNAL), static_cast<ssize_t>(hello.size()));
  EXPECT_TRUE(WaitUntil([&] {
    char byte;
    const ssize_t n = recv(extra, &byte, 1, MSG_DONTWAIT);
    return n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
  }));
  close(extra);
  EXPECT_EQ(table_->Connections().count(), 32);
  EXPECT_FALSE(kibitzer.HasText("extra has joined the table"));
}

TEST_F(TableOverTcp, GreetingByteByByteAndWrongGreetings) {
  RawPeer watcher(port_);
  watcher.Send(RawPeer::Hello("Watch"));
  ASSERT_TRUE(WaitUntil([&] { return watcher.HasText("Watch has joined the table"); }));
  // Greeting, MsgJoin and a sit request, one byte per segment.
  RawPeer slow(port_);
  std::vector<uint8_t> all = RawPeer::Hello("Slow");
  const Frame sit = MakeSitRequest(North);
  all.insert(all.end(), sit.bytes.begin(), sit.bytes.begin() + sit.size);
  for (uint8_t b : all) {
    slow.Send(std::vector<uint8_t>{b});
    ASSERT_TRUE(WaitUntil([&] { return slow.socket().bytesToWrite() == 0; }));
  }
  ASSERT_TRUE(WaitUntil([&] { return watcher.HasText("Slow is sitting North"); }));
  // A lone greeting, then the join in a later segment.
  RawPeer lone(port_);
  lone.Send(std::vector<uint8_t>(Greeting.begin(), Greeting.end()));
  ASSERT_TRUE(WaitUntil([&] { return lone.socket().bytesToWrite() == 0; }));
  lone.Send(MakeJoin("Lone"));
  ASSERT_TRUE(WaitUntil([&] { return watcher.HasText("Lone has joined the table"); }));
  // A wrong greeting followed by a join: reset, and the join never counts.
  RawPeer wrong(port_);
  std::vector<uint8_t> bad = RawPeer::Hello("Wrong");
  bad[8] = '!';
  wrong.Send(bad);
  ASSERT_TRUE(WaitUntil([&] { return wrong.closed(); }));
  ASSERT_TRUE(WaitUntil([&] { return table_->Connections().count() == 3; }));
  EXPECT_FALSE(watcher.HasText("Wrong has joined the table"));
}

TEST_F(TableOverTcp, ChatIsCutIntoPrefixedLinesForEveryone) {
  Player& talker = AddPlayer("Bobby", -1);
  Player& listener = AddPlayer("Lis", -1);
  ASSERT_TRUE(WaitUntil([&] { return listener.PaneHas("Lis has joined the table"); }));
  std::string text;
  const char* words[] = {"tricks", "and", "doubles", "make", "the", "game", "go"};
  for (int i = 0; text.size() < 200; ++i) text += std::string(i ? " " : "") + words[i % 7];
  text.resize(200);
  talker.client->session().SendChat(text);
  talker.client->session().SendChat("");
  ASSERT_TRUE(WaitUntil([&] { return listener.PaneHas("Bobby:  "); }));
  std::vector<std::string> chat;
  for (const std::string& l : listener.client->session().Pane().lines())
    if (l.rfind("Bobby: ", 0) == 0) chat.push_back(l);
  ASSERT_EQ(chat.size(), 3u);
  EXPECT_EQ(chat[1][7], ' ');
  EXPECT_EQ(chat[0].substr(7) + chat[1].substr(7), text);
  EXPECT_EQ(chat[2], "Bobby:  ");
  // The server's own pane shows the same lines.
  EXPECT_EQ(table_->Pane().line(table_->Pane().size() - 1), "Bobby:  ");
}

}  // namespace
}  // namespace zelbo
