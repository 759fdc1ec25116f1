// DiskWriter: one thread that writes the files of every table in the
// process, so that no table waits for the disk on the event thread.
//
// The event thread hands over the newest state of a file and goes on. The
// thread takes everything that waits as one batch (group commit): it makes
// the bytes of each file and writes them to a temporary file, syncs the
// durable ones, renames them all into place and then syncs each folder
// once (several durable files on one file system: that file system,
// before and after the renames), so a batch of many tables costs about the
// waits of one. What arrives meanwhile waits for
// the next batch, and a newer state of a file replaces the waiting one.
// A batch is at most the time of one batch behind the newest hand-over:
// that is what a crash of the system can lose (the commit window).
//
// Given a folder for spares, a file written again is written into the
// inode of its state before last and swapped into place (SpareFiles), so
// the steady stream of files creates and deletes no inodes.
//
// Outcomes are told on the owner's thread: the writer calls `wake` from
// its thread when some wait, and the owner then calls DeliverOutcomes.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "records/file_writer.h"
#include "records/spare_files.h"

namespace zelbo {

// Counts since the writer started, for benches and the log.
struct DiskWriterStats {
  long batches = 0;
  long files = 0;       // files replaced or failed
  long jobs = 0;
  long replaced = 0;    // hand-overs replaced by a newer one before their batch
  long syncs = 0;       // fdatasync of files and fsync of folders
  long failures = 0;
  // With KeepCommitTimes: for each file or job, the microseconds from its
  // hand-over until it was on the disk (or failed).
  std::vector<double> commitMicros;
};

// "B batches, F files, S syncs, X failures" for the log.
std::string WriterSummary(const DiskWriterStats& stats);

class DiskWriter final : public FileWriter {
 public:
  // `wake` runs on the writer's thread whenever outcomes begin to wait;
  // it must only arrange for DeliverOutcomes to be called on the owner's
  // thread, and return at once.
  // `spareParent`, when given, is where the folder of spares is made; it
  // should be on the file system of the files written.
  explicit DiskWriter(std::function<void()> wake, const std::filesystem::path& spareParent = {});
  // Writes what waits, then stops the thread. Outcomes not yet delivered
  // are dropped.
  ~DiskWriter() override;
  DiskWriter(const DiskWriter&) = delete;
  DiskWriter& operator=(const DiskWriter&) = delete;

  void ReplaceMade(std::filesystem::path path, MakeBytes make, FileDurability durability,
                   WriteDone done) override;
  void Submit(std::string key, WriteJob job, WriteDone done) override;
  void Flush() override;
  void Drain() override;

  // Tells the outcomes that wait, in the order their batches ended. Only
  // on the owner's thread.
  void DeliverOutcomes();

  void KeepCommitTimes(bool keep);
  DiskWriterStats Stats() const;

 private:
  using Clock = std::chrono::steady_clock;
  struct Item {
    std::string key;
    bool isFile = true;
    std::filesystem::path path;
    std::vector<uint8_t> bytes;
    MakeBytes make;  // fills `bytes` in the batch
    FileDurability durability = FileDurability::Atomic;
    WriteJob job;
    WriteDone done;
    Clock::time_point handedOver;
    // Filled by the batch.
    std::filesystem::path tempPath;
    bool spared = false;  // tempPath is the file's spare
    bool ok = false;
    std::string error;
  };
  struct Outcome {
    WriteDone done;
    bool ok;
    std::string error;
  };

  void HandOver(Item item);
  void Run();
  // Writes one batch; fills each item's ok and error. Returns the syncs.
  long WriteBatch(std::vector<Item>& batch);
  // From this many durable files on one file system, a batch syncs the
  // file system instead of each file and folder: the first of them, or
  // nullptr when the batch syncs file by file.
  static constexpr int GroupedSyncFrom = 3;
  static const Item* GroupedSync(const std::vector<Item>& batch);

  std::function<void()> wake_;
  mutable std::mutex mutex_;
  std::condition_variable work_;     // the thread waits for items
  std::condition_variable written_;  // Flush waits for batches
  std::vector<Item> waiting_;
  std::unordered_map<std::string, std::size_t> waitingIndex_;  // key -> place in waiting_
  uint64_t handedOver_ = 0;  // hand-overs so far
  uint64_t finished_ = 0;    // hand-overs whose batch has ended
  std::deque<Outcome> outcomes_;
  bool stopping_ = false;
  bool keepCommitTimes_ = false;
  DiskWriterStats stats_;
  std::unique_ptr<SpareFiles> spares_;  // used by the thread only
  std::thread thread_;  // last: starts once the rest is ready
};

}  // namespace zelbo
