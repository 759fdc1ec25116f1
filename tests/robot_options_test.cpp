// Command line of zelbowin-robot, and the robot levels it reads.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tools/robot/robot_options.h"

namespace zelbo {
namespace {

TEST(RobotOptions, ReadsEveryOptionAndRefusesBadValues) {
  RobotOptions o;
  std::string error;
  ASSERT_TRUE(ParseRobotOptions({"--host", "10.0.0.7", "--port", "2119", "--handle", "Robbie",
                                 "--seat", "North", "--reconnect", "--level", "Strong"}, o, error)) << error;
  EXPECT_TRUE(o.host == "10.0.0.7" && o.port == 2119 && o.handle == "Robbie" && o.seat == 2 && o.reconnect);
  EXPECT_EQ(o.level, RobotLevel::Strong);
  using Args = std::vector<std::string>;
  for (const Args& args : {Args{"--port", "0"}, Args{"--port", "65536"}, Args{"--port", "-5"},
                           Args{"--port", "12ab"}, Args{"--seat", "middle"}, Args{"--handle", ""},
                           Args{"--handle", std::string(32, 'x')}, Args{"--host"}, Args{"--fast"},
                           Args{"--level", "hard"}, Args{"--level"}}) {
    error.clear();
    EXPECT_FALSE(ParseRobotOptions(args, o, error) || error.empty()) << args[0];
  }
}

// The manual page that the others refer to for the levels lists every
// level of the table, the default marked; each name reads back as its level.
TEST(RobotLevels, TheManualPageListsTheTable) {
  std::ifstream file(std::string(ZELBO_PACKAGING_DIR) + "/zelbowin-robot.6");
  ASSERT_TRUE(file) << "no manual page";
  std::stringstream page;
  page << file.rdbuf();
  EXPECT_NE(page.str().find(RobotLevelChoices(" (the default)") + "."), std::string::npos)
      << "the --level entry does not list: " << RobotLevelChoices(" (the default)");
  for (const RobotLevelInfo& row : RobotLevels) {
    RobotLevel level{};
    std::string upper = row.name;
    for (char& c : upper) c = static_cast<char>(c - 'a' + 'A');
    EXPECT_TRUE(ParseRobotLevel(upper, level) && level == row.level) << row.name;
  }
}

}  // namespace
}  // namespace zelbo
