#include "app/settings.h"

#include <cctype>

namespace zelbo {

std::string CutUtf8(std::string_view text, std::size_t bytes) {
  if (text.size() <= bytes) return std::string(text);
  std::size_t n = bytes;
  // Back off over continuation bytes so a multi-byte character is never cut.
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return std::string(text.substr(0, n));
}

bool IsPrivilegedHandle(std::string_view handle) {
  std::string_view want = PrivilegedHandle;
  if (handle.size() != want.size()) return false;
  for (std::size_t i = 0; i < want.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(handle[i])) != want[i]) return false;
  }
  return true;
}

}  // namespace zelbo
