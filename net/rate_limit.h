// RateLimit: a token bucket for requests that a peer may send often but
// whose answers cost the server much more than the request (a resend of the
// whole state, a chat line relayed to every connection). The bucket starts
// full; each request takes one token and a token comes back every
// `msPerToken`, up to `capacity`. The server keeps one per connection and
// kind of request, and says so to the sender the first time one is refused.
#pragma once

#include <cstdint>

namespace zelbo {

class RateLimit {
 public:
  constexpr RateLimit(int capacity, int64_t msPerToken)
      : capacity_(capacity), msPerToken_(msPerToken), tokens_(capacity) {}

  // Takes a token at `nowMs` (a monotonic clock); false when none is left.
  bool Take(int64_t nowMs) {
    if (!started_) {
      started_ = true;
      refilledAtMs_ = nowMs;
    }
    const int64_t elapsed = nowMs - refilledAtMs_;
    if (elapsed >= msPerToken_) {
      const int64_t earned = elapsed / msPerToken_;
      if (earned >= capacity_ - tokens_) {
        tokens_ = capacity_;
        refilledAtMs_ = nowMs;
      } else {
        tokens_ += static_cast<int>(earned);
        refilledAtMs_ += earned * msPerToken_;
      }
    } else if (elapsed < 0) {
      refilledAtMs_ = nowMs;  // a clock that went back restarts the count
    }
    if (tokens_ == 0) return false;
    --tokens_;
    return true;
  }

  // Whether the sender has been told of a refusal (told once per bucket).
  bool told() const { return told_; }
  void setTold() { told_ = true; }

 private:
  int capacity_;
  int64_t msPerToken_;
  int tokens_;
  int64_t refilledAtMs_ = 0;
  bool started_ = false;
  bool told_ = false;
};

// Chat lines: a typed paragraph is cut into several lines at once, so a
// burst of 20 passes; then four lines a second.
constexpr RateLimit ChatLineLimit{20, 250};
// MsgResendAll: each answer is the whole state to every connection; a
// client needs it after a join or a change of view, not more often.
constexpr RateLimit ResendLimit{3, 2000};

}  // namespace zelbo
