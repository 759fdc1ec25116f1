#include "hosting/table_id.h"

#include <sys/random.h>

#include <cerrno>

namespace zelbo {

namespace {
constexpr std::string_view Alphabet = "abcdefghijklmnopqrstuvwxyz234567";
}

std::string TableIdText(const std::array<uint8_t, 16>& bytes) {
  std::string text;
  uint32_t buffer = 0;
  int bits = 0;
  for (uint8_t b : bytes) {
    buffer = (buffer << 8) | b;
    bits += 8;
    while (bits >= 5) {
      text += Alphabet[(buffer >> (bits - 5)) & 31];
      bits -= 5;
    }
  }
  if (bits > 0) text += Alphabet[(buffer << (5 - bits)) & 31];
  return text;
}

std::string NewTableId() {
  std::array<uint8_t, 16> bytes{};
  std::size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t n = getrandom(bytes.data() + got, bytes.size() - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return {};
    got += static_cast<std::size_t>(n);
  }
  return TableIdText(bytes);
}

bool IsTableId(std::string_view text) {
  if (text == HouseTableId) return true;
  if (text.size() != TableIdLength) return false;
  for (char c : text)
    if (Alphabet.find(c) == std::string_view::npos) return false;
  return true;
}

}  // namespace zelbo
