// A finished game as the archive keeps it: the saved-game file of its last
// state (the bytes File > Save writes, the source of every replay), and the
// few facts that lists and searches need without decoding that file: when it
// ended, at which table, who sat where, the totals, and a line per deal.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/game_state.h"
#include "records/saved_game.h"

namespace zelbo {

struct DealSummary {
  int deal = 0;      // 1..28
  int dealer = 0;    // seat
  int contract = 0;  // contract code
  // Each seat's doubling decision byte by seat; -1 where the seat had none.
  std::array<int, 4> doubles{-1, -1, -1, -1};
  std::array<int32_t, 4> points{};
};

struct FinishedGame {
  int64_t endedAt = 0;  // seconds since 1970-01-01 UTC
  std::string table;    // the table's name where it was played
  std::array<std::string, 4> handles;  // by seat, as the game ended
  std::array<int32_t, 4> totals{};
  std::vector<DealSummary> deals;      // the deals played, in order
  std::vector<uint8_t> savedGame;
};

// The summary of `g`, which must be in PhaseGameOver: `seatTaken` goes into
// the saved-game bytes as File > Save would write it.
FinishedGame SummariseFinishedGame(const GameState& g, const SeatTakenFlags& seatTaken,
                                   int64_t endedAt, std::string table);

// The dealer of `deal` (1..28) of a finished game: the seat after the one
// NewGame drew deals first, and the deal moves on by one seat each time;
// after deal 28 the dealer has moved once more.
constexpr int DealerOfDeal(const GameState& finished, int deal) {
  return SeatMod(finished.dealer - DealCount - 1 + deal);
}

// The game back from its saved-game bytes and handles: the final state with
// the handles the hand records print. False with `error` when the bytes do
// not load or do not hold a finished game.
bool RestoreFinishedGame(const std::vector<uint8_t>& savedGame,
                         const std::array<std::string, 4>& handles, GameState& out,
                         std::string& error);

// The hand-records text of a stored game, the same bytes the table wrote at
// its end; false with `error` when the bytes do not restore.
bool FinishedGameHandRecords(const std::vector<uint8_t>& savedGame,
                             const std::array<std::string, 4>& handles, int64_t endedAt,
                             std::string& text, std::string& error);

// Where finished games go when a table keeps them.
class FinishedGameSink {
 public:
  virtual ~FinishedGameSink() = default;
  virtual void KeepFinishedGame(FinishedGame game) = 0;
};

}  // namespace zelbo
