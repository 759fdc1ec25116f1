#include "app/command_line.h"

#include <cctype>

namespace zelbo {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  }
  return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && StartsWithNoCase(a, b);
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view text) {
  std::vector<std::string> tokens;
  std::size_t i = 0;
  while (i < text.size()) {
    std::string token;
    bool quoting = false;
    while (i < text.size()) {
      char c = text[i++];
      if (c == '"') {
        quoting = !quoting;
      } else if (c == ' ' && !quoting) {
        break;
      } else {
        token.push_back(c);
      }
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

namespace {

// A number 0..max (max below 100000) written with one to five digits.
bool ParseSmallNumber(std::string_view text, int32_t max, int32_t& value) {
  if (text.empty() || text.size() > 5) return false;
  int32_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  if (n > max) return false;
  value = n;
  return true;
}

}  // namespace

bool ApplyArgument(std::string_view token, Settings& settings, std::string& error) {
  bool known = true;
  if (StartsWithNoCase(token, "IP=")) {
    // Longer addresses are cut to what the setting holds.
    settings.serverAddress = CutUtf8(token.substr(3), MaxServerAddress);
  } else if (EqualsNoCase(token, "mode=client")) {
    settings.startMode = StartModeClient;
  } else if (EqualsNoCase(token, "mode=server")) {
    settings.startMode = StartModeServer;
  } else if (StartsWithNoCase(token, "handle=")) {
    settings.handle = CutUtf8(token.substr(7), MaxHandleLength);
  } else if (StartsWithNoCase(token, "robots=") && token.size() == 8 && token[7] >= '0' &&
             token[7] <= '4') {
    settings.robots = token[7] - '0';
  } else if (StartsWithNoCase(token, "robot-level=")) {
    known = ParseRobotLevel(token.substr(12), settings.robotPlayLevel);
  } else if (StartsWithNoCase(token, "takeover=")) {
    known = ParseSmallNumber(token.substr(9), MaxTakeoverSeconds, settings.takeoverSeconds);
  } else if (StartsWithNoCase(token, "web=")) {
    known = ParseSmallNumber(token.substr(4), 65535, settings.webPort);
  } else {
    known = false;
  }
  if (!known) error = "Unknown command line argument '" + std::string(token) + "' - ignored";
  return known;
}

std::vector<std::string> ReadArguments(const std::vector<std::string>& args,
                                       Settings& settings) {
  std::vector<std::string> messages;
  for (const std::string& token : args) {
    std::string error;
    if (!ApplyArgument(token, settings, error)) messages.push_back(error);
  }
  return messages;
}

std::vector<std::string> ReadCommandLine(std::string_view text, Settings& settings) {
  return ReadArguments(SplitCommandLine(text), settings);
}

InfoRequest FindInfoRequest(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") return InfoRequest::Help;
    if (arg == "--version") return InfoRequest::Version;
  }
  return InfoRequest::None;
}

std::string DesktopUsage() {
  return "usage: zelbowin [KEY=VALUE ...]\n"
         "Plays Zelbo at a table over TCP, as the server or as a client. The\n"
         "arguments only pre-fill the Setup dialog, which opens at every start;\n"
         "keys are read in any letter case.\n"
         "  IP=ADDRESS    the server to join (IPv4 address or host name)\n"
         "  handle=NAME   your name at the table (at most 31 characters)\n"
         "  mode=client   tick Client in Setup\n"
         "  mode=server   tick Server in Setup\n"
         "  robots=N      as the server, N robots (0 to 4) take the empty seats\n"
         "  web=PORT      as the server, let browsers play on PORT too\n"
         "  robot-level=L the robots' level: " + RobotLevelChoices(" (default)") + "\n"
         "  --help        show this text\n"
         "  --version     show the version\n"
         "Without a display, use zelbowin-server to host a table.\n";
}

}  // namespace zelbo
