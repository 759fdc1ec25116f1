// The message pane's line limit and the cutting of chat into lines.
#include "net/message_pane.h"

#include <gtest/gtest.h>

#include <string>

namespace zelbo {
namespace {

TEST(MessagePane, KeepsTheLast65Lines) {
  MessagePane pane;
  for (int i = 0; i < 66; ++i) pane.Add("line " + std::to_string(i));
  ASSERT_EQ(pane.size(), 65u);
  EXPECT_EQ(pane.line(0), "line 1");
  EXPECT_EQ(pane.line(64), "line 65");
}

TEST(ChatCutting, CutsBeforeTheLastBlankThatFitsOrWhereTheLineIsFull) {
  std::string text;  // 200 characters of short words
  const char* words[] = {"alpha", "bravo", "charlie", "delta", "echo", "foxtrot", "golf"};
  for (int i = 0; text.size() < 200; ++i) text += std::string(i ? " " : "") + words[i % 7];
  text.resize(200);
  auto lines = CutChatLines("Bobby", text);
  ASSERT_EQ(lines.size(), 2u);
  // The second line starts with the blank; nothing is lost or repeated.
  EXPECT_EQ(lines[0], "Bobby: " + text.substr(0, text.rfind(' ', 121 - 7 - 1)));
  EXPECT_EQ(lines[1], "Bobby: " + text.substr(lines[0].size() - 7));

  EXPECT_EQ(CutChatLines("Bobby", ""), std::vector<std::string>{"Bobby:  "});

  // A blank right after the prefix does not count as a break.
  text = " " + std::string(300, 'w');
  lines = CutChatLines("Al", text);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Al: " + text.substr(0, 117));
  EXPECT_EQ(lines[1].substr(4) + lines[2].substr(4), text.substr(117));
}

}  // namespace
}  // namespace zelbo
