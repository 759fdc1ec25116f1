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
  for (RobotLevel l : {RobotLevel::Easy, RobotLevel::Normal, RobotLevel::Strong}) {
    if (SameWord(text, RobotLevelName(l))) {
      level = l;
      return true;
    }
  }
  return false;
}

const char* RobotLevelName(RobotLevel level) {
  switch (level) {
    case RobotLevel::Easy: return "easy";
    case RobotLevel::Strong: return "strong";
    case RobotLevel::Normal: break;
  }
  return "normal";
}

}  // namespace zelbo
