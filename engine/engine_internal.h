// Helpers shared by the engine's own source files; not part of its API.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/engine.h"
#include "engine/invariants.h"

namespace zelbo::detail {

// True when the fields that the engine uses as array indices lie in range
// for a deal in progress (a game loaded from a file may carry anything).
inline bool DealIndexesValid(const GameState& g) {
  return g.dealNumber >= 1 && g.dealNumber <= DealCount && g.dealer >= 0 && g.dealer < 4;
}

// EndHand without the check of the caller's phase: NewGame, PlayCard and
// AdvanceDecisionRound call it at the points where a hand closes.
void EndHandNow(GameState& g, EngineHost& host);

// The Dominoes steps of PlayCard after the card has been recorded and
// removed from the hand.
void ContinueDominoes(GameState& g, EngineHost& host, int card);

// True when `card` extends a Dominoes row now.
inline bool DominoFits(const GameState& g, int card) {
  const int s = SuitOf(card);
  return card == g.domUp[s] || card == g.domDown[s];
}

// Adds to a 32-bit counter or score with wrap-around instead of overflow:
// a record loaded from a file may hold any value.
inline void Add(int32_t& field, int delta) {
  field = static_cast<int32_t>(static_cast<uint32_t>(field) + static_cast<uint32_t>(delta));
}

// True when the seat's hand holds `card` (a real card, never NoCard).
inline bool HandHolds(const GameState& g, int seat, int card) {
  if (seat < 0 || seat > 3 || !IsCard(card)) return false;
  for (int i = 0; i < 13; ++i)
    if (g.hands[seat][i] == card) return true;
  return false;
}

// In a debug build, an operation that finds the game sound must leave it
// sound: the guard checks the invariants when the operation returns and
// stops the program at the first one it broke. A release build checks
// nothing.
class InvariantGuard {
 public:
#ifdef NDEBUG
  explicit InvariantGuard(const GameState&) {}
#else
  explicit InvariantGuard(const GameState& g) : g_(g), soundBefore_(CheckInvariants(g).empty()) {}
  ~InvariantGuard() {
    if (!soundBefore_) return;
    const std::string broken = CheckInvariants(g_);
    if (broken.empty()) return;
    std::fprintf(stderr, "engine operation broke an invariant: %s\n", broken.c_str());
    std::abort();
  }

 private:
  const GameState& g_;
  bool soundBefore_;
#endif
  InvariantGuard(const InvariantGuard&) = delete;
  InvariantGuard& operator=(const InvariantGuard&) = delete;
};

}  // namespace zelbo::detail
