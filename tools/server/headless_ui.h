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

  void PaneLineAdded(std::string_view line) override;
  void GameOver(const GameState& g) override;

  // Path of the last hand-records file written ("" for none).
  const std::string& lastRecords() const { return lastRecords_; }

 private:
  std::FILE* out_;
  const ServerTable* table_ = nullptr;
  std::string lastRecords_;
};

// "handrecords-YYYYMMDD-HHMMSS.txt" for a UTC time.
std::string HandRecordsFileName(int64_t secondsSince1970);

}  // namespace zelbo
