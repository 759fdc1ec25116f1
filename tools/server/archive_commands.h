// The server's commands on its archive that run instead of a table:
// --list-games and --export-game.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

#include "archive/archive_db.h"

namespace zelbo {

// "ID  YYYY-MM-DD HH:MM  table T  South NAME TOTAL, West ..., deals N".
std::string ArchiveListLine(const ArchivedGameRow& row);

// Prints a line per archived game of `dir`'s archive, newest first. The
// program's exit status: 0, or 1 after a line on `err`.
int ListArchivedGames(const std::filesystem::path& dir, std::FILE* out, std::FILE* err);

// Writes game `id` of `dir`'s archive into `to` as game-ID.zelbo and its
// hand records game-ID.txt, and says so on `out`; 1 after a line on `err`.
int ExportArchivedGame(const std::filesystem::path& dir, long long id, const std::filesystem::path& to,
                       std::FILE* out, std::FILE* err);

}  // namespace zelbo
