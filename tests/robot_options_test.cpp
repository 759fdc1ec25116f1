// Command line of zelbowin-robot.
#include <gtest/gtest.h>

#include "tools/robot/robot_options.h"

namespace zelbo {
namespace {

TEST(RobotOptions, ReadsEveryOption) {
  RobotOptions o;
  std::string error;
  ASSERT_TRUE(ParseRobotOptions({"--host", "10.0.0.7", "--port", "2119", "--handle", "Robbie",
                                 "--seat", "North", "--reconnect"},
                                o, error))
      << error;
  EXPECT_EQ(o.host, "10.0.0.7");
  EXPECT_EQ(o.port, 2119);
  EXPECT_EQ(o.handle, "Robbie");
  EXPECT_EQ(o.seat, 2);
  EXPECT_TRUE(o.reconnect);
  RobotOptions d;
  ASSERT_TRUE(ParseRobotOptions({}, d, error));
  EXPECT_EQ(d.port, 2118);
  EXPECT_EQ(d.seat, -1);
  EXPECT_FALSE(d.reconnect);
}

TEST(RobotOptions, RefusesBadValues) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--port", "0"},
                                             {"--port", "65536"},
                                             {"--port", "-5"},
                                             {"--port", "12ab"},
                                             {"--seat", "middle"},
                                             {"--handle", ""},
                                             {"--handle", std::string(32, 'x')},
                                             {"--host"},
                                             {"--fast"}}) {
    RobotOptions o;
    std::string error;
    EXPECT_FALSE(ParseRobotOptions(args, o, error)) << args[0];
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace zelbo
