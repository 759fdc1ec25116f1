#include "archive/archive_store.h"

#include <QMetaObject>

namespace zelbo {

ArchiveStore::ArchiveStore(std::filesystem::path path, Report report)
    : path_(std::move(path)), report_(std::move(report)) {}

std::unique_ptr<ArchiveStore> ArchiveStore::Open(const std::filesystem::path& path, Report report,
                                                 std::string& error) {
  std::unique_ptr<ArchiveStore> store(new ArchiveStore(path, std::move(report)));
  // Created and migrated here, so that a refusal is known at once; the
  // storing thread then opens its own connection to the file.
  {
    std::unique_ptr<ArchiveDb> first = ArchiveDb::Open(path, ArchiveDb::Access::ReadWrite, error);
    if (!first) return nullptr;
  }
  store->reader_ = ArchiveDb::Open(path, ArchiveDb::Access::ReadOnly, error);
  if (!store->reader_) return nullptr;
  store->pages_ = std::make_unique<ArchivePages>(*store->reader_);
  store->worker_ = new QObject;
  store->worker_->moveToThread(&store->thread_);
  QObject::connect(&store->thread_, &QThread::finished, store->worker_, &QObject::deleteLater);
  store->thread_.start();
  return store;
}

ArchiveStore::~ArchiveStore() {
  if (!worker_) return;
  // Runs after every store queued before it; the connection goes with the
  // thread that used it.
  QMetaObject::invokeMethod(worker_, [this] { writer_.reset(); }, Qt::BlockingQueuedConnection);
  thread_.quit();
  thread_.wait();
}

void ArchiveStore::KeepFinishedGame(FinishedGame game) {
  if (!worker_) return;
  QMetaObject::invokeMethod(
      worker_,
      [this, game = std::move(game)] {
        std::string line;
        int64_t id = 0;
        if (!writer_) writer_ = ArchiveDb::Open(path_, ArchiveDb::Access::ReadWrite, line);
        if (writer_) id = writer_->Store(game, line);
        line = id > 0 ? "Game archived as number " + std::to_string(id) + ", its replay is at /games/" +
                            std::to_string(id)
                      : "Game not archived: " + line;
        QMetaObject::invokeMethod(&home_, [this, id, line] { if (report_) report_(id, line); },
                                  Qt::QueuedConnection);
      },
      Qt::QueuedConnection);
}

void ArchiveStore::Drain() {
  if (worker_) QMetaObject::invokeMethod(worker_, [] {}, Qt::BlockingQueuedConnection);
}

}  // namespace zelbo
