#include "web/bridge/game_summary.h"

#include <cstdlib>

#include "engine/engine.h"

namespace zelbo {

namespace {

bool WholeNumber(const std::string& token, int64_t& value) {
  if (token.empty() || token.size() > 18) return false;
  std::size_t i = token[0] == '-' ? 1 : 0;
  if (i == token.size()) return false;
  for (std::size_t j = i; j < token.size(); ++j)
    if (token[j] < '0' || token[j] > '9') return false;
  value = std::strtoll(token.c_str(), nullptr, 10);
  return true;
}

}  // namespace

bool ScoreColumns(const std::string& line, std::array<int64_t, 4>& values) {
  std::vector<std::string> tokens;
  std::size_t at = 0;
  while (at < line.size()) {
    const std::size_t start = line.find_first_not_of(' ', at);
    if (start == std::string::npos) break;
    const std::size_t end = line.find(' ', start);
    tokens.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
    at = end == std::string::npos ? line.size() : end;
  }
  if (tokens.size() < 4) return false;
  for (std::size_t s = 0; s < 4; ++s)
    if (!WholeNumber(tokens[tokens.size() - 4 + s], values[s])) return false;
  return true;
}

GameSummary SummarizeGame(const ClientSession& session) {
  GameSummary summary;
  const GameState& g = session.Game();
  summary.over = session.IsClient() && g.phase == PhaseGameOver;
  for (int s = 0; s < 4; ++s) summary.handles[static_cast<std::size_t>(s)] = session.SeatHandle(s);
  const std::vector<std::string>& lines = g.scoreSheet.lines();
  // A deal's line starts with its dealer's handle in nine columns; the
  // numbers come after it.
  std::array<int64_t, 4> running{};
  for (int deal = 1; deal <= DealCount; ++deal) {
    const int index = ScoreLineIndex(deal);
    std::array<int64_t, 4> scores{};
    if (index < 0 || static_cast<std::size_t>(index) >= lines.size() || lines[index].size() <= 9 ||
        !ScoreColumns(lines[index].substr(9), scores))
      break;
    for (std::size_t s = 0; s < 4; ++s) running[s] += scores[s];
    summary.running.push_back(running);
  }
  for (auto line = lines.rbegin(); line != lines.rend(); ++line)
    if (ScoreColumns(*line, summary.totals)) break;
  for (std::size_t s = 0; s < 4; ++s) {
    summary.places[s] = 1;
    for (std::size_t o = 0; o < 4; ++o)
      if (summary.totals[o] > summary.totals[s]) ++summary.places[s];
  }
  return summary;
}

}  // namespace zelbo
