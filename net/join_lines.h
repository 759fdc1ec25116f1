// JoinLines: "joined" and "left" lines are chat the crowd writes by coming
// and going, so they are rate-limited per client address like chat: a burst,
// then a few a second. The joins and leaves beyond that still happen; they
// are counted and told as one line per interval.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "net/rate_limit.h"

namespace zelbo {

class JoinLines {
 public:
  static constexpr RateLimit PerAddress{10, 500};
  static constexpr int64_t SummaryIntervalMs = 10000;

  // Whether a join or leave from `address` at `nowMs` is announced by its
  // own line; when not, it is counted for the summary. A connection whose
  // address the transport does not know (one inside the process) is not
  // limited.
  bool Announce(const std::string& address, int64_t nowMs) {
    if (address.empty()) return true;
    if (buckets_.size() > 4096) buckets_.clear();  // a crowd of addresses starts afresh
    auto it = buckets_.try_emplace(address, PerAddress).first;
    if (it->second.Take(nowMs)) return true;
    if (quiet_++ == 0) quietSinceMs_ = nowMs;
    return false;
  }

  // "N people joined and left" once an interval with quiet ones is over,
  // "" otherwise.
  std::string Summary(int64_t nowMs) {
    if (quiet_ == 0 || nowMs - quietSinceMs_ < SummaryIntervalMs) return {};
    const std::string line = std::to_string(quiet_) + (quiet_ == 1 ? " person" : " people") +
                             " joined and left";
    quiet_ = 0;
    return line;
  }

 private:
  std::map<std::string, RateLimit> buckets_;
  int quiet_ = 0;
  int64_t quietSinceMs_ = 0;
};

}  // namespace zelbo
