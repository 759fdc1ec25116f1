#include "app/display_check.h"

namespace zelbo {
namespace {

bool EntryWorks(std::string_view name, std::string_view display, std::string_view wayland) {
  // Options after a colon (e.g. "xcb:nomitshm") do not change what is needed.
  name = name.substr(0, name.find(':'));
  if (name.empty()) return !display.empty() || !wayland.empty();
  if (name == "xcb") return !display.empty();
  if (name.rfind("wayland", 0) == 0) return !wayland.empty();
  return true;
}

}  // namespace

bool DisplayAvailable(std::string_view platform, std::string_view display,
                      std::string_view waylandDisplay) {
  if (platform.empty()) return EntryWorks({}, display, waylandDisplay);
  while (true) {
    std::size_t semi = platform.find(';');
    if (EntryWorks(platform.substr(0, semi), display, waylandDisplay)) return true;
    if (semi == std::string_view::npos) return false;
    platform.remove_prefix(semi + 1);
  }
}

}  // namespace zelbo
