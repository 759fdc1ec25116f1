#include "engine/score_sheet.h"

namespace zelbo {

void ScoreSheet::Insert(std::size_t index, std::string_view text) {
  if (lines_.size() >= MaxLines) return;
  if (text.size() > MaxLineLength) text = text.substr(0, MaxLineLength);
  if (index > lines_.size()) index = lines_.size();
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), std::string(text));
}

void ScoreSheet::Delete(std::size_t index) {
  if (index < lines_.size()) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
}

void ScoreSheet::ReplaceLast(std::string_view text) {
  if (text.size() > MaxLineLength) text = text.substr(0, MaxLineLength);
  if (lines_.empty())
    lines_.emplace_back(text);
  else
    lines_.back() = std::string(text);
}

}  // namespace zelbo
