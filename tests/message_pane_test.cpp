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
  EXPECT_EQ(pane.addedCount(), 66u);
}

// 200 characters of short words, none longer than 20 characters.
std::string ShortWords() {
  std::string text;
  const char* words[] = {"alpha", "bravo", "charlie", "delta", "echo", "foxtrot", "golf"};
  for (int i = 0; text.size() < 200; ++i) {
    if (!text.empty()) text += ' ';
    text += words[i % 7];
  }
  text.resize(200);
  return text;
}

TEST(ChatCutting, TwoHundredCharactersMakeTwoPrefixedLines) {
  const std::string text = ShortWords();
  const auto lines = CutChatLines("Bobby", text);
  ASSERT_EQ(lines.size(), 2u);
  for (const std::string& l : lines) {
    EXPECT_EQ(l.rfind("Bobby: ", 0), 0u);
    EXPECT_LE(l.size() + 2, 123u);
  }
  // The cut falls before the last blank that fits; the second line starts
  // with that blank, and nothing is lost or repeated.
  EXPECT_EQ(lines[1][7], ' ');
  EXPECT_EQ(lines[0].substr(7) + lines[1].substr(7), text);
  EXPECT_NE(lines[0].back(), ' ');
  const std::size_t room = 121 - 7;
  EXPECT_EQ(text.rfind(' ', room - 1), lines[0].size() - 7);
}

TEST(ChatCutting, EmptyTextSendsPrefixAndOneBlank) {
  const auto lines = CutChatLines("Bobby", "");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "Bobby:  ");
}

TEST(ChatCutting, LongWordIsCutWhereTheLineIsFull) {
  // A blank right after the prefix does not count as a break.
  const std::string text = " " + std::string(300, 'w');
  const auto lines = CutChatLines("Al", text);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].size(), 121u);
  EXPECT_EQ(lines[0].substr(0, 5), "Al:  ");
  std::string joined;
  for (const auto& l : lines) joined += l.substr(4);
  EXPECT_EQ(joined, text);
}

}  // namespace
}  // namespace zelbo
