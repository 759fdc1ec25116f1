#include "records/finished_game.h"

#include <cstring>

#include "records/hand_records.h"

namespace zelbo {

FinishedGame SummariseFinishedGame(const GameState& g, const SeatTakenFlags& seatTaken,
                                   int64_t endedAt, std::string table) {
  FinishedGame f;
  f.endedAt = endedAt;
  f.table = std::move(table);
  for (int s = 0; s < 4; ++s) {
    f.handles[s] = std::string(g.finalHandles[s], strnlen(g.finalHandles[s], HandleSize));
    f.totals[s] = g.totalScores[s];
  }
  for (int d = 1; d <= DealCount; ++d) {
    if (!IsContract(g.dealDecisions[d][0])) continue;
    DealSummary row;
    row.deal = d;
    row.dealer = DealerOfDeal(g, d);
    row.contract = g.dealDecisions[d][0];
    for (int step = 1; step <= 4; ++step) {
      const int decision = g.dealDecisions[d][step];
      if (decision != Undecided) row.doubles[SeatMod(row.dealer + step)] = decision;
    }
    for (int s = 0; s < 4; ++s) row.points[s] = g.dealScores[d][s];
    f.deals.push_back(row);
  }
  f.savedGame = EncodeSavedGame(g, seatTaken);
  return f;
}

bool RestoreFinishedGame(const std::vector<uint8_t>& savedGame,
                         const std::array<std::string, 4>& handles, GameState& out,
                         std::string& error) {
  GameState g;
  if (!DecodeSavedGame(savedGame, g, error)) return false;
  if (g.phase != PhaseGameOver) {
    error = "the stored game is not finished";
    return false;
  }
  for (int s = 0; s < 4; ++s) {
    const std::size_t n = handles[s].size() < HandleSize - 1 ? handles[s].size() : HandleSize - 1;
    std::memset(g.finalHandles[s], 0, HandleSize);
    std::memcpy(g.finalHandles[s], handles[s].data(), n);
  }
  out = g;
  return true;
}

bool FinishedGameHandRecords(const std::vector<uint8_t>& savedGame,
                             const std::array<std::string, 4>& handles, int64_t endedAt,
                             std::string& text, std::string& error) {
  GameState g;
  if (!RestoreFinishedGame(savedGame, handles, g, error)) return false;
  HandRecordsContext context;
  context.utcTime = endedAt;
  text = HandRecordsText(g, context);
  return true;
}

}  // namespace zelbo
