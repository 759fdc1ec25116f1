#include "app/command_line.h"

#include <gtest/gtest.h>

namespace zelbo {
namespace {

TEST(CommandLine, EmptyTextChangesNothing) {
  Settings s;
  EXPECT_TRUE(ReadCommandLine("", s).empty());
  EXPECT_EQ(s.StartMode, StartModeNone);
  EXPECT_EQ(s.Handle, "");
  EXPECT_EQ(s.ServerAddress, "");
}

TEST(CommandLine, HandleAndModePrefillWithoutStarting) {
  Settings s;
  EXPECT_TRUE(ReadCommandLine("handle=Ann mode=server", s).empty());
  EXPECT_EQ(s.Handle, "Ann");
  EXPECT_EQ(s.StartMode, StartModeServer);
  EXPECT_TRUE(ReadCommandLine("mode=client", s).empty());
  EXPECT_EQ(s.StartMode, StartModeClient);
}

TEST(CommandLine, KeysIgnoreLetterCase) {
  Settings s;
  EXPECT_TRUE(ReadCommandLine("HANDLE=Ann ip=10.0.0.2 mode=Server", s).empty());
  EXPECT_EQ(s.Handle, "Ann");
  EXPECT_EQ(s.ServerAddress, "10.0.0.2");
  EXPECT_EQ(s.StartMode, StartModeServer);
}

TEST(CommandLine, NearMissModeIsUnknown) {
  Settings s;
  auto messages = ReadCommandLine("mode=serverx", s);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Unknown command line argument 'mode=serverx' - ignored");
  EXPECT_EQ(s.StartMode, StartModeNone);
}

TEST(CommandLine, QuotesKeepSpacesAndAreDropped) {
  Settings s;
  EXPECT_TRUE(ReadCommandLine("\"handle=Blue Team\"", s).empty());
  EXPECT_EQ(s.Handle, "Blue Team");
  // Quotes in the middle of a token only switch quoting.
  EXPECT_TRUE(ReadCommandLine("handle=\"Red Team\"", s).empty());
  EXPECT_EQ(s.Handle, "Red Team");
}

TEST(CommandLine, UnquotedWordsSplitIntoHandleAndUnknown) {
  Settings s;
  auto messages = ReadCommandLine("handle=Blue Team", s);
  EXPECT_EQ(s.Handle, "Blue");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Unknown command line argument 'Team' - ignored");
}

TEST(CommandLine, LongHandleIsCutTo31) {
  Settings s;
  ReadCommandLine("handle=" + std::string(40, 'x'), s);
  EXPECT_EQ(s.Handle, std::string(31, 'x'));
}

TEST(CommandLine, TwoSpacesGiveOneEmptyUnknownArgument) {
  Settings s;
  auto messages = ReadCommandLine("handle=Ann  mode=client", s);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Unknown command line argument '' - ignored");
  EXPECT_EQ(s.Handle, "Ann");
  EXPECT_EQ(s.StartMode, StartModeClient);
}

TEST(CommandLine, SplitterEndsTokensAtEachSpace) {
  EXPECT_EQ(SplitCommandLine("a b"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitCommandLine("a "), (std::vector<std::string>{"a"}));
  EXPECT_EQ(SplitCommandLine(" a"), (std::vector<std::string>{"", "a"}));
  EXPECT_EQ(SplitCommandLine("\"a b\"c d"), (std::vector<std::string>{"a bc", "d"}));
}

TEST(CommandLine, OverlongAddressIsCutToWhatTheSettingHolds) {
  Settings s;
  ReadCommandLine("IP=" + std::string(300, '1'), s);
  EXPECT_EQ(s.ServerAddress.size(), MaxServerAddress);
}

TEST(CommandLine, SystemSplitArgumentsAreTokensAsGiven) {
  Settings s;
  auto messages = ReadArguments({"handle=Blue Team", "", "IP=1.2.3.4"}, s);
  EXPECT_EQ(s.Handle, "Blue Team");
  EXPECT_EQ(s.ServerAddress, "1.2.3.4");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Unknown command line argument '' - ignored");
}

TEST(CommandLine, HandleCutDoesNotSplitACharacter) {
  Settings s;
  // 30 ASCII bytes and then a two-byte character that would straddle byte 31.
  ReadCommandLine("handle=" + std::string(30, 'a') + "\xC3\xA9", s);
  EXPECT_EQ(s.Handle, std::string(30, 'a'));
}

TEST(CommandLine, RobotsTakeACountFromZeroToFour) {
  Settings s;
  EXPECT_TRUE(ReadArguments({"ROBOTS=3"}, s).empty());
  EXPECT_EQ(s.Robots, 3);
  for (const char* bad : {"robots=5", "robots=", "robots=-1", "robots=33", "robots=x"}) {
    Settings t;
    EXPECT_EQ(ReadArguments({bad}, t).size(), 1u) << bad;
    EXPECT_EQ(t.Robots, 0) << bad;
  }
}

}  // namespace
}  // namespace zelbo
