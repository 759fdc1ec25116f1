#include "tools/robot/robot_options.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace zelbo {

std::string RobotUsage() {
  return "usage: zelbowin-robot [options]\n"
         "Joins a Zelbo table as a robot player and plays until the game ends.\n"
         "  --host H        server address or name (default 127.0.0.1)\n"
         "  --port N        server port (default 2118)\n"
         "  --handle NAME   the robot's handle (default Robot, at most 31 characters)\n"
         "  --seat S        south, west, north or east (default: the first empty seat)\n"
         "  --reconnect     after a lost connection, try again every second and sit\n"
         "                  in the same seat\n"
         "  --help          show this text\n";
}

int SeatFromName(const std::string& name) {
  std::string lower;
  for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower == "south") return 0;
  if (lower == "west") return 1;
  if (lower == "north") return 2;
  if (lower == "east") return 3;
  return -1;
}

bool ParseRobotOptions(const std::vector<std::string>& args, RobotOptions& options,
                       std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
      continue;
    }
    if (arg == "--reconnect") {
      options.reconnect = true;
      continue;
    }
    const bool takesValue = arg == "--host" || arg == "--port" || arg == "--handle" || arg == "--seat";
    if (!takesValue) {
      error = "unknown option " + arg;
      return false;
    }
    if (i + 1 >= args.size()) {
      error = arg + " needs a value";
      return false;
    }
    const std::string& value = args[++i];
    if (arg == "--host") {
      if (value.empty()) {
        error = "--host needs an address";
        return false;
      }
      options.host = value;
    } else if (arg == "--port") {
      char* end = nullptr;
      errno = 0;
      const unsigned long n = std::strtoul(value.c_str(), &end, 10);
      if (value.empty() || !std::isdigit(static_cast<unsigned char>(value[0])) || errno != 0 ||
          *end != '\0' || n < 1 || n > 65535) {
        error = "--port needs a number from 1 to 65535, not \"" + value + "\"";
        return false;
      }
      options.port = static_cast<uint16_t>(n);
    } else if (arg == "--handle") {
      if (value.empty() || value.size() > 31) {
        error = "--handle needs 1 to 31 characters";
        return false;
      }
      options.handle = value;
    } else {
      options.seat = SeatFromName(value);
      if (options.seat < 0) {
        error = "--seat needs south, west, north or east, not \"" + value + "\"";
        return false;
      }
    }
  }
  return true;
}

}  // namespace zelbo
