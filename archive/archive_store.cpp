#include "archive/archive_store.h"

#include <utility>

namespace zelbo {

ArchiveStore::ArchiveStore(std::filesystem::path path, FileWriter& writer, Report report)
    : path_(std::move(path)), writer_(writer), report_(std::move(report)) {}

std::unique_ptr<ArchiveStore> ArchiveStore::Open(const std::filesystem::path& path, FileWriter& writer,
                                                 Report report, std::string& error) {
  std::unique_ptr<ArchiveStore> store(new ArchiveStore(path, writer, std::move(report)));
  // Created and migrated here, so that a refusal is known at once; the
  // writer's jobs then open a connection of their own to the file (a
  // connection is used on the thread that opened it only).
  {
    std::unique_ptr<ArchiveDb> first = ArchiveDb::Open(path, ArchiveDb::Access::ReadWrite, error);
    if (!first) return nullptr;
  }
  store->reader_ = ArchiveDb::Open(path, ArchiveDb::Access::ReadOnly, error);
  if (!store->reader_) return nullptr;
  store->pages_ = std::make_unique<ArchivePages>(*store->reader_);
  return store;
}

ArchiveStore::~ArchiveStore() {
  if (!reader_) return;
  // Runs after every store handed over before it; Drain tells their
  // reports now, while this store still exists.
  writer_.Submit(
      "archive close " + path_.string(),
      [this](std::string&) {
        storing_.reset();
        return true;
      },
      nullptr);
  writer_.Drain();
}

void ArchiveStore::KeepFinishedGame(FinishedGame game) {
  if (!reader_) return;
  auto id = std::make_shared<int64_t>(0);
  writer_.Submit(
      "archive " + path_.string() + " " + std::to_string(++handedOver_),
      [this, id, game = std::move(game)](std::string& error) {
        if (!storing_) storing_ = ArchiveDb::Open(path_, ArchiveDb::Access::ReadWrite, error);
        if (storing_) *id = storing_->Store(game, error);
        return *id > 0;
      },
      [this, id](bool ok, const std::string& error) {
        const std::string line = ok ? "Game archived as number " + std::to_string(*id) +
                                          ", its replay is at /games/" + std::to_string(*id)
                                    : "Game not archived: " + error;
        if (report_) report_(ok ? *id : 0, line);
      });
}

void ArchiveStore::Drain() { writer_.Drain(); }

}  // namespace zelbo
