// Mode "archive": the archive of finished games at scale. Sixteen games
// are played by simple players from --seed on; copies of them, each with
// four handles drawn from 1,000 players, are stored in a scratch archive
// (--dir, default the system's temporary folder) up to 10,000 games (or N),
// in transactions of 1,000 games. Past that the archive grows to --games N
// by copying its own rows inside SQLite, each copy with handles drawn
// afresh, which fills a million games in minutes instead of hours. Printed:
// the rate of the filling by the archive's own code, the rate of games
// stored one transaction each as a table stores them, the file size per
// game, and the time of the first page of the list (newest first, all
// games and one player's) at 10,000 games, at 1,000,000 and at N.
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "archive/archive_db.h"
#include "engine/engine.h"
#include "engine/simple_policy.h"
#include "records/finished_game.h"
#include "tools/bench/bench_modes.h"

namespace zelbo::bench {

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPlayers = 1000;
constexpr int kBatch = 1000;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::vector<FinishedGame> PlayedGames(unsigned firstSeed) {
  std::vector<FinishedGame> games;
  for (unsigned seed = firstSeed; seed < firstSeed + 16; ++seed) {
    EngineHost host;
    GameState g;
    g.randomSeed = seed;
    NewGame(g, host, 0);
    while (SimpleStep(g, host)) {
    }
    games.push_back(SummariseFinishedGame(g, {1, 1, 1, 1}, 1800000000, "2118"));
  }
  return games;
}

std::string Player(int n) { return "player" + std::to_string(n); }

// The median time of the first page, over several handles (or none).
double FirstPageMs(ArchiveDb& db, bool filtered, std::mt19937& rng) {
  std::vector<double> ms;
  std::string error;
  for (int i = 0; i < 21; ++i) {
    const std::string handle = filtered ? Player(static_cast<int>(rng() % kPlayers)) : "";
    ArchivePage page;
    const auto start = Clock::now();
    if (!db.List(handle, 1, page, error)) std::fprintf(stderr, "list: %s\n", error.c_str());
    ms.push_back(Seconds(Clock::now() - start) * 1000);
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

// The database file's size once the log is folded into it.
std::uintmax_t FileBytes(const std::filesystem::path& path) {
  const QString name = QStringLiteral("zelbo-archive-bench-size");
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(QString::fromStdString(path.string()));
    if (db.open()) QSqlQuery(db).exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    db.close();
  }
  QSqlDatabase::removeDatabase(name);
  std::error_code ec;
  std::uintmax_t total = 0;
  for (const char* tail : {"", "-wal"}) {
    const auto n = std::filesystem::file_size(path.string() + tail, ec);
    if (!ec) total += n;
  }
  return total;
}

// Copies the newest rows of games, deals and players until `target` games
// are stored, in transactions of at most 100,000 games.
bool GrowByCopies(const std::filesystem::path& path, long stored, long target) {
  const QString name = QStringLiteral("zelbo-archive-bench-grow");
  bool ok = true;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(QString::fromStdString(path.string()));
    ok = db.open();
    QSqlQuery q(db);
    const QString handle = QStringLiteral("'player' || (abs(random()) % %1)").arg(kPlayers);
    while (ok && stored < target) {
      const long n = std::min({stored, target - stored, 100000L});
      const auto run = [&](const QString& sql) {
        if (q.exec(sql)) return true;
        std::fprintf(stderr, "grow: %s\n", q.lastError().text().toStdString().c_str());
        return false;
      };
      // Game `id` gets the copy `id + stored` of game `id` (1..n).
      ok = run(QStringLiteral("BEGIN")) &&
           run(QStringLiteral("INSERT INTO games SELECT id + %1, ended_at + %1, table_name, %2, %2, %2, %2,"
                              " total_south, total_west, total_north, total_east, deals, saved_game"
                              " FROM games WHERE id <= %3")
                   .arg(stored).arg(handle).arg(n)) &&
           run(QStringLiteral("INSERT INTO deals SELECT game_id + %1, deal, dealer, contract, double_south,"
                              " double_west, double_north, double_east, points_south, points_west,"
                              " points_north, points_east FROM deals WHERE game_id <= %2")
                   .arg(stored).arg(n)) &&
           run(QStringLiteral("INSERT OR IGNORE INTO players SELECT h, id FROM (SELECT south AS h, id FROM games"
                              " WHERE id > %1 UNION ALL SELECT west, id FROM games WHERE id > %1 UNION ALL"
                              " SELECT north, id FROM games WHERE id > %1 UNION ALL SELECT east, id FROM games"
                              " WHERE id > %1)")
                   .arg(stored)) &&
           run(QStringLiteral("COMMIT"));
      stored += n;
    }
    q.finish();
    db.close();
  }
  QSqlDatabase::removeDatabase(name);
  return ok;
}

}  // namespace

int RunArchiveMode(const Options& options) {
  std::filesystem::path folder = std::filesystem::temp_directory_path();
  for (std::size_t i = 0; i + 1 < options.extra.size(); ++i)
    if (options.extra[i] == "--dir") folder = options.extra[i + 1];
  const std::filesystem::path path = folder / ("zelbo_archive_bench_" + std::to_string(::getpid()) + ".sqlite");
  int argc = 1;
  char name[] = "zelbowin-bench", *argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);  // Qt's SQL driver needs it

  const std::vector<FinishedGame> played = PlayedGames(options.firstSeed);
  std::string error;
  auto db = ArchiveDb::Open(path, ArchiveDb::Access::ReadWrite, error);
  if (!db) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::mt19937 rng(options.firstSeed);
  const auto game = [&](long n) {
    FinishedGame f = played[static_cast<std::size_t>(n) % played.size()];
    f.endedAt += n;
    for (std::string& h : f.handles) h = Player(static_cast<int>(rng() % kPlayers));
    return f;
  };
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  std::printf("archive bench: %d games into %s\n", options.games, path.string().c_str());
  long stored = 0;
  double fillSeconds = 0;
  const auto report = [&] {
    std::printf("  at %9ld games: %7.1f bytes/game   first page %6.2f ms, filtered by handle %6.2f ms\n", stored,
                static_cast<double>(FileBytes(path)) / static_cast<double>(stored), FirstPageMs(*db, false, rng),
                FirstPageMs(*db, true, rng));
  };
  const long direct = std::min(10000L, static_cast<long>(options.games));
  while (stored < direct) {
    std::vector<FinishedGame> batch;
    for (long i = 0; i < kBatch && stored + i < direct; ++i) batch.push_back(game(stored + i));
    const auto start = Clock::now();
    if (!db->StoreAll(batch, error)) {
      std::fprintf(stderr, "store: %s\n", error.c_str());
      return 1;
    }
    fillSeconds += Seconds(Clock::now() - start);
    stored += static_cast<long>(batch.size());
  }
  report();
  for (long checkpoint : {1000000L, static_cast<long>(options.games)}) {
    if (checkpoint > options.games || checkpoint <= stored) continue;
    if (!GrowByCopies(path, stored, checkpoint)) return 1;
    stored = checkpoint;
    report();
  }
  // As a table stores them: one game, one transaction, synced.
  const int single = std::min(200, options.games);
  const auto start = Clock::now();
  for (int i = 0; i < single; ++i)
    if (!db->Store(game(stored + i), error)) std::fprintf(stderr, "store: %s\n", error.c_str());
  const double singleSeconds = Seconds(Clock::now() - start);
  std::printf("storing: %.0f games/s in transactions of %d; one game a transaction: %.0f games/s\n",
              static_cast<double>(direct) / fillSeconds, kBatch, single / singleSeconds);
  std::printf("peak memory %ld KiB\n", PeakResidentKiB());
  db.reset();
  std::error_code ec;
  for (const char* tail : {"", "-wal", "-shm"}) std::filesystem::remove(path.string() + tail, ec);
  return 0;
}

}  // namespace zelbo::bench
