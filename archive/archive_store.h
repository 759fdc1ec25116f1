// ArchiveStore: where a table's finished games go. Each game is stored on a
// thread of its own, so the disk never holds up the event loop; the event
// thread keeps a read-only connection of its own for the pages and lists.
// What the storing thread has to say (the game's number, or why it could
// not be stored) comes back to the thread that opened the store.
#pragma once

#include <QObject>
#include <QThread>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "archive/archive_db.h"
#include "archive/archive_pages.h"
#include "records/finished_game.h"

namespace zelbo {

class ArchiveStore : public FinishedGameSink {
 public:
  // `id` is the stored game's number, 0 when it could not be stored.
  using Report = std::function<void(int64_t id, const std::string& line)>;

  // Opens (creating or bringing up to date) the archive at `path` on the
  // calling thread and starts the storing thread. nullptr with `error` when
  // the archive cannot be used; the file is then left as it is.
  static std::unique_ptr<ArchiveStore> Open(const std::filesystem::path& path, Report report,
                                            std::string& error);
  // Stores what is queued, then ends the thread.
  ~ArchiveStore() override;
  ArchiveStore(const ArchiveStore&) = delete;
  ArchiveStore& operator=(const ArchiveStore&) = delete;

  // Queues the game; it is stored on the storing thread.
  void KeepFinishedGame(FinishedGame game) override;
  // Returns once every game queued so far is stored (or refused).
  void Drain();

  // The event thread's connection, for reading, and the pages it serves.
  ArchiveDb& Reader() { return *reader_; }
  ArchivePages& Pages() { return *pages_; }
  const std::filesystem::path& Path() const { return path_; }

 private:
  ArchiveStore(std::filesystem::path path, Report report);

  std::filesystem::path path_;
  Report report_;
  QObject home_;          // lives on the opening thread: reports are run there
  QThread thread_;
  QObject* worker_ = nullptr;  // lives on thread_: stores are run there
  std::unique_ptr<ArchiveDb> writer_;  // used and destroyed on thread_ only
  std::unique_ptr<ArchiveDb> reader_;
  std::unique_ptr<ArchivePages> pages_;
};

}  // namespace zelbo
