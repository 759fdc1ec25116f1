#include "web/content_coding.h"

#include <cctype>

namespace zelbo {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// Calls `each` with every comma-separated item of a header value, trimmed.
template <typename Each>
void ForEachItem(std::string_view value, Each each) {
  while (!value.empty()) {
    const std::size_t comma = value.find(',');
    each(Trim(value.substr(0, comma)));
    if (comma == std::string_view::npos) break;
    value.remove_prefix(comma + 1);
  }
}

// Whether `item` ("gzip", "br;q=0.5", ...) names `coding` with a weight above zero.
bool Accepts(std::string_view item, std::string_view coding) {
  const std::size_t semicolon = item.find(';');
  if (!SameLetters(Trim(item.substr(0, semicolon)), coding)) return false;
  if (semicolon == std::string_view::npos) return true;
  std::string_view params = item.substr(semicolon + 1);
  const std::size_t q = params.find("q=");
  if (q == std::string_view::npos) return true;
  // "q=0", "q=0.0", "q=0.000" refuse; any other digit above zero accepts.
  for (const char c : params.substr(q + 2)) {
    if (c >= '1' && c <= '9') return true;
    if (c != '0' && c != '.') break;
  }
  return false;
}

}  // namespace

ContentCoding ChooseContentCoding(std::string_view acceptEncoding, bool haveGzip, bool haveBrotli) {
  bool br = false, gzip = false;
  ForEachItem(acceptEncoding, [&](std::string_view item) {
    br = br || Accepts(item, "br");
    gzip = gzip || Accepts(item, "gzip");
  });
  if (br && haveBrotli) return ContentCoding::Brotli;
  if (gzip && haveGzip) return ContentCoding::Gzip;
  return ContentCoding::Identity;
}

std::string_view ContentCodingName(ContentCoding coding) {
  switch (coding) {
    case ContentCoding::Gzip:
      return "gzip";
    case ContentCoding::Brotli:
      return "br";
    case ContentCoding::Identity:
      break;
  }
  return "";
}

std::string StrongEntityTag(std::string_view bytes) {
  uint64_t h = 1469598103934665603ull;  // FNV-1a
  for (const char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 1099511628211ull;
  }
  static constexpr char Hex[] = "0123456789abcdef";
  std::string tag = "\"";
  for (int shift = 60; shift >= 0; shift -= 4) tag += Hex[(h >> shift) & 15];
  return tag + "\"";
}

bool EntityTagMatches(std::string_view ifNoneMatch, std::string_view tag) {
  bool match = false;
  ForEachItem(ifNoneMatch, [&](std::string_view item) {
    if (item.substr(0, 2) == "W/") item.remove_prefix(2);  // weak comparison, as for GET
    match = match || item == "*" || item == tag;
  });
  return match;
}

}  // namespace zelbo
