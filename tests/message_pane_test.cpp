// The message pane's line limit, and chat cut where a word outgrows the line.
#include "net/message_pane.h"

#include <gtest/gtest.h>

#include <string>

namespace zelbo {
namespace {

TEST(MessagePane, KeepsTheLast65LinesAndCutsAWordLongerThanALine) {
  MessagePane pane;
  for (int i = 0; i < 66; ++i) pane.Add("line " + std::to_string(i));
  ASSERT_EQ(pane.size(), 65u);
  EXPECT_EQ(pane.line(0), "line 1");
  // Cut where the line is full; a blank right after the prefix is no break.
  const std::string text = " " + std::string(300, 'w');
  const auto lines = CutChatLines("Al", text);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Al: " + text.substr(0, 117));
  EXPECT_EQ(lines[1].substr(4) + lines[2].substr(4), text.substr(117));
}

}  // namespace
}  // namespace zelbo
