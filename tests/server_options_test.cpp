// Command line of zelbowin-server.
#include <gtest/gtest.h>

#include "tools/server/server_options.h"

namespace zelbo {
namespace {

using Args = std::vector<std::string>;

TEST(ServerOptions, ReadsEveryOptionAndRefusesResumeWithLoad) {
  ServerOptions o;
  std::string error;
  ASSERT_TRUE(ParseServerOptions({"--port", "2119", "--seed", "9", "--dir", "/srv/t", "--resume",
                                  "--robots", "3", "--web", "8118"},
                                 o, error))
      << error;
  EXPECT_TRUE(o.port == 2119 && o.seed == 9 && o.dir == "/srv/t" && o.resume && o.robots == 3 &&
              o.web == 8118 && o.load.empty() && !o.version && !o.help);

  EXPECT_TRUE(o.watchersSeeHands);  // the default
  ASSERT_TRUE(ParseServerOptions({"--watchers-see-hands", "no"}, o, error)) << error;
  EXPECT_FALSE(o.watchersSeeHands);
  EXPECT_FALSE(ParseServerOptions({"--watchers-see-hands", "maybe"}, o, error));
  EXPECT_NE(error.find("yes or no"), std::string::npos) << error;

  o = {};
  ASSERT_TRUE(ParseServerOptions({"--version"}, o, error));
  EXPECT_TRUE(o.version && !o.help && !o.resume);

  // Resuming the autosave and loading another file would fight over the game.
  for (const Args& args : {Args{"--resume", "--load", "g.zelbo"}, Args{"--load", "g.zelbo", "--resume"}}) {
    o = {};
    error.clear();
    EXPECT_FALSE(ParseServerOptions(args, o, error));
    EXPECT_NE(error.find("--resume"), std::string::npos) << error;
  }
  for (const Args& args : {Args{"--resume=yes"}, Args{"--version", "--bogus"}, Args{"--load"}}) {
    error.clear();
    EXPECT_FALSE(ParseServerOptions(args, o, error) || error.empty()) << args[0];
  }
}

TEST(ServerOptions, RobotLevelAndTakeoverDelay) {
  ServerOptions o;
  std::string error;
  ASSERT_TRUE(ParseServerOptions({"--robots", "2", "--robot-level", "easy", "--robot-takeover", "45",
                                  "--table-robots", "4"},
                                 o, error))
      << error;
  EXPECT_EQ(o.robots, 2);
  EXPECT_EQ(o.tableRobots, 4);
  EXPECT_EQ(o.robotLevel, RobotLevel::Easy);
  EXPECT_EQ(o.takeoverSeconds, 45);
  for (const Args& args : {Args{"--robot-level", "expert"}, Args{"--robot-level"}, Args{"--robot-takeover", "-3"},
                           Args{"--robot-takeover", "86401"}, Args{"--robot-takeover", "soon"},
                           Args{"--table-robots", "0"}, Args{"--table-robots", "5"}}) {
    error.clear();
    EXPECT_FALSE(ParseServerOptions(args, o, error) || error.empty()) << args[0];
  }
}

}  // namespace
}  // namespace zelbo
