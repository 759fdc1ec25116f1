// Command line of zelbowin-robot.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace zelbo
