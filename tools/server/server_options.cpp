#include "tools/server/server_options.h"

#include <cerrno>
#include <cstdlib>

namespace zelbo {

namespace {

bool ParseNumber(const std::string& text, unsigned long max, unsigned long& out) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return false;
  char* end = nullptr;
  errno = 0;
  const unsigned long v = std::strtoul(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v > max) return false;
  out = v;
  return true;
}

}  // namespace

std::string ServerUsage() {
  return "usage: zelbowin-server [options]\n"
         "Hosts a Zelbo table without a window; four players connect and sit.\n"
         "  --port N     port to listen on, every IPv4 interface (default 2118; 0 picks one)\n"
         "  --seed N     random seed of the deals (default 0: from the clock)\n"
         "  --dir DIR    folder for the autosave, undo and hand-records files\n"
         "               (default: the current directory)\n"
         "  --load FILE  start from a saved game, suspended until the table is full\n"
         "  --robots N   robot players take N empty seats (West, North, East, South)\n"
         "  --help       show this text\n";
}

bool ParseServerOptions(const std::vector<std::string>& args, ServerOptions& options,
                        std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      continue;
    }
    const bool takesValue = arg == "--port" || arg == "--seed" || arg == "--dir" || arg == "--load" ||
                            arg == "--robots";
    if (!takesValue) {
      error = "unknown option " + arg;
      return false;
    }
    if (i + 1 >= args.size()) {
      error = arg + " needs a value";
      return false;
    }
    const std::string& value = args[++i];
    unsigned long n = 0;
    if (arg == "--port") {
      if (!ParseNumber(value, 65535, n)) {
        error = "--port needs a number from 0 to 65535, not \"" + value + "\"";
        return false;
      }
      options.port = static_cast<uint16_t>(n);
    } else if (arg == "--seed") {
      if (!ParseNumber(value, 4294967295UL, n)) {
        error = "--seed needs a number from 0 to 4294967295, not \"" + value + "\"";
        return false;
      }
      options.seed = static_cast<uint32_t>(n);
    } else if (arg == "--dir") {
      if (value.empty()) {
        error = "--dir needs a folder";
        return false;
      }
      options.dir = value;
    } else if (arg == "--robots") {
      if (!ParseNumber(value, 4, n)) {
        error = "--robots needs a number from 0 to 4, not \"" + value + "\"";
        return false;
      }
      options.robots = static_cast<int>(n);
    } else {
      options.load = value;
    }
  }
  return true;
}

}  // namespace zelbo
