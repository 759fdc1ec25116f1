// The score sheet: a list of fixed-pitch text lines (36 during a game) that
// the server keeps and every client mirrors line by line. The Score window
// only shows it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zelbo {

class ScoreSheet {
 public:
  static constexpr std::size_t MaxLines = 512;     // hard cap against hostile input
  static constexpr std::size_t MaxLineLength = 255;

  std::size_t size() const { return lines_.size(); }
  bool empty() const { return lines_.empty(); }
  const std::string& line(std::size_t i) const { return lines_[i]; }
  const std::vector<std::string>& lines() const { return lines_; }

  void Clear() { lines_.clear(); }
  // Inserts before `index`; an index past the end appends. Lines are cut to
  // 255 characters; beyond MaxLines nothing is inserted.
  void Insert(std::size_t index, std::string_view text);
  void Append(std::string_view text) { Insert(lines_.size(), text); }
  // Removes line `index`; an index past the end does nothing.
  void Delete(std::size_t index);
  // Replaces the last line (appends when the list is empty).
  void ReplaceLast(std::string_view text);

  bool operator==(const ScoreSheet&) const = default;

 private:
  std::vector<std::string> lines_;
};

}  // namespace zelbo
