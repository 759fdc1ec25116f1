#include "records/disk_writer.h"

#include <map>

namespace zelbo {

std::string WriterSummary(const DiskWriterStats& stats) {
  return std::to_string(stats.batches) + " batches, " + std::to_string(stats.files) + " files, " +
         std::to_string(stats.syncs) + " syncs, " + std::to_string(stats.failures) + " failures";
}

DiskWriter::DiskWriter(std::function<void()> wake, const std::filesystem::path& spareParent)
    : wake_(std::move(wake)),
      spares_(spareParent.empty() ? nullptr : std::make_unique<SpareFiles>(spareParent)),
      thread_([this] { Run(); }) {}

DiskWriter::~DiskWriter() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  work_.notify_one();
  thread_.join();
}

void DiskWriter::ReplaceMade(std::filesystem::path path, MakeBytes make, FileDurability durability,
                             WriteDone done) {
  Item item;
  // The path with "f" before it (built in place: "f" + path trips a false
  // warning of g++ 12).
  item.key = path.string();
  item.key.insert(item.key.begin(), 'f');
  item.path = std::move(path);
  item.make = std::move(make);
  item.durability = durability;
  item.done = std::move(done);
  HandOver(std::move(item));
}

void DiskWriter::Submit(std::string key, WriteJob job, WriteDone done) {
  Item item;
  item.key = "j" + key;
  item.isFile = false;
  item.job = std::move(job);
  item.done = std::move(done);
  HandOver(std::move(item));
}

void DiskWriter::HandOver(Item item) {
  item.handedOver = Clock::now();
  {
    std::lock_guard lock(mutex_);
    ++handedOver_;
    const auto [at, isNew] = waitingIndex_.try_emplace(item.key, waiting_.size());
    if (isNew) {
      waiting_.push_back(std::move(item));
    } else {
      // The older state of this key was never begun: the newer one takes
      // its place (and its turn), and the older one is not told.
      ++stats_.replaced;
      waiting_[at->second] = std::move(item);
    }
  }
  work_.notify_one();
}

void DiskWriter::Flush() {
  std::unique_lock lock(mutex_);
  const uint64_t target = handedOver_;
  written_.wait(lock, [&] { return finished_ >= target; });
}

void DiskWriter::Drain() {
  Flush();
  DeliverOutcomes();
}

void DiskWriter::DeliverOutcomes() {
  std::deque<Outcome> ready;
  {
    std::lock_guard lock(mutex_);
    ready.swap(outcomes_);
  }
  // Outside the lock: a `done` may hand over more.
  for (Outcome& o : ready)
    if (o.done) o.done(o.ok, o.error);
}

void DiskWriter::KeepCommitTimes(bool keep) {
  std::lock_guard lock(mutex_);
  keepCommitTimes_ = keep;
}

DiskWriterStats DiskWriter::Stats() const {
  std::lock_guard lock(mutex_);
  return stats_;
}

void DiskWriter::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    work_.wait(lock, [&] { return stopping_ || !waiting_.empty(); });
    if (waiting_.empty()) return;  // stopping, and nothing left
    std::vector<Item> batch;
    batch.swap(waiting_);
    waitingIndex_.clear();
    const uint64_t top = handedOver_;
    lock.unlock();

    const long syncs = WriteBatch(batch);
    const Clock::time_point end = Clock::now();

    lock.lock();
    const bool wasEmpty = outcomes_.empty();
    stats_.batches += 1;
    stats_.syncs += syncs;
    for (Item& item : batch) {
      (item.isFile ? stats_.files : stats_.jobs) += 1;
      if (!item.ok) stats_.failures += 1;
      if (keepCommitTimes_)
        stats_.commitMicros.push_back(std::chrono::duration<double, std::micro>(end - item.handedOver).count());
      outcomes_.push_back({std::move(item.done), item.ok, std::move(item.error)});
    }
    // Every hand-over up to `top` was in this batch or replaced by one that was.
    finished_ = top;
    written_.notify_all();
    if (wasEmpty && !outcomes_.empty() && wake_) {
      lock.unlock();
      wake_();
      lock.lock();
    }
  }
}

long DiskWriter::WriteBatch(std::vector<Item>& batch) {
  long syncs = 0;
  // Jobs first, in the order of their keys' first hand-over.
  for (Item& item : batch)
    if (!item.isFile) item.ok = item.job(item.error);
  // Several durable files on one file system (a club's tables) are synced
  // by syncing the file system twice: once for their bytes, before any is
  // renamed, and once for the renames. Otherwise each file and each folder
  // is synced on its own.
  const Item* grouped = GroupedSync(batch);
  // Every file's bytes go into a temporary file, synced when durable...
  for (Item& item : batch) {
    if (!item.isFile) continue;
    if (!item.make(item.bytes, item.error)) continue;  // the file keeps its state
    const bool sync = item.durability == FileDurability::Durable && !grouped;
    item.spared = spares_ && spares_->Takes(item.path);
    item.ok = item.spared ? spares_->Fill(item.path, item.bytes, sync, item.tempPath, item.error)
                          : WriteTemporary(item.path, item.bytes, sync, item.tempPath, item.error);
    if (item.ok && sync) ++syncs;
  }
  if (grouped) {
    ++syncs;
    std::string error;
    if (!SyncFileSystemOf(grouped->path, error)) {
      for (Item& item : batch) {
        if (!item.isFile || !item.ok || item.durability != FileDurability::Durable) continue;
        item.ok = false;
        item.error = error;
        std::error_code ignored;
        if (!item.spared) std::filesystem::remove(item.tempPath, ignored);
      }
    }
  }
  // ...then each is renamed into place: a file that failed keeps its older
  // complete state, never a part of the new one...
  std::map<std::filesystem::path, std::vector<Item*>> folders;
  for (Item& item : batch) {
    if (!item.isFile || !item.ok) continue;
    item.ok = item.spared ? spares_->Swap(item.tempPath, item.path, item.error)
                          : ReplaceWith(item.tempPath, item.path, item.error);
    if (item.ok && item.durability == FileDurability::Durable)
      folders[item.path.parent_path()].push_back(&item);
  }
  if (grouped && !folders.empty()) {
    ++syncs;
    std::string error;
    if (!SyncFileSystemOf(grouped->path, error))
      for (auto& [folder, items] : folders)
        for (Item* item : items) item->ok = false, item->error = error;
    return syncs;
  }
  // ...and each folder that took a durable file is synced once. When that
  // fails, each of its files tries once more, so each is told its own line.
  for (auto& [folder, items] : folders) {
    ++syncs;
    if (SyncFolderOf(items.front()->path, items.front()->error)) continue;
    items.front()->ok = false;
    for (std::size_t i = 1; i < items.size(); ++i) items[i]->ok = SyncFolderOf(items[i]->path, items[i]->error);
  }
  return syncs;
}

const DiskWriter::Item* DiskWriter::GroupedSync(const std::vector<Item>& batch) {
  const Item* first = nullptr;
  uint64_t device = 0;
  int durable = 0;
  for (const Item& item : batch) {
    if (!item.isFile || item.durability != FileDurability::Durable) continue;
    const uint64_t its = FileSystemOf(item.path);
    if (its == 0 || (first && its != device)) return nullptr;
    if (!first) first = &item, device = its;
    ++durable;
  }
  return durable >= GroupedSyncFrom ? first : nullptr;
}

}  // namespace zelbo
