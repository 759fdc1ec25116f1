// Start-up reset, shuffling and dealing of a whole game, and the start of a
// new game.
#include <cstring>

#include "engine/engine.h"
#include "engine/engine_internal.h"

namespace zelbo {

void ResetGameState(GameState& g) { g = GameState(); }

void RestoreHands(GameState& g) {
  if (g.dealNumber < 1 || g.dealNumber > DealCount) return;
  std::memcpy(g.hands, g.dealRecords[g.dealNumber], sizeof g.hands);
}

void SortHand(GameState& g, int deal, int seat) {
  if (deal < 1 || deal > DealCount || seat < 0 || seat > 3) return;
  // Cards are 0..51, so counting them and writing them out from the top is
  // the selection sort (largest first, NoCard skipped) without its 169 steps.
  uint8_t* row = g.dealRecords[deal][seat];
  uint8_t count[52] = {};
  for (int i = 0; i < 13; ++i)
    if (IsCard(row[i])) count[row[i]] += 1;
  int out = 0;
  for (int c = 51; c >= 0; --c)
    for (int k = 0; k < count[c]; ++k) row[out++] = static_cast<uint8_t>(c);
  // A short row (never produced by DealOne) keeps no stale bytes behind it.
  for (; out < 13; ++out) row[out] = NoCard;
}

void DealOne(GameState& g, Random& rng, int deal) {
  if (deal < 1 || deal > DealCount) return;
  // Rejection shuffle: draw until an undealt card comes; the i-th card
  // dealt goes to seat i mod 4. The draw loop is branch-free because most
  // draws near the end are rejections.
  uint8_t owner[52] = {};
  uint64_t dealt = 0;
  int i = 0;
  while (i < 52) {
    const int c = rng.Next() % 52;
    const int fresh = static_cast<int>(~dealt >> c & 1u);
    owner[c] = fresh ? static_cast<uint8_t>(i & 3) : owner[c];
    dealt |= uint64_t{1} << c;
    i += fresh;
  }
  // Each seat's cards from the highest down: the row already sorted, as
  // SortHand would leave it.
  int next[4] = {};
  for (int c = 51; c >= 0; --c) {
    const int seat = owner[c];
    g.dealRecords[deal][seat][next[seat]++] = static_cast<uint8_t>(c);
  }
}

void DealGame(GameState& g, Random& rng) {
  g.dealer = rng.Next() % 4;
  for (int deal = 1; deal <= DealCount; ++deal) DealOne(g, rng, deal);
}

namespace {

// The records a game accumulates, at their start-up values. They already
// hold these in phase 0 after the start-up reset; setting them again keeps a
// game loaded in phase 0 from starting with a used-up dealer.
void ClearGameRecords(GameState& g) {
  std::memset(g.contractsLeft, 1, sizeof g.contractsLeft);
  std::memset(g.dealDecisions, Undecided, sizeof g.dealDecisions);
  std::memset(g.playRecords, NoCard, sizeof g.playRecords);
  std::memset(g.tableCards, NoCard, sizeof g.tableCards);
  std::memset(g.dealerDoubles, 0, sizeof g.dealerDoubles);
  std::memset(g.dealScores, 0, sizeof g.dealScores);
  std::memset(g.totalScores, 0, sizeof g.totalScores);
}

void WriteSkeleton(GameState& g, const EngineHost& host) {
  ScoreSheet& sheet = g.scoreSheet;
  sheet.Clear();
  std::string handles[4];
  for (int s = 0; s < 4; ++s) handles[s] = host.SeatHandle(s);
  sheet.Append(HandlesLine(handles));
  sheet.Append("");
  const int firstDealer = NextSeat(g.dealer);  // deal 1 moves the dealer on
  for (int k = 0; k < 4; ++k) {
    const std::string& handle = handles[SeatMod(firstDealer + k)];
    for (int kind = 0; kind < KindCount; ++kind) sheet.Append(PlaceholderLine(handle, kind));
    sheet.Append("");
  }
  sheet.Append(std::string(17, ' ') + std::string(40, '-'));
  sheet.Append(TotalsLine(g.totalScores));
}

}  // namespace

void NewGame(GameState& g, EngineHost& host, uint32_t now) {
  const detail::InvariantGuard guard(g);
  if (g.phase != PhaseIdle) return;
  ClearGameRecords(g);
  if (g.randomSeed == 0) g.randomSeed = now;
  g.gameSeed = g.randomSeed;
  Random rng(g.randomSeed);
  DealGame(g, rng);
  WriteSkeleton(g, host);
  ResendScoreSheet(g, host);
  g.dealNumber = 0;
  detail::EndHandNow(g, host);
}

}  // namespace zelbo
