// The message pane model: the last 65 lines of announcements, network notes
// and chat, oldest first. Windows show it; the model only keeps lines.
// Also the cutting of typed chat into prefixed lines that fit one frame.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace zelbo {

// `text` with every control byte (0x00..0x1F and 0x7F) replaced by a
// space, so a peer's handle or chat cannot start a new line or steer a
// terminal in the pane, in other peers' panes or in a log.
std::string WithoutControlBytes(std::string_view text);

class MessagePane {
 public:
  static constexpr std::size_t MaxLines = 65;

  // Appends a line, control bytes replaced by spaces; the oldest goes once
  // 65 are kept. Returns the line as stored.
  const std::string& Add(std::string_view line);
  std::size_t size() const { return lines_.size(); }
  const std::string& line(std::size_t i) const { return lines_[i]; }
  const std::deque<std::string>& lines() const { return lines_; }

 private:
  std::deque<std::string> lines_;
};

// Cuts typed text into chat lines, each beginning with "<handle>: ", each
// short enough for a MsgChat frame of at most 123 bytes. Empty text sends
// one blank. When a line is full and text remains, the line ends before
// its last blank (unless that blank is the first character after the
// prefix) and the next line starts with that blank; otherwise the text is
// cut where the line is full.
std::vector<std::string> CutChatLines(std::string_view handle, std::string_view text);

// The chat prefix of a handle: "<handle>: ".
std::string ChatPrefix(std::string_view handle);

}  // namespace zelbo
