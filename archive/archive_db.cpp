#include "archive/archive_db.h"

#include <QByteArray>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "archive/archive_schema.h"

namespace zelbo {

namespace {

const QString kBusy = QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000");

std::string ErrorText(const QSqlQuery& q) { return q.lastError().text().toStdString(); }

QString ConnectionName(const void* owner, const char* role) {
  return QStringLiteral("zelbo-archive-%1-%2")
      .arg(reinterpret_cast<quintptr>(owner), 0, 16)
      .arg(QString::fromLatin1(role));
}

// The schema version of an existing file, read through a read-only
// connection so that nothing is written to a file that turns out not to be
// an archive; -1 with `error` when it cannot be read.
int ProbeVersion(const std::filesystem::path& path, const QString& name, std::string& error) {
  int version = -1;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(QString::fromStdString(path.string()));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;") + kBusy);
    if (!db.open()) {
      error = db.lastError().text().toStdString();
    } else {
      QSqlQuery q(db);
      // The version lives in the header; reading the schema also checks
      // that the first page is a database page.
      if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !q.next())
        error = ErrorText(q);
      else
        version = ArchiveVersion(db, error);
    }
    db.close();
  }
  QSqlDatabase::removeDatabase(name);
  return version;
}

QByteArray Bytes(const std::vector<uint8_t>& v) {
  return QByteArray(reinterpret_cast<const char*>(v.data()), static_cast<qsizetype>(v.size()));
}

// The stored file back from its compressed image; empty when the image is
// damaged or claims more than a saved game can hold.
std::vector<uint8_t> Uncompress(const QByteArray& image) {
  if (image.size() < 4) return {};
  const auto* p = reinterpret_cast<const unsigned char*>(image.constData());
  const uint32_t claimed = uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
  if (claimed > saved_game::MaxFileSize) return {};
  const QByteArray raw = qUncompress(image);
  return std::vector<uint8_t>(raw.begin(), raw.end());
}

QString GameColumns(const QString& alias) {
  QStringList c;
  for (const char* name : {"id", "ended_at", "table_name", "south", "west", "north", "east",
                           "total_south", "total_west", "total_north", "total_east", "deals"})
    c << alias + QString::fromLatin1(name);
  return c.join(QStringLiteral(", "));
}

ArchivedGameRow ReadRow(const QSqlQuery& q) {
  ArchivedGameRow r;
  r.id = q.value(0).toLongLong();
  r.endedAt = q.value(1).toLongLong();
  r.table = q.value(2).toString().toStdString();
  for (int s = 0; s < 4; ++s) {
    r.handles[s] = q.value(3 + s).toString().toStdString();
    r.totals[s] = q.value(7 + s).toInt();
  }
  r.deals = q.value(11).toInt();
  return r;
}

}  // namespace

std::unique_ptr<ArchiveDb> ArchiveDb::Open(const std::filesystem::path& path, Access access,
                                           std::string& error) {
  const auto refuse = [&](const std::string& why) {
    error = "archive " + path.string() + " " + why;
    return nullptr;
  };
  std::error_code ec;
  const bool exists = std::filesystem::exists(path, ec);
  if (exists && !std::filesystem::is_regular_file(path, ec)) return refuse("is not a file");
  if (!exists && access == Access::ReadOnly) return refuse("does not exist");

  std::unique_ptr<ArchiveDb> archive(new ArchiveDb(QString()));
  archive->connection_ = ConnectionName(archive.get(), "db");
  if (exists) {
    std::string why;
    const int version = ProbeVersion(path, ConnectionName(archive.get(), "probe"), why);
    if (version < 0) return refuse("cannot be read (" + why + "); it is left as it is");
    if (version > ArchiveSchemaVersion)
      return refuse("is of a newer version (" + std::to_string(version) + ") than this program (" +
                    std::to_string(ArchiveSchemaVersion) + "); it is left as it is");
    if (access == Access::ReadOnly && version != ArchiveSchemaVersion)
      return refuse("is not up to date (version " + std::to_string(version) + ")");
  }

  QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), archive->connection_);
  db.setDatabaseName(QString::fromStdString(path.string()));
  db.setConnectOptions(access == Access::ReadOnly ? QStringLiteral("QSQLITE_OPEN_READONLY;") + kBusy : kBusy);
  if (!db.open()) return refuse("cannot be opened (" + db.lastError().text().toStdString() + ")");
  if (access == Access::ReadWrite) {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !q.next() ||
        q.value(0).toString() != QStringLiteral("wal"))
      return refuse("cannot use a write-ahead log (" + ErrorText(q) + ")");
    q.finish();
    std::string why;
    if (!MigrateArchive(db, ArchiveSchemaVersion, why))
      return refuse("cannot be brought up to date (" + why + "); it is left as it is");
  }
  return archive;
}

ArchiveDb::~ArchiveDb() {
  if (connection_.isEmpty()) return;
  {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (db.isValid()) db.close();
  }
  QSqlDatabase::removeDatabase(connection_);
}

int64_t ArchiveDb::Store(const FinishedGame& game, std::string& error) {
  return StoreAll(std::span<const FinishedGame>(&game, 1), error);
}

int64_t ArchiveDb::StoreAll(std::span<const FinishedGame> games, std::string& error) {
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  QSqlQuery q(db);
  if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
    error = ErrorText(q);
    return 0;
  }
  const auto fail = [&](const QSqlQuery& failed) -> int64_t {
    error = ErrorText(failed);
    QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    return 0;
  };
  QSqlQuery deal(db), player(db);
  q.prepare(QStringLiteral("INSERT INTO games (ended_at, table_name, south, west, north, east,"
                           " total_south, total_west, total_north, total_east, deals, saved_game)"
                           " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
  deal.prepare(QStringLiteral("INSERT INTO deals (game_id, deal, dealer, contract,"
                              " double_south, double_west, double_north, double_east,"
                              " points_south, points_west, points_north, points_east)"
                              " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
  player.prepare(QStringLiteral("INSERT OR IGNORE INTO players (handle, game_id) VALUES (?, ?)"));
  int64_t id = 0;
  for (const FinishedGame& game : games) {
    q.addBindValue(QVariant::fromValue<qlonglong>(game.endedAt));
    q.addBindValue(QString::fromStdString(game.table));
    for (const std::string& h : game.handles) q.addBindValue(QString::fromStdString(h));
    for (int32_t t : game.totals) q.addBindValue(t);
    q.addBindValue(static_cast<int>(game.deals.size()));
    q.addBindValue(qCompress(Bytes(game.savedGame), 9));
    if (!q.exec()) return fail(q);
    id = q.lastInsertId().toLongLong();
    int written = 0;
    for (const DealSummary& d : game.deals) {
      deal.addBindValue(QVariant::fromValue<qlonglong>(id));
      deal.addBindValue(d.deal);
      deal.addBindValue(d.dealer);
      deal.addBindValue(d.contract);
      for (int x : d.doubles) deal.addBindValue(x < 0 ? QVariant() : QVariant(x));
      for (int32_t p : d.points) deal.addBindValue(p);
      if (!deal.exec()) return fail(deal);
      if (storeHook_) storeHook_(++written);
    }
    for (const std::string& h : game.handles) {
      player.addBindValue(QString::fromStdString(h));
      player.addBindValue(QVariant::fromValue<qlonglong>(id));
      if (!player.exec()) return fail(player);
    }
  }
  QSqlQuery commit(db);
  if (!commit.exec(QStringLiteral("COMMIT"))) return fail(commit);
  return id;
}

bool ArchiveDb::List(const std::string& handle, int page, ArchivePage& out, std::string& error) {
  out = {};
  if (page < 1) return true;
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  QSqlQuery q(db);
  q.setForwardOnly(true);
  // One row past the page says whether another page follows.
  if (handle.empty()) {
    q.prepare(QStringLiteral("SELECT %1 FROM games ORDER BY id DESC LIMIT ? OFFSET ?")
                  .arg(GameColumns(QString())));
  } else {
    q.prepare(QStringLiteral("SELECT %1 FROM players p JOIN games g ON g.id = p.game_id"
                             " WHERE p.handle = ? ORDER BY p.game_id DESC LIMIT ? OFFSET ?")
                  .arg(GameColumns(QStringLiteral("g."))));
    q.addBindValue(QString::fromStdString(handle));
  }
  q.addBindValue(ArchivePageSize + 1);
  q.addBindValue(QVariant::fromValue<qlonglong>(static_cast<qlonglong>(page - 1) * ArchivePageSize));
  if (!q.exec()) {
    error = ErrorText(q);
    return false;
  }
  while (q.next()) {
    if (static_cast<int>(out.games.size()) == ArchivePageSize) {
      out.more = true;
      break;
    }
    out.games.push_back(ReadRow(q));
  }
  return true;
}

bool ArchiveDb::EachGame(const std::function<void(const ArchivedGameRow&)>& visit, std::string& error) {
  QSqlQuery q(QSqlDatabase::database(connection_, false));
  q.setForwardOnly(true);
  if (!q.exec(QStringLiteral("SELECT %1 FROM games ORDER BY id DESC").arg(GameColumns(QString())))) {
    error = ErrorText(q);
    return false;
  }
  while (q.next()) visit(ReadRow(q));
  return true;
}

std::optional<ArchivedGame> ArchiveDb::Find(int64_t id, std::string& error) {
  QSqlDatabase db = QSqlDatabase::database(connection_, false);
  QSqlQuery q(db);
  q.setForwardOnly(true);
  q.prepare(QStringLiteral("SELECT %1, saved_game FROM games WHERE id = ?").arg(GameColumns(QString())));
  q.addBindValue(QVariant::fromValue<qlonglong>(id));
  if (!q.exec()) {
    error = ErrorText(q);
    return std::nullopt;
  }
  if (!q.next()) return std::nullopt;
  ArchivedGame game;
  game.row = ReadRow(q);
  game.savedGame = Uncompress(q.value(12).toByteArray());
  QSqlQuery d(db);
  d.setForwardOnly(true);
  d.prepare(QStringLiteral("SELECT deal, dealer, contract, double_south, double_west, double_north,"
                           " double_east, points_south, points_west, points_north, points_east"
                           " FROM deals WHERE game_id = ? ORDER BY deal"));
  d.addBindValue(QVariant::fromValue<qlonglong>(id));
  if (!d.exec()) {
    error = ErrorText(d);
    return std::nullopt;
  }
  while (d.next()) {
    DealSummary s;
    s.deal = d.value(0).toInt();
    s.dealer = d.value(1).toInt();
    s.contract = d.value(2).toInt();
    for (int k = 0; k < 4; ++k) {
      s.doubles[k] = d.value(3 + k).isNull() ? -1 : d.value(3 + k).toInt();
      s.points[k] = d.value(7 + k).toInt();
    }
    game.deals.push_back(s);
  }
  return game;
}

}  // namespace zelbo
