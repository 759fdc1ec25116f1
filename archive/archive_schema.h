// The archive's tables and their history. The database's user_version is
// the number of migrations applied; each migration is a list of statements
// that takes the schema one version on, and an archive is brought up to date
// in one transaction when it is opened.
//
// Version 1: `games`, a row per finished game: when it ended, the table, the
// four handles and totals by seat, the number of deals, and `saved_game`,
// the saved-game file of its last state compressed with zlib (qCompress:
// four bytes of length, big-endian, then the zlib stream); `deals`, a row
// per deal of a game. Version 2: `players`, the games of each handle, so
// that a search by handle reads an index instead of every game.
#pragma once

#include <QSqlDatabase>

#include <string>

namespace zelbo {

constexpr int ArchiveSchemaVersion = 2;

// Applies the migrations after the database's version up to `target`, and
// sets the version, in one transaction. False with `error` (and nothing
// changed) when a statement fails or the database is newer than `target`.
bool MigrateArchive(QSqlDatabase& db, int target, std::string& error);

// The database's user_version; -1 with `error` when it cannot be read.
int ArchiveVersion(QSqlDatabase& db, std::string& error);

}  // namespace zelbo
