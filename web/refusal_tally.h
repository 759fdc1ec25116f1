// RefusalTally: the log of a door under attack stays readable. The first
// refusal of a kind is logged at once; further ones of that kind are counted
// and logged as one line with the count when the minute is over.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace zelbo {

class RefusalTally {
 public:
  static constexpr int64_t IntervalMs = 60000;

  // Counts a refusal of `kind` at `nowMs`; returns the line to log now, or
  // "" when it is only counted.
  std::string Note(const std::string& kind, int64_t nowMs) {
    Entry& e = entries_[kind];
    if (e.since < 0) {
      e = {nowMs, 0};
      return "web door refused: " + kind;
    }
    ++e.count;
    return {};
  }

  // The summary lines of intervals that are over at `nowMs`.
  std::vector<std::string> Due(int64_t nowMs) {
    std::vector<std::string> lines;
    for (auto& [kind, e] : entries_) {
      if (e.since < 0 || nowMs - e.since < IntervalMs) continue;
      if (e.count > 0)
        lines.push_back("web door refused " + std::to_string(e.count) + " more in the last minute: " + kind);
      e = {e.count > 0 ? nowMs : -1, 0};
    }
    return lines;
  }

 private:
  struct Entry {
    int64_t since = -1;  // start of the interval, -1 when quiet
    int count = 0;       // refusals counted but not yet logged
  };
  std::map<std::string, Entry> entries_;
};

}  // namespace zelbo
