// The robot's playing levels, in one table: every name the programs read,
// every menu entry, usage text and manual page that lists the levels comes
// from it. Adding a level is one row here and its play in RobotPlayer.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace zelbo {

enum class RobotLevel { Easy = 0, Normal = 1, Strong = 2 };

struct RobotLevelInfo {
  RobotLevel level;
  const char* name;      // as typed on a command line and stored in the settings
  const char* menuText;  // the Sit menu entry, with its shortcut letter
};

inline constexpr RobotLevelInfo RobotLevels[] = {
    // The normal robot that now and then takes a random allowed move.
    {RobotLevel::Easy, "easy", "Robots play &easy"},
    // The rule-of-thumb robot.
    {RobotLevel::Normal, "normal", "Robots play n&ormal"},
    // Looks ahead by playing sampled deals out.
    {RobotLevel::Strong, "strong", "Robots play s&trong"},
};
inline constexpr RobotLevel DefaultRobotLevel = RobotLevel::Normal;

// A level's name in any letter case; false for anything else.
bool ParseRobotLevel(std::string_view text, RobotLevel& level);
const char* RobotLevelName(RobotLevel level);
// The names as a list for texts: "easy, normal or strong", with
// `defaultMark` (e.g. " (default)") after the default level's name.
std::string RobotLevelChoices(std::string_view defaultMark = {});

}  // namespace zelbo
