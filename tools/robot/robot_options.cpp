#include "tools/robot/robot_options.h"

#include <cctype>

#include "tools/cli_options.h"

namespace zelbo {

std::string RobotUsage() {
  return "usage: zelbowin-robot [options]\n"
         "Joins a Zelbo table as a robot player and plays until the game ends.\n"
         "  --host H        server address or name (default 127.0.0.1)\n"
         "  --port N        server port (default " + std::to_string(DefaultPort) + ")\n"
         "  --handle NAME   the robot's handle (default Robot, at most " + std::to_string(MaxHandleLength) + " characters)\n"
         "  --seat S        south, west, north or east (default: the first empty seat)\n"
         "  --level L       " + RobotLevelChoices(" (default)") + "\n"
         "  --reconnect     after a lost connection, try again every second and sit\n"
         "                  in the same seat\n"
         "  --help          show this text\n"
         "  --version       show the version\n";
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
  auto take = [&](const std::string& arg, const std::string& value, std::string& refusal) {
    unsigned long n = 0;
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--reconnect") {
      options.reconnect = true;
    } else if (arg == "--host") {
      if (value.empty()) return Refuse(refusal, "--host needs an address");
      options.host = value;
    } else if (arg == "--port") {
      if (!std::isdigit(static_cast<unsigned char>(value.empty() ? ' ' : value[0])) ||
          !ParseNumber(value, 65535, n) || n < 1)
        return Refuse(refusal, "--port needs a number from 1 to 65535, not \"" + value + "\"");
      options.port = static_cast<uint16_t>(n);
    } else if (arg == "--handle") {
      if (value.empty() || value.size() > MaxHandleLength)
        return Refuse(refusal, "--handle needs 1 to " + std::to_string(MaxHandleLength) + " characters");
      options.handle = value;
    } else if (arg == "--level") {
      if (!ParseRobotLevel(value, options.level))
        return Refuse(refusal, "--level needs " + RobotLevelChoices() + ", not \"" + value + "\"");
    } else {
      options.seat = SeatFromName(value);
      if (options.seat < 0) return Refuse(refusal, "--seat needs south, west, north or east, not \"" + value + "\"");
    }
    return true;
  };
  return ParseOptionList(args, {"--help", "-h", "--version", "--reconnect"},
                         {"--host", "--port", "--handle", "--seat", "--level"}, take, error);
}

}  // namespace zelbo
