// Command line of zelbowin-server: the robots' level and the takeover delay.
#include <gtest/gtest.h>

#include "tools/server/server_options.h"

namespace zelbo {
namespace {

TEST(ServerOptions, RobotLevelAndTakeoverDelay) {
  ServerOptions o;
  std::string error;
  ASSERT_TRUE(ParseServerOptions({"--robots", "2", "--robot-level", "easy", "--robot-takeover", "45"}, o,
                                 error))
      << error;
  EXPECT_EQ(o.robots, 2);
  EXPECT_EQ(o.robotLevel, RobotLevel::Easy);
  EXPECT_EQ(o.takeoverSeconds, 45);
  using Args = std::vector<std::string>;
  for (const Args& args : {Args{"--robot-level", "expert"}, Args{"--robot-level"}, Args{"--robot-takeover", "-3"},
                           Args{"--robot-takeover", "86401"}, Args{"--robot-takeover", "soon"}}) {
    error.clear();
    EXPECT_FALSE(ParseServerOptions(args, o, error) || error.empty()) << args[0];
  }
}

}  // namespace
}  // namespace zelbo
