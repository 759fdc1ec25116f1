// The archive of finished games: a game is kept whole, replays through the
// engine to the same state and records, survives a kill in the middle of
// storing, old archives are brought up to date, and files that are not
// archives are left exactly as they were.
#include <gtest/gtest.h>

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <csignal>
#include <fstream>
#include <set>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "archive/archive_db.h"
#include "archive/archive_pages.h"
#include "archive/archive_schema.h"
#include "records/finished_game.h"
#include "records/game_replay.h"
#include "records/hand_records.h"
#include "tests/http_client.h"
#include "tests/server_process.h"
#include "web/bridge/replay_viewer.h"
#include "tests/records_fixtures.h"

namespace zelbo {
namespace {

using testing::WaitUntil;

// A whole game played at random from `seed`, with the handles a table gives.
GameState FinishedGameOf(uint32_t seed) {
  testing::RecordingHost host;
  auto g = testing::PlayedGame(host, seed, [](const GameState&) { return false; });
  const char* names[4] = {"Ann", "Bob \"the\" Quote", "Cy", "Di"};
  for (int s = 0; s < 4; ++s) std::snprintf(g->finalHandles[s], HandleSize, "%s", names[s]);
  return *g;
}

int64_t Count(const std::string& path, const QString& sql) {
  int64_t n = -1;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("count"));
    db.setDatabaseName(QString::fromStdString(path));
    if (db.open()) {
      QSqlQuery q(db);
      if (q.exec(sql) && q.next()) n = q.value(0).toLongLong();
    }
  }
  QSqlDatabase::removeDatabase(QStringLiteral("count"));
  return n;
}

TEST(GameReplay, WholeGamesReplayExactlyAndABrokenRecordIsRefused) {
  for (uint32_t seed : {1u, 17u, 4242u}) {
    GameState g = FinishedGameOf(seed);
    ASSERT_EQ(g.phase, PhaseGameOver);
    std::string error;
    EXPECT_TRUE(ReplaysExactly(g, error)) << seed << ": " << error;
    // A card the seat never held: the replay stops there and says so.
    GameState broken = g;
    std::swap(broken.playRecords[5][3][0], broken.playRecords[6][3][0]);
    EXPECT_FALSE(ReplaysExactly(broken, error)) << seed;
  }
}

// The viewer reaches every moment the engine reached, going back as well as
// forward, and its steps by trick and deal land on trick and deal starts.
TEST(ReplayViewer, MomentsAreTheEnginesAndStepsLandOnTricksAndDeals) {
  const GameState g = FinishedGameOf(23);
  ReplayViewer viewer;
  std::string error;
  const std::array<std::string, 4> handles{"Ann", "Bob \"the\" Quote", "Cy", "Di"};
  ASSERT_TRUE(viewer.Load(EncodeSavedGame(g), handles, error)) << error;
  const int last = static_cast<int>(viewer.Steps().size());
  for (int m : {700, 3, 0, last, 699, 701, 350, last - 1}) {
    viewer.GoTo(m);
    GameReplay replay(g);
    for (int i = 0; i < m; ++i) replay.Step();
    EXPECT_TRUE(viewer.Now() == replay.Now()) << m;
    EXPECT_EQ(viewer.Moment(), m);
  }
  viewer.GoTo(0);
  int deals = 0, tricks = 0;
  for (int m = 0; m < last; m = viewer.Target(ReplayViewer::Unit::Trick, 1), viewer.GoTo(m)) {
    const ReplayViewer::Step& s = viewer.Steps()[static_cast<std::size_t>(m)];
    if (m > 0) {
      EXPECT_NE(std::pair(s.deal, s.trick), std::pair(viewer.Steps()[m - 1].deal, viewer.Steps()[m - 1].trick));
    }
    tricks += s.trick == 1;
    ASSERT_LT(++deals, 2000);
  }
  std::set<int> playedDeals;  // each deal with play starts a first trick once
  for (const ReplayViewer::Step& s : viewer.Steps())
    if (s.card) playedDeals.insert(s.deal);
  EXPECT_EQ(tricks, static_cast<int>(playedDeals.size()));
  viewer.GoTo(viewer.DealStart(5) + 3);
  EXPECT_EQ(viewer.Target(ReplayViewer::Unit::Deal, -1), viewer.DealStart(5));
  viewer.GoTo(viewer.DealStart(5));
  EXPECT_EQ(viewer.Target(ReplayViewer::Unit::Deal, -1), viewer.DealStart(4));
  EXPECT_EQ(viewer.Target(ReplayViewer::Unit::Deal, 1), viewer.DealStart(6));
  viewer.GoTo(viewer.DealStart(5) + 2);
  EXPECT_EQ(viewer.DecisionTexts().size(), 2u);
  EXPECT_EQ(viewer.DecisionTexts()[0].rfind(handles[viewer.Steps()[viewer.DealStart(5)].seat] + ": ", 0), 0u);
  EXPECT_EQ(viewer.RunningTotals().back(), (std::array<int32_t, 4>{g.totalScores[0], g.totalScores[1],
                                                                  g.totalScores[2], g.totalScores[3]}));
  EXPECT_FALSE(viewer.Load(std::vector<uint8_t>(100, 0), handles, error));
}

// The server program with four robots plays a game to its end and keeps it:
// the stored bytes load into the final state, replay to it, and give the
// hand records the server wrote; the commands list and export it.
TEST(ArchiveProgram, RobotGameIsKeptReplaysAndExports) {
  testing::TempDir dir;
  testing::ServerProcess server({"--port", "0", "--robots", "4", "--seed", "7", "--web", "0", "--dir",
                                 QString::fromStdString(dir.path)});
  ASSERT_TRUE(server.Shows("Game archived as number 1, its replay is at /games/1", 600000) &&
              server.Shows("Hand records written to "))
      << server.out << server.err;
  const std::string recordsPath = server.After("Hand records written to ");
  // The door serves the archived game's records.
  const uint16_t web = server.Port("browsers on port ");
  ASSERT_NE(web, 0) << server.out;
  const testing::Reply answer = testing::Request(web, "GET", "/api/games/1/records.txt");
  server.Stop();

  std::string error;
  auto db = ArchiveDb::Open(dir.path + "/games.sqlite", ArchiveDb::Access::ReadOnly, error);
  ASSERT_TRUE(db) << error;
  const auto game = db->Find(1, error);
  ASSERT_TRUE(game) << error;
  GameState stored, final;
  ASSERT_TRUE(RestoreFinishedGame(game->savedGame, game->row.handles, stored, error)) << error;
  ASSERT_TRUE(LoadGame(dir.path + "/temp.zelbo", final, error)) << error;
  std::memcpy(final.finalHandles, stored.finalHandles, sizeof final.finalHandles);
  EXPECT_TRUE(stored == final);
  EXPECT_EQ(game->row.handles[1], "Robot West");

  GameReplay replay(stored);
  while (replay.Step()) {
  }
  ASSERT_TRUE(replay.Finished() && !replay.Failed());
  EXPECT_EQ(replay.Now().scoreSheet, stored.scoreSheet);
  HandRecordsContext context;
  context.utcTime = game->row.endedAt;
  const std::vector<uint8_t> written = testing::ReadBytes(recordsPath);
  EXPECT_EQ(HandRecordsText(replay.Now(), context), std::string(written.begin(), written.end()));
  EXPECT_EQ(answer.body, std::string(written.begin(), written.end()));

  ASSERT_EQ(game->deals.size(), 28u);
  std::array<int32_t, 4> sums{};
  for (const DealSummary& d : game->deals)
    for (int s = 0; s < 4; ++s) sums[s] += d.points[s];
  EXPECT_EQ(sums, game->row.totals);

  QProcess list;
  list.start(ZELBOWIN_SERVER, {"--list-games", "--dir", QString::fromStdString(dir.path)});
  ASSERT_TRUE(list.waitForFinished(20000));
  EXPECT_EQ(list.readAllStandardOutput().toStdString().rfind("1  ", 0), 0u);
  QProcess exporter;
  exporter.setWorkingDirectory(QString::fromStdString(dir.path));
  for (const char* id : {"1", "2"}) {
    exporter.start(ZELBOWIN_SERVER, {"--export-game", id, "--dir", QString::fromStdString(dir.path)});
    ASSERT_TRUE(exporter.waitForFinished(20000));
    EXPECT_EQ(exporter.exitCode(), id[0] == '1' ? 0 : 1) << exporter.readAllStandardError().toStdString();
  }
  EXPECT_EQ(testing::ReadBytes(dir.path + "/game-1.zelbo"), game->savedGame);
  EXPECT_EQ(testing::ReadBytes(dir.path + "/game-1.txt"), written);
}

TEST(Archive, MigratesAnEmptyFileAndTheLastVersion) {
  testing::App();
  testing::TempDir dir;
  const std::string path = dir.path + "/games.sqlite";
  {  // an archive of version 1, before the players' index, with one game
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("v1"));
    db.setDatabaseName(QString::fromStdString(path));
    ASSERT_TRUE(db.open());
    std::string error;
    ASSERT_TRUE(MigrateArchive(db, 1, error)) << error;
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec("INSERT INTO games VALUES (7, 0, 't', 'Ann', 'Bob', 'Cy', 'Di', 1, 2, 3, 4, 0, x'00')"));
  }
  QSqlDatabase::removeDatabase(QStringLiteral("v1"));
  std::string error;
  for (const std::string& file : {path, dir.path + "/new.sqlite"}) {
    auto db = ArchiveDb::Open(file, ArchiveDb::Access::ReadWrite, error);
    ASSERT_TRUE(db) << error;
    EXPECT_EQ(Count(file, "PRAGMA user_version"), ArchiveSchemaVersion);
    EXPECT_GT(db->Store(SummariseFinishedGame(FinishedGameOf(3), {1, 1, 1, 1}, 100, "2118"), error), 0) << error;
    ArchivePage page;
    ASSERT_TRUE(db->List("cY", 1, page, error)) << error;
    ASSERT_EQ(page.games.size(), file == path ? 2u : 1u);
    EXPECT_EQ(page.games.back().id, file == path ? 7 : 1);  // newest first
    EXPECT_EQ(page.games.front().handles[1], "Bob \"the\" Quote");
  }
}

TEST(Archive, FilesThatAreNotArchivesOfThisVersionAreLeftAlone) {
  testing::App();
  testing::TempDir dir;
  const std::string garbage = dir.path + "/games.sqlite", newer = dir.path + "/newer.sqlite";
  std::ofstream(garbage, std::ios::binary) << std::string(5000, 'x');
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("newer"));
    db.setDatabaseName(QString::fromStdString(newer));
    ASSERT_TRUE(db.open());
    ASSERT_TRUE(QSqlQuery(db).exec("PRAGMA user_version = 99"));
    ASSERT_TRUE(QSqlQuery(db).exec("CREATE TABLE games (x)"));
  }
  QSqlDatabase::removeDatabase(QStringLiteral("newer"));
  const auto garbageBytes = testing::ReadBytes(garbage), newerBytes = testing::ReadBytes(newer);
  std::string error;
  EXPECT_FALSE(ArchiveDb::Open(newer, ArchiveDb::Access::ReadWrite, error));
  EXPECT_NE(error.find("newer version (99)"), std::string::npos) << error;
  EXPECT_EQ(testing::ReadBytes(newer), newerBytes);

  // The server names it on stderr and in its pane, and plays on without it.
  {
    testing::ServerProcess server({"--port", "0", "--dir", QString::fromStdString(dir.path)});
    ASSERT_TRUE(server.Shows("table open on port")) << server.out;
    server.Stop();
    EXPECT_NE(server.err.find("archive " + garbage + " cannot be read"), std::string::npos) << server.err;
    EXPECT_TRUE(server.Logged("No archive of games: archive " + garbage)) << server.out;
  }
  EXPECT_EQ(testing::ReadBytes(garbage), garbageBytes);
  EXPECT_EQ(std::filesystem::directory_iterator(dir.path)->path().filename().string().find("-wal"),
            std::string::npos);
}

// Killed in the middle of storing its second game, the archive holds the
// first whole and nothing of the second, and passes SQLite's check.
TEST(Archive, AKillWhileStoringLeavesTheGameWhollyOut) {
  testing::App();
  testing::TempDir dir;
  const std::string path = dir.path + "/games.sqlite";
  const FinishedGame game = SummariseFinishedGame(FinishedGameOf(9), {1, 1, 1, 1}, 100, "2118");
  EXPECT_EXIT(
      {
        std::string error;
        auto db = ArchiveDb::Open(path, ArchiveDb::Access::ReadWrite, error);
        if (!db || db->Store(game, error) != 1) std::exit(3);
        db->SetStoreHook([](int written) {
          if (written == 20) std::raise(SIGKILL);
        });
        db->Store(game, error);
        std::exit(4);
      },
      ::testing::KilledBySignal(SIGKILL), "");
  EXPECT_EQ(Count(path, "SELECT count(*) FROM games"), 1);
  EXPECT_EQ(Count(path, "SELECT count(*) FROM deals"), 28);
  EXPECT_EQ(Count(path, "SELECT count(*) FROM players"), 4);
  EXPECT_EQ(Count(path, "SELECT count(*) FROM pragma_integrity_check WHERE integrity_check = 'ok'"), 1);
}

// The pages answer lists and games by number only, 404 for anything else,
// and a filter is a value, never SQL.
TEST(ArchivePages, ListsPagesGamesAndRefusesWhatIsNotThere) {
  testing::App();
  testing::TempDir dir;
  std::string error;
  auto db = ArchiveDb::Open(dir.path + "/games.sqlite", ArchiveDb::Access::ReadWrite, error);
  ASSERT_TRUE(db) << error;
  const GameState played = FinishedGameOf(11);
  const std::string sly = "O'Brien\"; DROP TABLE games;--";
  for (int i = 1; i <= 60; ++i) {
    FinishedGame f = SummariseFinishedGame(played, {1, 1, 1, 1}, 1000 + i, "2118");
    f.handles[2] = i % 3 ? "Cy" : sly;
    ASSERT_EQ(db->Store(f, error), i) << error;
  }
  ArchivePages pages(*db);
  const auto json = [&](const std::string& target) {
    const auto a = pages.Answer(target);
    EXPECT_TRUE(a && a->status == 200) << target;
    return a ? QJsonDocument::fromJson(QByteArray::fromStdString(a->body)).object() : QJsonObject();
  };
  QJsonObject list = json("/api/games");
  EXPECT_EQ(list["games"].toArray().size(), 50);
  EXPECT_TRUE(list["more"].toBool());
  EXPECT_EQ(list["games"].toArray()[0].toObject()["id"].toInt(), 60);
  list = json("/api/games?page=2");
  EXPECT_EQ(list["games"].toArray().size(), 10);
  EXPECT_FALSE(list["more"].toBool());
  list = json("/api/games?handle=o%27brien%22%3B+DROP+TABLE+games%3B--");
  EXPECT_EQ(list["games"].toArray().size(), 20);
  EXPECT_EQ(list["games"].toArray()[0].toObject()["handles"].toArray()[2].toString().toStdString(), sly);
  for (const char* none : {"/api/games?handle=%25", "/api/games?handle=Cy%27%20OR%20%271%27%3D%271"})
    EXPECT_EQ(json(none)["games"].toArray().size(), 0) << none;

  for (const char* missing : {"/api/games?page=3", "/api/games?page=0", "/api/games?page=-1", "/api/games?page=1e3",
                              "/api/games?page=", "/api/games/abc", "/api/games/0", "/api/games/61",
                              "/api/games/01", "/api/games/1x", "/api/games/99999999999999999999",
                              "/games/1/records.txt", "/api/games/1/other", "/games/61"}) {
    const auto a = pages.Answer(missing);
    EXPECT_TRUE(a && a->status == 404) << missing;
  }
  EXPECT_FALSE(pages.Answer("/index.html"));  // the door's own files
  EXPECT_NE(pages.Answer("/games/7")->body.find("<html"), std::string::npos);

  // Every card of the game in the order played, each where the record has it.
  const QJsonArray deals = json("/api/games/7")["dealList"].toArray();
  ASSERT_EQ(deals.size(), 28);
  for (const QJsonValue& deal : deals) {
    const int d = deal["deal"].toInt();
    int held = 0;
    for (const auto& round : played.playRecords[d])
      for (uint8_t c : round) held += IsCard(c);
    const QJsonArray cards = deal["cards"].toArray();
    EXPECT_EQ(cards.size(), held) << d;
    int trick = 1;
    for (const QJsonValue& c : cards) {
      EXPECT_GE(c["trick"].toInt(), trick);
      trick = c["trick"].toInt();
      EXPECT_EQ(played.playRecords[d][trick - 1][c["seat"].toInt()], c["card"].toInt()) << d;
    }
    EXPECT_EQ(deal["decisions"].toArray()[0].toObject()["value"].toInt(), deal["contract"].toInt());
  }
  const auto game = db->Find(7, error);
  std::string records;
  ASSERT_TRUE(FinishedGameHandRecords(game->savedGame, game->row.handles, game->row.endedAt, records, error));
  EXPECT_EQ(pages.Answer("/api/games/7/records.txt")->body, records);
  EXPECT_EQ(pages.Answer("/api/games/7/game.zelbo")->body, std::string(game->savedGame.begin(), game->savedGame.end()));
}

}  // namespace
}  // namespace zelbo
