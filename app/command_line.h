// The command-line reader: pre-fills the start mode, the server address and
// the handle for the Setup dialog. Nothing starts from the command line alone.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/settings.h"

namespace zelbo {

// Cuts one command-line text into tokens: a double quote switches quoting on
// or off and is dropped; an unquoted space ends a token. Each single space
// ends a token, so two spaces in a row give an empty token. Empty text gives
// no token.
std::vector<std::string> SplitCommandLine(std::string_view text);

// Applies one token ("IP=", "mode=client", "mode=server", "handle=",
// "robots=N" with N 0..4, "web=PORT" with PORT 0..65535,
// "robot-level=LEVEL" (a RobotLevels name), "takeover=SECONDS" with SECONDS 0..86400,
// keys in any letter case). Returns false for a token it does not know, with
// the line that names it in `error`.
bool ApplyArgument(std::string_view token, Settings& settings, std::string& error);

// Reads a whole command-line text; returns the messages for unknown tokens,
// in order.
std::vector<std::string> ReadCommandLine(std::string_view text, Settings& settings);

// Reads arguments that the system has already split (argv without the
// program name); each is one token. Returns the messages for unknown ones.
std::vector<std::string> ReadArguments(const std::vector<std::string>& args,
                                       Settings& settings);

// "--help" and "--version" are answered on standard output before any window
// opens (they work without a display); the first of them in `args` counts.
enum class InfoRequest { None, Help, Version };
InfoRequest FindInfoRequest(const std::vector<std::string>& args);

// The --help text of the desktop program.
std::string DesktopUsage();

}  // namespace zelbo
