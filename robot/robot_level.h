// The robot's playing levels. `easy` is the normal robot that now and then
// takes a random allowed move, `normal` the rule-of-thumb robot, `strong`
// the robot that looks ahead by playing sampled deals out.
#pragma once

#include <string>
#include <string_view>

namespace zelbo {

enum class RobotLevel { Easy = 0, Normal = 1, Strong = 2 };

// "easy", "normal" or "strong" in any letter case; false for anything else.
bool ParseRobotLevel(std::string_view text, RobotLevel& level);
const char* RobotLevelName(RobotLevel level);

}  // namespace zelbo
