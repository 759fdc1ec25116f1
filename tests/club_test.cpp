// The club server: many tables behind one door and one transport. Tables
// keep apart (frames, hands, chat), private ones are found only by link,
// the API answers and refuses as it should, each per-address limit holds,
// X-Forwarded-For counts only from a trusted proxy, a desktop client joins
// by link, and a table nobody is at is unloaded and comes back by its link.
#include "tools/server/club.h"

#include <gtest/gtest.h>

#include <QTcpSocket>
#include <QWebSocket>

#include <filesystem>
#include <memory>
#include <string>

#include "hosting/table_id.h"
#include "net/client_session.h"
#include "net/qt/qt_transport.h"
#include "net/table_router.h"
#include "records/saved_game.h"
#include "tests/http_client.h"
#include "tests/loopback.h"
#include "tests/records_fixtures.h"
#include "tests/web_peer.h"
#include "web/qt/web_door.h"

namespace zelbo {
namespace {

using testing::DecodeFrames;
using testing::IdOf;
using testing::Reply;
using testing::Request;
using testing::RawPeer;
using testing::WaitUntil;

struct Person : ClientUi {  // a desktop client on its own transport
  explicit Person(const std::string& handle) : session(transport, *this, handle) {}
  // Joins by `link` once the robots hold the other three seats, and sits South.
  bool SitWithRobots(const std::string& link) {
    session.Connect(link, 0);
    if (!WaitUntil([&] { return session.SeatTaken(1) && session.SeatTaken(2) && session.SeatTaken(3); })) return false;
    session.RequestSeat(0);
    return true;
  }
  void PaneLineAdded(std::string_view line) override { lines.emplace_back(line); }
  bool Heard(const std::string& text) const {
    for (const std::string& l : lines)
      if (l.find(text) != std::string::npos) return true;
    return false;
  }
  QtTransport transport;
  ClientSession session;
  std::vector<std::string> lines;
};

struct ClubSite {
  explicit ClubSite(ClubLimits limits = {}, std::vector<std::string> trusted = {}, ClubTimeouts timeouts = {}) {
    ClubOptions o;
    o.dir = dir.path;
    o.house.config = ServerConfig{std::string(NonplayingServerHandle), {}, 5};
    o.limits = limits;
    o.timeouts = timeouts;
    o.tickMs = 50;
    club = std::make_unique<Club>(router, o, log);
    std::string error;
    EXPECT_TRUE(club->Start(false, error)) << error;
    DoorOptions options;
    options.trustedProxies = std::move(trusted);
    options.site = club.get();
    door = std::make_unique<WebDoor>(transport, options, nullptr);
    EXPECT_TRUE(door->Listen(0, error)) << error;
  }
  ~ClubSite() {
    door.reset();
    club.reset();
    std::fclose(log);
  }
  uint16_t web() const { return door->Port(); }
  Reply Create(const std::string& body, const std::string& headers = {}) {
    return Request(web(), "POST", "/api/tables", body, headers);
  }
  std::string Link(const std::string& id) const {
    return "http://127.0.0.1:" + std::to_string(web()) + "/t/" + id + "/";
  }

  QCoreApplication& app = testing::App();
  testing::TempDir dir;
  std::FILE* log = std::tmpfile();
  QtTransport transport;
  TableRouter router{transport};
  std::unique_ptr<Club> club;
  std::unique_ptr<WebDoor> door;
};

TEST(ClubTest, TablesKeepApartPrivateOnesAreFoundOnlyByLinkAndTheHouseAnswersTcp) {
  ClubSite site;
  const Reply a = site.Create(R"({"name":"Alpha","robots":"easy"})");
  const Reply b = site.Create(R"({"name":"Beta","listed":false,"watchersSeeHands":false})");
  ASSERT_EQ(a.status, 201) << a.body;
  ASSERT_EQ(b.status, 201) << b.body;
  const std::string idA = IdOf(a), idB = IdOf(b);
  EXPECT_TRUE(IsTableId(idA) && IsTableId(idB) && idA != idB);
  EXPECT_NE(a.body.find("\"url\":\"/t/" + idA + "/\""), std::string::npos);
  // Opened in the same second, yet dealt different games.
  const uint32_t seedA = site.club->Loaded(idA)->Server().Game().randomSeed;
  EXPECT_TRUE(seedA != 0 && seedA != site.club->Loaded(idB)->Server().Game().randomSeed);

  const Reply list = Request(site.web(), "GET", "/api/tables");
  EXPECT_EQ(list.status, 200);
  EXPECT_NE(list.body.find(idA), std::string::npos);
  EXPECT_NE(list.body.find("\"id\":\"main\""), std::string::npos);
  EXPECT_EQ(list.body.find(idB), std::string::npos) << "a private table is listed";
  EXPECT_EQ(Request(site.web(), "GET", "/t/" + idB + "/").status, 200);
  EXPECT_EQ(Request(site.web(), "GET", "/").status, 200);
  const std::string unknown(TableIdLength, 'a');
  EXPECT_EQ(Request(site.web(), "GET", "/t/" + unknown + "/").status, 404);
  EXPECT_EQ(Request(site.web(), "GET", "/t/../").status, 404);

  // A desktop client joins Alpha by its link and plays with its robots; a
  // browser watches Beta and chats there.
  Person ann("Ann");
  ASSERT_TRUE(ann.SitWithRobots(site.Link(idA)));
  ASSERT_TRUE(WaitUntil([&] { return ann.session.Game().dealNumber >= 1; }));
  testing::WebPeer bea(site.web(), "/t/" + idB + "/ws");
  ASSERT_TRUE(bea.Open());
  bea.Send(testing::Hello("Bea"));
  bea.Send(testing::Bytes(MakeChat("hello at Beta")));
  ann.session.SendChat("hello at Alpha");
  HostedTable* tableB = site.club->Loaded(idB);
  ASSERT_TRUE(tableB);
  ASSERT_TRUE(WaitUntil([&] {
    for (const std::string& line : tableB->Server().Pane().lines())
      if (line.find("hello at Beta") != std::string::npos) return true;
    return false;
  }));
  ASSERT_TRUE(WaitUntil([&] { return ann.Heard("hello at Alpha"); }));
  // Round trips on both tables, so anything that could have crossed has.
  ann.session.SendResendAll();
  WaitUntil([] { return false; }, 300);
  EXPECT_FALSE(ann.Heard("hello at Beta"));
  int hands = 0, texts = 0;
  for (const auto& f : DecodeFrames(bea.in)) {
    hands += f.type == MsgHand;
    texts += f.type == MsgText && f.text().find("Alpha") != std::string::npos;
  }
  EXPECT_EQ(hands, 0) << "Alpha's hands reached Beta";
  EXPECT_EQ(texts, 0) << "Alpha's chat reached Beta";
  EXPECT_EQ(tableB->Server().Connections().count(), 1);
  EXPECT_EQ(site.club->Loaded(idA)->Server().Connections().count(), 4);

  // A WebSocket to a table that is not there is refused.
  QWebSocket stray;
  stray.open(QUrl(QString::fromStdString("ws://127.0.0.1:" + std::to_string(site.web()) + "/t/" + unknown + "/ws")));
  WaitUntil([&] { return stray.state() == QAbstractSocket::UnconnectedState; });
  EXPECT_NE(stray.state(), QAbstractSocket::ConnectedState);

  // The TCP port is the house table's.
  RawPeer tom(site.club->House()->Server().Port());
  tom.Send(testing::Hello("Tom"));
  EXPECT_TRUE(WaitUntil([&] { return site.club->House()->Server().Connections().count() == 1 && tom.Count(MsgSeatInfo) > 0; }));
}

TEST(ClubTest, ApiRefusesBadRequestsAndHoldsEachLimit) {
  ClubLimits limits;
  limits.maxTables = 3;  // the house table and two more
  ClubSite site(limits);
  for (const char* bad : {"{", R"({"name":"x","colour":"red"})", R"({"robots":"wild"})",
                          R"({"listed":"yes"})", R"({"name":"x","name":"y"})", "[]", R"({"name":"x"} z)"}) {
    const Reply r = site.Create(bad);
    EXPECT_EQ(r.status, 400) << bad;
    EXPECT_NE(r.body.find("\"error\":\""), std::string::npos) << bad;
  }
  EXPECT_EQ(Request(site.web(), "GET", "/api/nothing").status, 404);
  EXPECT_EQ(Request(site.web(), "DELETE", "/api/tables").status, 405);
  EXPECT_EQ(site.Create("{\"name\":\"" + std::string(MaxApiBodyBytes, 'x') + "\"}").status, 413);
  EXPECT_EQ(site.Create("{}", "Origin: http://elsewhere.example\r\n").status, 403);
  // A body elsewhere is still refused.
  EXPECT_EQ(Request(site.web(), "GET", "/api/tables", "{}").status, 413);
  EXPECT_EQ(site.Create("{}").status, 201);
  EXPECT_EQ(site.Create(R"({"name":"  \u00e9t\u00e9 \n"})").status, 201);
  const Reply full = site.Create("{}");
  EXPECT_EQ(full.status, 503);
  EXPECT_NE(full.body.find("as many tables"), std::string::npos);
  EXPECT_NE(Request(site.web(), "GET", "/api/tables").body.find("\"name\":\"\u00e9t\u00e9\""), std::string::npos);
}

TEST(ClubTest, ForwardedForCountsOnlyFromATrustedProxy) {
  ClubLimits limits;
  limits.openPerAddress = 1;
  const std::string from1 = "X-Forwarded-For: 10.0.0.1\r\n", from2 = "X-Forwarded-For: 10.0.0.2\r\n";
  {
    ClubSite untrusted(limits);
    EXPECT_EQ(untrusted.Create("{}", from1).status, 201);
    EXPECT_EQ(untrusted.Create("{}", from2).status, 429) << "the header of an untrusted peer counted";
  }
  ClubSite trusted(limits, {"127.0.0.1"});
  EXPECT_EQ(trusted.Create("{}", from1).status, 201);
  EXPECT_EQ(trusted.Create("{}", from2).status, 201);
  EXPECT_EQ(trusted.Create("{}", from1).status, 429);
}

TEST(ClubTest, CreationLimitsCountTheLastHourAndTheOpenTables) {
  ClubLimits limits;
  std::deque<int64_t> recent;
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(JudgeCreation(recent, i * 1000, 0, 1, limits).status, 0);
    recent.push_back(i * 1000);
  }
  EXPECT_EQ(JudgeCreation(recent, 3'599'999, 0, 1, limits).status, 429);
  EXPECT_EQ(JudgeCreation(recent, 3'600'000, 0, 1, limits).status, 0) << "an hour-old table still counted";
  EXPECT_EQ(recent.size(), 9u);
  EXPECT_EQ(JudgeCreation(recent, 3'600'000, 5, 1, limits).status, 429);
  EXPECT_EQ(JudgeCreation(recent, 3'600'000, 4, 1000, limits).status, 503);
}

TEST(ClubTest, FateOfATableNobodyIsAt) {
  const ClubTimeouts t{60, 600, 300};
  EXPECT_EQ(DecideFate(false, 1, 0, false, t), TableFate::Keep);
  EXPECT_EQ(DecideFate(false, 1, 0, true, t), TableFate::ResumeRobots);
  EXPECT_EQ(DecideFate(false, 0, 59, false, t), TableFate::Keep);
  EXPECT_EQ(DecideFate(false, 0, 60, false, t), TableFate::PauseRobots);
  EXPECT_EQ(DecideFate(false, 0, 300, true, t), TableFate::Keep);
  EXPECT_EQ(DecideFate(false, 0, 600, true, t), TableFate::Unload);
  EXPECT_EQ(DecideFate(true, 0, 299, false, t), TableFate::Keep);
  EXPECT_EQ(DecideFate(true, 0, 300, false, t), TableFate::Close);
  EXPECT_EQ(DecideFate(true, 2, 0, false, t), TableFate::Keep);
}

TEST(ClubTest, ATableNobodyIsAtIsUnloadedAndItsLinkLoadsItAgain) {
  ClubLimits limits;
  limits.maxTables = 2;
  ClubSite site(limits, {}, ClubTimeouts{200, 700, 200});
  const std::string id = IdOf(site.Create(R"({"name":"Gamma","robots":"easy"})"));
  ASSERT_TRUE(IsTableId(id));
  int deal = 0;
  {
    Person ann("Ann");
    ASSERT_TRUE(ann.SitWithRobots(site.Link(id)));
    ASSERT_TRUE(WaitUntil([&] { return ann.session.Game().dealNumber >= 1; }));
    deal = site.club->Loaded(id)->Server().Game().dealNumber;
  }
  ASSERT_TRUE(WaitUntil([&] { HostedTable* t = site.club->Loaded(id); return !t || t->RobotsPaused(); }));
  ASSERT_TRUE(WaitUntil([&] { return site.club->Loaded(id) == nullptr; }));
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(site.dir.path) / "tables" / id / "temp.zelbo"));
  const Reply listed = Request(site.web(), "GET", "/api/tables");
  EXPECT_NE(listed.body.find("\"state\":\"suspended\""), std::string::npos) << listed.body;
  // While another table takes its place in memory, its link is turned away
  // for now, not as unknown.
  const std::string other = IdOf(site.Create("{}"));
  ASSERT_TRUE(site.club->Loaded(other));
  EXPECT_EQ(Request(site.web(), "GET", "/t/" + id + "/").status, 503);
  ASSERT_TRUE(WaitUntil([&] { return site.club->Loaded(other) == nullptr; }));

  EXPECT_EQ(Request(site.web(), "GET", "/t/" + id + "/").status, 200);
  HostedTable* back = site.club->Loaded(id);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Server().Game().dealNumber, deal);
  EXPECT_TRUE(IsSuspended(back->Server().Game().phase));
  // Ann comes back and the game goes on with fresh robots.
  Person again("Ann");
  ASSERT_TRUE(again.SitWithRobots(site.Link(id)));
  EXPECT_TRUE(WaitUntil([&] { return !IsSuspended(back->Server().Game().phase); }));
}

// After a restart, a table whose game had ended comes back ended (not as a
// new game its robots would start) and closes once nobody is there.
TEST(ClubTest, ATableWhoseGameEndedIsResumedEndedAndCloses) {
  testing::App();
  testing::TempDir dir;
  const std::string id = NewTableId();
  const std::filesystem::path folder = std::filesystem::path(dir.path) / "tables" / id;
  std::filesystem::create_directories(folder);
  TableInfo info;
  info.name = "Delta";
  info.robots = true;
  info.robotSeats = 4;
  std::string error;
  ASSERT_TRUE(WriteTableInfo(folder, info, error)) << error;
  testing::RecordingHost host;
  const auto ended = testing::PlayedGame(host, 9, [](const GameState&) { return false; });
  ASSERT_EQ(ended->phase, PhaseGameOver);
  ASSERT_TRUE(SaveGame(folder / "temp.zelbo", *ended, error)) << error;

  QtTransport transport;
  TableRouter router{transport};
  ClubOptions o;
  o.dir = dir.path;
  o.tickMs = 50;
  o.timeouts.closeOverMs = 300;
  std::FILE* log = std::tmpfile();
  {
    Club club(router, o, log);
    ASSERT_TRUE(club.Start(true, error)) << error;
    HostedTable* table = club.Loaded(id);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->Server().Game().phase, PhaseGameOver);
    EXPECT_TRUE(WaitUntil([&] { return club.Loaded(id) == nullptr; }));
  }
  std::fclose(log);
  const std::optional<TableInfo> after = ReadTableInfo(folder);
  EXPECT_TRUE(after && after->closed && after->robotSeats == 4);
}

}  // namespace
}  // namespace zelbo
