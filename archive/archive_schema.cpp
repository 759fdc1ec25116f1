#include "archive/archive_schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <array>
#include <initializer_list>

namespace zelbo {

namespace {

using Migration = std::initializer_list<const char*>;

const std::array<Migration, ArchiveSchemaVersion> kMigrations = {
    Migration{
        "CREATE TABLE games ("
        " id INTEGER PRIMARY KEY,"
        " ended_at INTEGER NOT NULL,"
        " table_name TEXT NOT NULL,"
        " south TEXT NOT NULL, west TEXT NOT NULL, north TEXT NOT NULL, east TEXT NOT NULL,"
        " total_south INTEGER NOT NULL, total_west INTEGER NOT NULL,"
        " total_north INTEGER NOT NULL, total_east INTEGER NOT NULL,"
        " deals INTEGER NOT NULL,"
        " saved_game BLOB NOT NULL)",
        "CREATE TABLE deals ("
        " game_id INTEGER NOT NULL REFERENCES games(id),"
        " deal INTEGER NOT NULL,"
        " dealer INTEGER NOT NULL,"
        " contract INTEGER NOT NULL,"
        " double_south INTEGER, double_west INTEGER, double_north INTEGER, double_east INTEGER,"
        " points_south INTEGER NOT NULL, points_west INTEGER NOT NULL,"
        " points_north INTEGER NOT NULL, points_east INTEGER NOT NULL,"
        " PRIMARY KEY (game_id, deal)) WITHOUT ROWID",
    },
    Migration{
        "CREATE TABLE players ("
        " handle TEXT NOT NULL COLLATE NOCASE,"
        " game_id INTEGER NOT NULL REFERENCES games(id),"
        " PRIMARY KEY (handle, game_id)) WITHOUT ROWID",
        "INSERT OR IGNORE INTO players (handle, game_id)"
        " SELECT south, id FROM games UNION ALL SELECT west, id FROM games"
        " UNION ALL SELECT north, id FROM games UNION ALL SELECT east, id FROM games",
    },
};

std::string ErrorText(const QSqlError& e) { return e.text().toStdString(); }

}  // namespace

int ArchiveVersion(QSqlDatabase& db, std::string& error) {
  QSqlQuery q(db);
  if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
    error = ErrorText(q.lastError());
    return -1;
  }
  return q.value(0).toInt();
}

bool MigrateArchive(QSqlDatabase& db, int target, std::string& error) {
  QSqlQuery q(db);
  if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
    error = ErrorText(q.lastError());
    return false;
  }
  const auto fail = [&](std::string why) {
    error = std::move(why);
    QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    return false;
  };
  const int version = ArchiveVersion(db, error);
  if (version < 0) return fail(error);
  if (version > target)
    return fail("its version " + std::to_string(version) + " is newer than this program's " +
                std::to_string(target));
  for (int v = version; v < target && v < ArchiveSchemaVersion; ++v)
    for (const char* statement : kMigrations[static_cast<std::size_t>(v)])
      if (!q.exec(QString::fromUtf8(statement)))
        return fail("migration to version " + std::to_string(v + 1) + " failed: " + ErrorText(q.lastError()));
  if (version != target && !q.exec(QStringLiteral("PRAGMA user_version = %1").arg(target)))
    return fail(ErrorText(q.lastError()));
  if (!q.exec(QStringLiteral("COMMIT"))) return fail(ErrorText(q.lastError()));
  return true;
}

}  // namespace zelbo
