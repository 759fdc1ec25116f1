// The rules as pure verdicts: the dialogs, the server's input checks, the
// robot players and the engine operations themselves all ask these.
#include "engine/engine.h"
#include "engine/engine_internal.h"
#include "engine/trick.h"

namespace zelbo {

using detail::DealIndexesValid;
using detail::HandHolds;

namespace {

bool InDecisionRound(const GameState& g) {
  return g.phase == PhaseChoosing && DealIndexesValid(g) && g.turn >= 0 && g.turn <= 4;
}

// Target bit (1 LHO, 2 OO, 4 RHO) of seat `target` seen from seat `from`.
int TargetBit(int from, int target) {
  const int k = SeatMod(target - from);  // 1, 2 or 3
  return k == 0 ? 0 : 1 << (k - 1);
}

bool HoldsSuit(const GameState& g, int seat, int suit) {
  for (int i = 0; i < 13; ++i) {
    const int c = g.hands[seat][i];
    if (IsCard(c) && SuitOf(c) == suit) return true;
  }
  return false;
}

bool HoldsOnlySuit(const GameState& g, int seat, int suit) {
  for (int i = 0; i < 13; ++i) {
    const int c = g.hands[seat][i];
    if (IsCard(c) && SuitOf(c) != suit) return false;
  }
  return true;
}

bool MayFollow(const GameState& g, int seat, int card) {
  const uint8_t* row = g.playRecords[g.dealNumber][g.playRound];
  const Trick t = TrickFromRow(row, g.trickLeader);
  if (t.count == 0) return false;  // no card led although a trick is open
  const int ledSuit = t.LedSuit();
  const bool holdsLed = HoldsSuit(g, seat, ledSuit);
  if (SuitOf(card) != ledSuit && holdsLed) return false;
  const int trumps = TrumpSuit(g.contract);
  if (trumps < 0 || (ledSuit != trumps && holdsLed)) return true;
  // Trumps led, or the player cannot follow: beat the highest trump so far
  // whenever the hand can.
  int highest = -1;
  for (int s = t.leader; s != seat; s = NextSeat(s)) {
    const int c = row[s];
    if (IsCard(c) && SuitOf(c) == trumps && RankOf(c) > highest) highest = RankOf(c);
  }
  if (SuitOf(card) == trumps && RankOf(card) > highest) return true;
  for (int i = 0; i < 13; ++i) {
    const int c = g.hands[seat][i];
    if (IsCard(c) && SuitOf(c) == trumps && RankOf(c) > highest) return false;
  }
  return true;
}

}  // namespace

uint32_t AllowedContracts(const GameState& g) {
  if (!InDecisionRound(g) || g.turn != 0) return 0;
  uint32_t bits = 0;
  for (int code = 1; code <= LastContract; ++code)
    if (g.contractsLeft[g.dealer][KindOf(code)] == 1) bits |= 1u << code;
  return bits;
}

int ForcedDoubleNow(const GameState& g) {
  if (!InDecisionRound(g) || g.turn < 1 || g.turn > 3) return 0;
  const int seat = ActingSeat(g);
  return (g.dealNumber - 1) / 4 > g.dealerDoubles[seat][g.dealer] + 4 ? 1 : 0;
}

DoublingOffer OfferedDoubles(const GameState& g) {
  DoublingOffer offer;
  if (!InDecisionRound(g) || g.turn < 1) return offer;
  const int seat = ActingSeat(g);
  const int dealerBit = TargetBit(seat, g.dealer);
  if (g.turn <= 3) {
    offer.allowed = IsNegative(g.dealDecisions[g.dealNumber][0]) ? 7 : dealerBit;
    if (ForcedDoubleNow(g)) offer.forced = dealerBit;
  } else {
    for (int k = 1; k <= 3; ++k)
      if (g.doubleFactor[seat][SeatMod(seat + k)] != 1) offer.allowed |= 1 << (k - 1);
  }
  for (int k = 1; k <= 3; ++k)
    if (g.doubleFactor[seat][SeatMod(seat + k)] == 2) offer.redouble |= 1 << (k - 1);
  offer.redouble &= offer.allowed;
  return offer;
}

int DoublingByte(const DoublingOffer& offer, int targets) {
  targets &= 7;
  return targets | ((targets & offer.redouble) << 3);
}

bool IsDecisionAllowed(const GameState& g, int value) {
  if (!InDecisionRound(g)) return false;
  if (g.turn == 0) return IsContract(value) && (AllowedContracts(g) >> value & 1u);
  if (value < 0 || value > 63) return false;
  const DoublingOffer offer = OfferedDoubles(g);
  const int targets = value & 7;
  if (targets & ~offer.allowed) return false;
  if (offer.forced & ~targets) return false;
  return value == DoublingByte(offer, targets);
}

bool MayPlayCard(const GameState& g, int seat, int card) {
  if (!HandHolds(g, seat, card)) return false;
  if (g.phase != PhaseFirstLead && g.phase != PhasePlaying) return false;
  if (seat != g.turn) return false;
  if (!DealIndexesValid(g) || !IsContract(g.contract)) return false;
  // In phase 6 `playRound` still holds the previous deal's value; the first
  // card resets it.
  const bool firstCard = g.phase == PhaseFirstLead;
  if (!firstCard && (g.playRound < 0 || g.playRound >= DominoRounds)) return false;
  if (!firstCard && (g.trickLeader < 0 || g.trickLeader > 3)) return false;

  if (IsDominoes(g.contract)) return detail::DominoFits(g, card);
  if (!firstCard && g.playRound >= 13) return false;
  if (firstCard || g.trickDone == 1) {
    if ((g.contract == NoHearts || g.contract == Zelbo) && SuitOf(card) == Hearts)
      return HoldsOnlySuit(g, seat, Hearts);
    return true;
  }
  return MayFollow(g, seat, card);
}

CardList LegalCards(const GameState& g, int seat) {
  CardList legal;
  if (seat < 0 || seat > 3 || SeatToPlay(g) != seat) return legal;
  for (const uint8_t c : g.hands[seat])
    if (MayPlayCard(g, seat, c)) legal.Add(c);
  return legal;
}

}  // namespace zelbo
