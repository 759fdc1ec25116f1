#include "tools/cli_options.h"

#include <cerrno>
#include <cstdlib>

namespace zelbo {

namespace {

bool Among(const std::string& name, std::initializer_list<const char*> names) {
  for (const char* n : names)
    if (name == n) return true;
  return false;
}

}  // namespace

bool ParseOptionList(const std::vector<std::string>& args,
                     std::initializer_list<const char*> switches,
                     std::initializer_list<const char*> valued,
                     const std::function<bool(const std::string& name, const std::string& value,
                                              std::string& error)>& take,
                     std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string value;
    if (!Among(arg, switches)) {
      if (!Among(arg, valued)) {
        error = "unknown option " + arg;
        return false;
      }
      if (i + 1 >= args.size()) {
        error = arg + " needs a value";
        return false;
      }
      value = args[++i];
    }
    if (!take(arg, value, error)) return false;
  }
  return true;
}

bool ParseNumber(const std::string& text, unsigned long max, unsigned long& out) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  char* end = nullptr;
  errno = 0;
  const unsigned long v = std::strtoul(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v > max) return false;
  out = v;
  return true;
}

}  // namespace zelbo
