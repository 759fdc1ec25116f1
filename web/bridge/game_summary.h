// The end of a game as the page sums it up: each seat's final total and
// place, and the running totals after each deal for a small chart. Read
// from the score sheet the client mirrors (its deal lines and its totals
// line), so it is what the Score window shows.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "net/client_session.h"

namespace zelbo {

struct GameSummary {
  bool over = false;                     // the game has ended
  std::array<std::string, 4> handles;    // by seat
  std::array<int64_t, 4> totals{};       // the sheet's totals line, by seat
  std::array<int, 4> places{};           // 1 for the highest total; ties share a place
  std::vector<std::array<int64_t, 4>> running;  // after deal 1, 2, ... (deals with a score)
};

GameSummary SummarizeGame(const ClientSession& session);

// The last four whole numbers of a score-sheet line (the seats' columns);
// false when it holds fewer.
bool ScoreColumns(const std::string& line, std::array<int64_t, 4>& values);

}  // namespace zelbo
