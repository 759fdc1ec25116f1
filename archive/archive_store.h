// ArchiveStore: where a table's finished games go. Each game is stored as a
// job of the writer that takes the tables' files (on its thread, when it
// has one), so the disk never holds up the event loop; the event thread
// keeps a read-only connection of its own for the pages and lists. What
// the job has to say (the game's number, or why it could not be stored)
// comes back where the writer tells its outcomes.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "archive/archive_db.h"
#include "archive/archive_pages.h"
#include "records/file_writer.h"
#include "records/finished_game.h"

namespace zelbo {

class ArchiveStore : public FinishedGameSink {
 public:
  // `id` is the stored game's number, 0 when it could not be stored.
  using Report = std::function<void(int64_t id, const std::string& line)>;

  // Opens (creating or bringing up to date) the archive at `path` on the
  // calling thread; games are then stored through `writer`, which must
  // outlive the store. nullptr with `error` when the archive cannot be
  // used; the file is then left as it is.
  static std::unique_ptr<ArchiveStore> Open(const std::filesystem::path& path, FileWriter& writer,
                                            Report report, std::string& error);
  // Stores what is queued and closes the storing connection on the
  // writer's thread; every report is told before it returns.
  ~ArchiveStore() override;
  ArchiveStore(const ArchiveStore&) = delete;
  ArchiveStore& operator=(const ArchiveStore&) = delete;

  // Hands the game to the writer, which stores it in one transaction.
  void KeepFinishedGame(FinishedGame game) override;
  // Returns once every game queued so far is stored (or refused).
  void Drain();

  // The event thread's connection, for reading, and the pages it serves.
  ArchiveDb& Reader() { return *reader_; }
  ArchivePages& Pages() { return *pages_; }
  const std::filesystem::path& Path() const { return path_; }

 private:
  ArchiveStore(std::filesystem::path path, FileWriter& writer, Report report);

  std::filesystem::path path_;
  FileWriter& writer_;
  Report report_;
  uint64_t handedOver_ = 0;  // numbers the jobs' keys: no game replaces another
  std::unique_ptr<ArchiveDb> storing_;  // opened, used and closed by the writer's jobs only
  std::unique_ptr<ArchiveDb> reader_;
  std::unique_ptr<ArchivePages> pages_;
};

}  // namespace zelbo
