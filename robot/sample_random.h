// The robots' own random numbers (splitmix64): fast, the same on every
// platform, and seeded from what the seat sees, so that a robot decides the
// same way whenever it is shown the same game.
#pragma once

#include <cstdint>
#include <cstddef>

namespace zelbo {

class SampleRandom {
 public:
  explicit SampleRandom(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // A number 0..n-1 (n >= 1).
  int Below(int n) { return static_cast<int>((Next() >> 33) % static_cast<uint64_t>(n)); }

 private:
  uint64_t state_;
};

// FNV-1a over bytes, to fold what a seat sees into a seed.
inline uint64_t HashBytes(uint64_t h, const void* data, std::size_t size) {
  const auto* p = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 0x100000001B3ull;
  return h;
}
constexpr uint64_t kHashStart = 0xCBF29CE484222325ull;

}  // namespace zelbo
