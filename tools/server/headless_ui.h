// The server's screen when there is none: pane lines go to standard output
// as they happen, and at the end of a game the hand records are written
// into the table's folder without asking.
#pragma once

#include <cstdio>
#include <string>

#include "net/server_table.h"

namespace zelbo {

class HeadlessUi : public ServerUi {
 public:
  explicit HeadlessUi(std::FILE* out = stdout) : out_(out) {}
  // Set once the table exists; the hand records are taken from it.
  void SetTable(const ServerTable* table) { table_ = table; }
  // Put before every line, so the lines of a club's tables can be told apart.
  void SetPrefix(std::string prefix) { prefix_ = std::move(prefix); }

  void PaneLineAdded(std::string_view line) override;
  void GameOver(const GameState& g) override;
  void ActionFramesSent() override;

  // For the crash drill: the process kills itself (SIGKILL) when the n-th
  // action's frames are out and its files are not yet written; 0 never.
  void KillBeforeFiles(long n) { killAt_ = n; }

  // Path of the last hand-records file written ("" for none).
  const std::string& lastRecords() const { return lastRecords_; }

 private:
  std::FILE* out_;
  std::string prefix_;
  const ServerTable* table_ = nullptr;
  std::string lastRecords_;
  long killAt_ = 0;
  long actions_ = 0;
};

// "handrecords-YYYYMMDD-HHMMSS.txt" for a UTC time.
std::string HandRecordsFileName(int64_t secondsSince1970);

}  // namespace zelbo
