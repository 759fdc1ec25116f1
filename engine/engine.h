// The rules engine: the operations that move a game on (server only) and
// the pure rule queries that dialogs, the server's input checks and robot
// players share. Operations never fail loudly: input that the rules do not
// allow, or that arrives in a phase where it does nothing, changes nothing
// and reaches no host call.
#pragma once

#include <cstdint>
#include <string>

#include "engine/engine_host.h"
#include "engine/game_state.h"
#include "engine/random.h"

namespace zelbo {

// Start-up and dealing
void ResetGameState(GameState& g);
void RestoreHands(GameState& g);
// `now` is the calendar time in seconds, used only when randomSeed is 0.
void NewGame(GameState& g, EngineHost& host, uint32_t now);
void DealGame(GameState& g, Random& rng);
void DealOne(GameState& g, Random& rng, int deal);
void SortHand(GameState& g, int deal, int seat);

// Decision round
void ApplyDecision(GameState& g, EngineHost& host, int value);
void AdvanceDecisionRound(GameState& g, EngineHost& host);

// Suspension
// Suspends a game in phase 1, 2 or 6 (a seat fell empty); true when it did.
bool SuspendGame(GameState& g);
// Brings a suspended phase back, sends the status, repaints and, in the
// decision round, prompts the acting seat again (the dealer's contract, or
// a doubling decision with forcedDouble set anew). Other phases stay as
// they are but are still announced. True when a suspended game resumed.
bool ResumeGame(GameState& g, EngineHost& host);
// Copies the dealer's row of contractsLeft into offeredContracts, the copy
// a Pick-a-game dialog on the server's own screen reads.
void OfferContracts(GameState& g);

// Card play
bool HoldsPlayableDomino(const GameState& g, int seat);
void PlayCard(GameState& g, EngineHost& host, int seat, int card);

// End of hand and score sheet
void EndHand(GameState& g, EngineHost& host);
void SettleHand(GameState& g, EngineHost& host);
void ResendScoreSheet(const GameState& g, EngineHost& host);

// Rule queries (pure)

// Bit c (1..22) set when the dealer may choose contract code c now
// (phase 1, step 0); 0 otherwise.
uint32_t AllowedContracts(const GameState& g);

// What the seat acting at the current doubling step may decide (phase 1,
// steps 1..4). Masks use the target bits 1 (LHO), 2 (OO), 4 (RHO).
struct DoublingOffer {
  uint8_t allowed = 0;    // targets the seat may double or redouble
  uint8_t forced = 0;     // targets that must be doubled (the dealer, when due)
  uint8_t redouble = 0;   // targets whose double would be a redouble
};
DoublingOffer OfferedDoubles(const GameState& g);
// The decision byte for a set of target bits: adds 8/16/32 for redoubles.
int DoublingByte(const DoublingOffer& offer, int targets);
// forcedDouble for the seat acting at the current step (0 at step 4).
int ForcedDoubleNow(const GameState& g);

// True when ApplyDecision would apply `value` now.
bool IsDecisionAllowed(const GameState& g, int value);
// True when PlayCard(seat, card) would take the card now.
bool MayPlayCard(const GameState& g, int seat, int card);

// Cards of one hand, in the order the hand holds them.
struct CardList {
  uint8_t cards[13];
  int count = 0;
  void Add(int card) {
    if (count < 13) cards[count++] = static_cast<uint8_t>(card);
  }
  bool Has(int card) const {
    for (int i = 0; i < count; ++i)
      if (cards[i] == card) return true;
    return false;
  }
};
// The cards that PlayCard(seat, ...) would take now: none when it is not
// the seat's turn to play.
CardList LegalCards(const GameState& g, int seat);

// Appends `value` so that its last digit falls in column `lastColumn`. A
// number too wide for its field is written whole, one space after what is
// already there, and shifts the fields after it rather than overwriting.
void PutRight(std::string& line, long long value, int lastColumn);

// Score-sheet line builders (exact columns).
std::string HandlesLine(const std::string handles[4]);
std::string PlaceholderLine(const std::string& dealerHandle, int kind);
std::string ScoreLine(const std::string& dealerHandle, int contract, const int32_t scores[4]);
std::string TotalsLine(const int32_t totals[4]);
// Line index at which deal n's score line is inserted.
int ScoreLineIndex(int deal);

}  // namespace zelbo
