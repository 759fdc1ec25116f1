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

bool ApplyArgument(std::string_view token, Settings& settings) {
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
  } else {
    return false;
  }
  return true;
}

std::string UnknownArgumentMessage(std::string_view token) {
  return "Unknown command line argument '" + std::string(token) + "' - ignored";
}

std::vector<std::string> ReadArguments(const std::vector<std::string>& args,
                                       Settings& settings) {
  std::vector<std::string> messages;
  for (const std::string& token : args) {
    if (!ApplyArgument(token, settings)) messages.push_back(UnknownArgumentMessage(token));
  }
  return messages;
}

std::vector<std::string> ReadCommandLine(std::string_view text, Settings& settings) {
  return ReadArguments(SplitCommandLine(text), settings);
}

}  // namespace zelbo
