// FileWriter: where a table hands the files of an action (and a store its
// jobs) once the event thread is done with them. A writer may run them on
// a thread of its own (DiskWriter) or at once (ImmediateFileWriter); the
// caller's code is the same for both.
//
// Work is handed over per key, and a newer hand-over for a key replaces an
// older one that has not begun: only the newest state of each key is
// written, and what a key holds never goes back to an older state. Keys
// are independent: no order between them is promised.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "records/file_io.h"

namespace zelbo {

// Told how a hand-over ended, on the thread that owns the writer: ok, or
// false with the reason (naming the file). Never told for a hand-over that
// a newer one of the same key replaced.
using WriteDone = std::function<void(bool ok, const std::string& error)>;
// A store's own job, run by the writer: true when done, otherwise false
// with the reason in `error`.
using WriteJob = std::function<bool(std::string& error)>;
// The bytes of a file, made by the writer when the file's turn comes: true
// with `bytes` filled, otherwise false with the reason in `error` (and the
// file is left as it was).
using MakeBytes = std::function<bool(std::vector<uint8_t>& bytes, std::string& error)>;

class FileWriter {
 public:
  virtual ~FileWriter() = default;
  // Replaces the file `path` by the bytes `make` makes, as
  // WriteFileAtomically does: the file holds the old bytes or the new ones,
  // never a part. The key is the path. The bytes are made on the writer's
  // side: the work leaves the caller's thread, and is skipped for a state
  // that a newer one replaces before its turn. When `make` fails, the file
  // is left as it was and `done` is told why.
  virtual void ReplaceMade(std::filesystem::path path, MakeBytes make, FileDurability durability,
                           WriteDone done) = 0;
  // As ReplaceMade, with the bytes made already.
  void Replace(std::filesystem::path path, std::vector<uint8_t> bytes, FileDurability durability,
               WriteDone done) {
    ReplaceMade(std::move(path),
                [bytes = std::move(bytes)](std::vector<uint8_t>& out, std::string&) mutable {
                  out = std::move(bytes);
                  return true;
                },
                durability, std::move(done));
  }
  // Runs `job` under `key` (keys of jobs and paths of files do not meet).
  virtual void Submit(std::string key, WriteJob job, WriteDone done) = 0;
  // Returns once everything handed over before the call has been written
  // or has failed. The outcomes are told as usual, later.
  virtual void Flush() = 0;
  // Flush, then tells every outcome that waits, here and now.
  virtual void Drain() = 0;
};

// Writes at once on the calling thread and tells the outcome before
// returning: for programs and tests without a writer thread.
class ImmediateFileWriter final : public FileWriter {
 public:
  void ReplaceMade(std::filesystem::path path, MakeBytes make, FileDurability durability,
                   WriteDone done) override {
    std::vector<uint8_t> bytes;
    std::string error;
    const bool ok = make(bytes, error) && WriteFileAtomically(path, bytes, error, durability);
    if (done) done(ok, error);
  }
  void Submit(std::string key, WriteJob job, WriteDone done) override {
    (void)key;
    std::string error;
    const bool ok = job(error);
    if (done) done(ok, error);
  }
  void Flush() override {}
  void Drain() override {}
};

}  // namespace zelbo
