#include "net/message_pane.h"

#include "net/frames.h"

namespace zelbo {

std::string WithoutControlBytes(std::string_view text) {
  std::string clean(text);
  for (char& c : clean) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = ' ';
  }
  return clean;
}

const std::string& MessagePane::Add(std::string_view line) {
  if (lines_.size() >= MaxLines) lines_.pop_front();
  lines_.push_back(WithoutControlBytes(line));
  return lines_.back();
}

std::string ChatPrefix(std::string_view handle) {
  std::string prefix(handle);
  prefix += ": ";
  return prefix;
}

std::vector<std::string> CutChatLines(std::string_view handle, std::string_view text) {
  if (handle.size() > MaxHandleLength) handle = handle.substr(0, MaxHandleLength);
  if (text.empty()) text = " ";
  const std::string prefix = ChatPrefix(handle);
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::string line = prefix;
    std::size_t count = 2 + prefix.size();  // frame header bytes included
    std::size_t lastBlank = std::string::npos;
    while (pos < text.size() && count < MaxChatFrameLength) {
      const char c = text[pos++];
      if (c == ' ') lastBlank = line.size();
      line += c;
      ++count;
    }
    // Break before the last blank so that words stay whole; the blank
    // right after the prefix does not count as a break.
    if (pos < text.size() && lastBlank != std::string::npos && lastBlank > prefix.size()) {
      pos -= line.size() - lastBlank;
      line.resize(lastBlank);
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace zelbo
