// The fixed pseudo-random generator with which games are dealt, so that a
// seed reproduces the same 28 deals on every platform.
#pragma once

#include <cstdint>

namespace zelbo {

class Random {
 public:
  explicit Random(uint32_t seed = 1) : state_(seed) {}
  void Seed(uint32_t seed) { state_ = seed; }
  // Next value 0..32767.
  int Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
  }

 private:
  uint32_t state_;
};

}  // namespace zelbo
