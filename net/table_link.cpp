#include "net/table_link.h"

namespace zelbo {

namespace {

bool IdChar(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

bool HostChar(char c) {
  return IdChar(c) || c == '.' || c == '-' || c == ':' || c == '[' || c == ']';
}

}  // namespace

bool IsTableLink(std::string_view address) { return address.find("://") != std::string_view::npos; }

std::optional<std::string> TableSocketUrl(std::string_view link) {
  std::string scheme;
  if (link.substr(0, 7) == "http://") {
    scheme = "ws://";
    link.remove_prefix(7);
  } else if (link.substr(0, 8) == "https://") {
    scheme = "wss://";
    link.remove_prefix(8);
  } else {
    return std::nullopt;
  }
  const std::size_t slash = link.find('/');
  if (slash == 0 || slash == std::string_view::npos) return std::nullopt;
  const std::string_view host = link.substr(0, slash), path = link.substr(slash);
  for (char c : host)
    if (!HostChar(c)) return std::nullopt;
  // "/t/ID/" or "/t/ID", the id made of letters and digits.
  if (path.substr(0, 3) != "/t/") return std::nullopt;
  std::string_view id = path.substr(3);
  if (!id.empty() && id.back() == '/') id.remove_suffix(1);
  if (id.empty() || id.size() > 64) return std::nullopt;
  for (char c : id)
    if (!IdChar(c)) return std::nullopt;
  return scheme + std::string(host) + "/t/" + std::string(id) + "/ws";
}

}  // namespace zelbo
