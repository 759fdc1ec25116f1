#include "tools/server/headless_ui.h"

#include <csignal>
#include <ctime>
#include <filesystem>

namespace zelbo {

void HeadlessUi::PaneLineAdded(std::string_view line) {
  std::fwrite(prefix_.data(), 1, prefix_.size(), out_);
  std::fwrite(line.data(), 1, line.size(), out_);
  std::fputc('\n', out_);
  std::fflush(out_);
}

void HeadlessUi::ActionFramesSent() {
  if (killAt_ > 0 && ++actions_ == killAt_) std::raise(SIGKILL);
}

std::string HandRecordsFileName(int64_t secondsSince1970) {
  const std::time_t t = static_cast<std::time_t>(secondsSince1970);
  std::tm utc{};
  gmtime_r(&t, &utc);
  char name[64];
  std::strftime(name, sizeof name, "handrecords-%Y%m%d-%H%M%S.txt", &utc);
  return name;
}

void HeadlessUi::GameOver(const GameState& g) {
  (void)g;
  if (!table_) return;
  // The file carries the time the game ended, as its archived copy does.
  const int64_t ended = table_->GameEndedAt();
  const std::filesystem::path path = std::filesystem::path(table_->Config().folder) / HandRecordsFileName(ended);
  std::string error;
  if (table_->WriteHandRecordsFile(path.string(), error, ended)) {
    lastRecords_ = path.string();
    std::fprintf(out_, "%sHand records written to %s\n", prefix_.c_str(), lastRecords_.c_str());
  } else {
    std::fprintf(out_, "%sHand records not written: %s\n", prefix_.c_str(), error.c_str());
  }
  std::fflush(out_);
}

}  // namespace zelbo
