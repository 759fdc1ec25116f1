// ArchiveDb: one connection to the archive of finished games, a SQLite file
// read and written through Qt SQL. A connection belongs to the thread that
// opened it. Opening never changes a file it cannot read: a corrupt file,
// or one written by a newer program, is refused with its reason and left as
// it is.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "records/finished_game.h"

namespace zelbo {

// A game as the lists show it.
struct ArchivedGameRow {
  int64_t id = 0;
  int64_t endedAt = 0;
  std::string table;
  std::array<std::string, 4> handles;
  std::array<int32_t, 4> totals{};
  int deals = 0;
};

// The whole of one stored game.
struct ArchivedGame {
  ArchivedGameRow row;
  std::vector<DealSummary> deals;
  std::vector<uint8_t> savedGame;  // the saved-game file, as written at the table
};

constexpr int ArchivePageSize = 50;

struct ArchivePage {
  std::vector<ArchivedGameRow> games;  // newest first
  bool more = false;                   // a further page follows
};

class ArchiveDb {
 public:
  enum class Access { ReadWrite, ReadOnly };

  // Opens the archive at `path`. ReadWrite creates it when there is no
  // file, turns on the write-ahead log and brings the schema up to date;
  // ReadOnly needs an archive of the present version. nullptr with `error`
  // naming the file and the fault otherwise.
  static std::unique_ptr<ArchiveDb> Open(const std::filesystem::path& path, Access access,
                                         std::string& error);
  ~ArchiveDb();
  ArchiveDb(const ArchiveDb&) = delete;
  ArchiveDb& operator=(const ArchiveDb&) = delete;

  // Stores the game with its deals and players in one transaction; its id,
  // or 0 with `error` (nothing stored).
  int64_t Store(const FinishedGame& game, std::string& error);
  // Stores all the games in one transaction (an import); the last one's id,
  // or 0 with `error` and none stored.
  int64_t StoreAll(std::span<const FinishedGame> games, std::string& error);
  // Page `page` (1, 2, ...) of the games, newest first, of every game or of
  // those where `handle` sat (compared without regard to case). False with
  // `error` when the database fails.
  bool List(const std::string& handle, int page, ArchivePage& out, std::string& error);
  // Every game, newest first.
  bool EachGame(const std::function<void(const ArchivedGameRow&)>& visit, std::string& error);
  // The game `id`; nullopt when there is none (or the database fails, then
  // with `error`).
  std::optional<ArchivedGame> Find(int64_t id, std::string& error);

  // For the crash drill: called inside the transaction of Store after each
  // deal row is written, with the number written so far.
  void SetStoreHook(std::function<void(int)> hook) { storeHook_ = std::move(hook); }

 private:
  explicit ArchiveDb(QString connection) : connection_(std::move(connection)) {}
  QString connection_;
  std::function<void(int)> storeHook_;
};

// "games.sqlite", the archive's name inside a table's folder.
constexpr const char* ArchiveFileName = "games.sqlite";

}  // namespace zelbo
