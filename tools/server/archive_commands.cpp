#include "tools/server/archive_commands.h"

#include <ctime>

#include "records/file_io.h"
#include "records/finished_game.h"

namespace zelbo {

namespace {

constexpr const char* kSeatNames[4] = {"South", "West", "North", "East"};

std::unique_ptr<ArchiveDb> OpenForReading(const std::filesystem::path& dir, std::FILE* err) {
  std::string error;
  auto db = ArchiveDb::Open(dir / ArchiveFileName, ArchiveDb::Access::ReadOnly, error);
  if (!db) std::fprintf(err, "zelbowin-server: %s\n", error.c_str());
  return db;
}

}  // namespace

std::string ArchiveListLine(const ArchivedGameRow& row) {
  const std::time_t t = static_cast<std::time_t>(row.endedAt);
  std::tm utc{};
  gmtime_r(&t, &utc);
  char when[32];
  std::strftime(when, sizeof when, "%Y-%m-%d %H:%M", &utc);
  std::string line = std::to_string(row.id) + "  " + when + "  table " + row.table + " ";
  for (int s = 0; s < 4; ++s)
    line += std::string(s ? ", " : " ") + kSeatNames[s] + " " + row.handles[s] + " " +
            std::to_string(row.totals[s]);
  return line + ", deals " + std::to_string(row.deals);
}

int ListArchivedGames(const std::filesystem::path& dir, std::FILE* out, std::FILE* err) {
  const auto db = OpenForReading(dir, err);
  if (!db) return 1;
  std::string error;
  if (!db->EachGame([out](const ArchivedGameRow& row) { std::fprintf(out, "%s\n", ArchiveListLine(row).c_str()); },
                    error)) {
    std::fprintf(err, "zelbowin-server: cannot read the archive: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

int ExportArchivedGame(const std::filesystem::path& dir, long long id, const std::filesystem::path& to,
                       std::FILE* out, std::FILE* err) {
  const auto db = OpenForReading(dir, err);
  if (!db) return 1;
  std::string error, records;
  const auto game = db->Find(id, error);
  if (!game) {
    std::fprintf(err, "zelbowin-server: %s\n",
                 error.empty() ? ("no game " + std::to_string(id) + " in the archive").c_str() : error.c_str());
    return 1;
  }
  if (!FinishedGameHandRecords(game->savedGame, game->row.handles, game->row.endedAt, records, error)) {
    std::fprintf(err, "zelbowin-server: archived game %lld is damaged: %s\n", id, error.c_str());
    return 1;
  }
  const std::string stem = "game-" + std::to_string(id);
  const std::filesystem::path file = to / (stem + ".zelbo"), text = to / (stem + ".txt");
  const auto* bytes = reinterpret_cast<const uint8_t*>(records.data());
  if (!WriteFileAtomically(file, game->savedGame, error) ||
      !WriteFileAtomically(text, std::span<const uint8_t>(bytes, records.size()), error)) {
    std::fprintf(err, "zelbowin-server: %s\n", error.c_str());
    return 1;
  }
  std::fprintf(out, "Game %lld written to %s and %s\n", id, file.string().c_str(), text.string().c_str());
  return 0;
}

}  // namespace zelbo
