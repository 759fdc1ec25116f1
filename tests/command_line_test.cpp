#include "app/command_line.h"

#include <gtest/gtest.h>

namespace zelbo {
namespace {

TEST(CommandLine, TokensFillTheSettingsAndUnknownOnesAreNamed) {
  const std::string longName(40, 'x'), name30(30, 'a');
  const struct {
    bool whole;  // one text to cut up, or arguments the system already split
    std::vector<std::string> input;
    std::string handle, address;
    int mode, robots;
    std::vector<std::string> unknown;
  } cases[] = {
      {true, {""}, "", "", StartModeNone, 0, {}},
      {true, {"handle=Ann mode=server"}, "Ann", "", StartModeServer, 0, {}},
      {true, {"mode=client "}, "", "", StartModeClient, 0, {}},  // no token after the last blank
      {true, {"HANDLE=Ann ip=10.0.0.2 mode=Server"}, "Ann", "10.0.0.2", StartModeServer, 0, {}},
      {true, {"mode=serverx"}, "", "", StartModeNone, 0, {"mode=serverx"}},
      // Quotes keep spaces and are dropped, also in the middle of a token.
      {true, {"\"handle=Blue Team\""}, "Blue Team", "", StartModeNone, 0, {}},
      {true, {"handle=\"Red Team\""}, "Red Team", "", StartModeNone, 0, {}},
      {true, {"handle=Blue Team"}, "Blue", "", StartModeNone, 0, {"Team"}},
      {true, {" handle=Ann  mode=client"}, "Ann", "", StartModeClient, 0, {"", ""}},
      // Cut to what the settings hold, never inside a character.
      {true, {"handle=" + longName}, longName.substr(0, 31), "", StartModeNone, 0, {}},
      {true, {"handle=" + name30 + "\xC3\xA9"}, name30, "", StartModeNone, 0, {}},
      {true, {"IP=" + std::string(300, '1')}, "", std::string(MaxServerAddress, '1'),
       StartModeNone, 0, {}},
      {false, {"handle=Blue Team", "", "IP=1.2.3.4"}, "Blue Team", "1.2.3.4", StartModeNone, 0,
       {""}},
      {false, {"ROBOTS=3"}, "", "", StartModeNone, 3, {}},
      {false, {"robots=5", "robots=", "robots=-1", "robots=33", "robots=x"}, "", "",
       StartModeNone, 0, {"robots=5", "robots=", "robots=-1", "robots=33", "robots=x"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input[0]);
    Settings s;
    const std::vector<std::string> messages =
        c.whole ? ReadCommandLine(c.input[0], s) : ReadArguments(c.input, s);
    std::vector<std::string> expected;
    for (const std::string& token : c.unknown)
      expected.push_back("Unknown command line argument '" + token + "' - ignored");
    EXPECT_EQ(messages, expected);
    EXPECT_EQ(s.handle, c.handle);
    EXPECT_EQ(s.serverAddress, c.address);
    EXPECT_EQ(s.startMode, c.mode);
    EXPECT_EQ(s.robots, c.robots);
  }
}

TEST(CommandLine, RobotLevelAndTakeoverDelay) {
  Settings s;
  EXPECT_TRUE(ReadArguments({"robot-level=Strong", "TAKEOVER=90"}, s).empty());
  EXPECT_EQ(s.robotPlayLevel, RobotLevel::Strong);
  EXPECT_EQ(s.takeoverSeconds, 90);
  const std::vector<std::string> bad = {"robot-level=hard", "robot-level=", "takeover=", "takeover=-1",
                                        "takeover=86401", "takeover=1e3", "takeover=999999"};
  EXPECT_EQ(ReadArguments(bad, s).size(), bad.size());
  EXPECT_EQ(s.robotPlayLevel, RobotLevel::Strong);
  EXPECT_EQ(s.takeoverSeconds, 90);
}

TEST(CommandLine, WebPortKey) {
  const struct {
    const char* token;
    int32_t port;  // -1: refused
  } cases[] = {{"web=8118", 8118}, {"WEB=0", 0}, {"web=65535", 65535}, {"web=65536", -1},
               {"web=", -1}, {"web=81a8", -1}, {"web=-1", -1}, {"web=000008118", -1}};
  for (const auto& c : cases) {
    Settings s;
    std::string error;
    EXPECT_EQ(ApplyArgument(c.token, s, error), c.port >= 0) << c.token;
    EXPECT_EQ(s.webPort, c.port) << c.token;
    if (c.port < 0) {
      EXPECT_EQ(error, "Unknown command line argument '" + std::string(c.token) + "' - ignored");
    }
  }
}

// --help and --version answer before any window; other tokens go to Setup.
TEST(CommandLine, HelpAndVersionAreFoundAnywhereTheFirstWinning) {
  using Args = std::vector<std::string>;
  EXPECT_EQ(FindInfoRequest({}), InfoRequest::None);
  EXPECT_EQ(FindInfoRequest(Args{"handle=--help", "mode=server", "--Help"}), InfoRequest::None);
  EXPECT_EQ(FindInfoRequest(Args{"mode=server", "--version"}), InfoRequest::Version);
  EXPECT_EQ(FindInfoRequest(Args{"-h", "--version"}), InfoRequest::Help);
  EXPECT_EQ(FindInfoRequest(Args{"--version", "--help"}), InfoRequest::Version);
}

}  // namespace
}  // namespace zelbo
