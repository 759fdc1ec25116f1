#include "robot/robot_level.h"

#include <cctype>

namespace zelbo {

namespace {

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) return false;
  }
  return true;
}

}  // namespace

bool ParseRobotLevel(std::string_view text, RobotLevel& level) {
  for (const RobotLevelInfo& row : RobotLevels) {
    if (SameWord(text, row.name)) {
      level = row.level;
      return true;
    }
  }
  return false;
}

const char* RobotLevelName(RobotLevel level) {
  for (const RobotLevelInfo& row : RobotLevels)
    if (row.level == level) return row.name;
  return RobotLevelName(DefaultRobotLevel);
}

std::string RobotLevelChoices(std::string_view defaultMark) {
  constexpr std::size_t n = std::size(RobotLevels);
  std::string text;
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0) text += i + 1 == n ? " or " : ", ";
    text += RobotLevels[i].name;
    if (RobotLevels[i].level == DefaultRobotLevel) text += defaultMark;
  }
  return text;
}

}  // namespace zelbo
