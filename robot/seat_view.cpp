#include "robot/seat_view.h"

#include <cstring>

namespace zelbo {

namespace {

bool ValidSeat(int s) { return s >= 0 && s < 4; }

// What every seat is told of `g`, with `seat`'s own hand: the fields the
// status, turn, table and score messages carry.
GameState OpenPartOf(const GameState& g, int seat) {
  GameState v;
  v.phase = g.phase;
  v.dealNumber = g.dealNumber;
  v.dealer = g.dealer;
  v.contract = g.contract;
  v.turn = g.turn;
  v.roundSteps = g.roundSteps;
  v.playRound = g.playRound;
  if (ValidSeat(seat)) std::memcpy(v.hands[seat], g.hands[seat], sizeof v.hands[seat]);
  std::memcpy(v.tableCards, g.tableCards, sizeof v.tableCards);
  std::memcpy(v.doubleFactor, g.doubleFactor, sizeof v.doubleFactor);
  std::memcpy(v.tally, g.tally, sizeof v.tally);
  std::memcpy(v.doublesOwed, g.doublesOwed, sizeof v.doublesOwed);
  return v;
}

// A card byte that belongs to `suit`, as the layout bytes must be.
bool CardOfSuit(int card, int suit) { return IsCard(card) && SuitOf(card) == suit; }

void RebuildTrick(GameState& v) {
  v.trickDone = 1;
  v.trickLeader = ValidSeat(v.turn) ? v.turn : 0;
  if (v.phase != PhasePlaying) return;  // the first lead, or no play at all
  int played = 0;
  for (int s = 0; s < 4; ++s) played += IsCard(v.tableCards[s]) ? 1 : 0;
  if (played == 0 || played == 4) return;  // a new trick is due
  v.trickDone = 0;
  // Cards of a trick lie on consecutive seats clockwise from its leader, so
  // the leader is the seat with a card whose right-hand neighbour has none.
  for (int s = 0; s < 4; ++s) {
    if (IsCard(v.tableCards[s]) && !IsCard(v.tableCards[RHO(s)])) v.trickLeader = s;
  }
  if (v.dealNumber >= 0 && v.dealNumber < DealRows && v.playRound >= 0 &&
      v.playRound < DominoRounds) {
    for (int s = 0; s < 4; ++s) v.playRecords[v.dealNumber][v.playRound][s] = v.tableCards[s];
  }
}

void RebuildDominoRows(GameState& v) {
  const int start = v.contract - FirstDominoes;
  for (int s = 0; s < 4; ++s) {
    const int first = s * 13 + start;
    const int lo = v.tableCards[8 + 2 * s];
    const int hi = v.tableCards[9 + 2 * s];
    if (v.phase != PhasePlaying || !CardOfSuit(lo, s)) {
      v.domUp[s] = v.domDown[s] = first;
      continue;
    }
    // The high byte stays empty while only the starting card and cards
    // below it are down; the row then reaches no higher than the low byte.
    const int top = CardOfSuit(hi, s) ? hi : lo;
    v.domDown[s] = RankOf(lo) == 0 ? DomClosed : lo - 1;
    v.domUp[s] = RankOf(top) == 12 ? DomClosed : top + 1;
  }
}

}  // namespace

GameState SeatView(const GameState& seen, int seat) {
  GameState v = OpenPartOf(seen, seat);
  std::memcpy(v.offeredContracts, seen.offeredContracts, sizeof v.offeredContracts);
  v.forcedDouble = seen.forcedDouble;
  const bool dealKnown = v.dealNumber >= 0 && v.dealNumber < DealRows;
  if (dealKnown) {
    std::memcpy(v.dealDecisions[v.dealNumber], seen.dealDecisions[v.dealNumber],
                sizeof v.dealDecisions[v.dealNumber]);
  }
  if (!ValidSeat(v.dealer)) return v;

  // The dealer's remaining kinds arrive with the contract prompt, which a
  // client keeps both as `offeredContracts` and as the dealer's row.
  std::memcpy(v.contractsLeft[v.dealer], seen.contractsLeft[v.dealer], sizeof v.contractsLeft[v.dealer]);
  // Doubles owed are two minus those given, so the count given is known up
  // to "two or more", which is all the compulsory-double rule asks.
  for (int s = 0; s < 4; ++s) v.dealerDoubles[s][v.dealer] = static_cast<int8_t>(2 - (v.doublesOwed[s] > 2 ? 2 : v.doublesOwed[s]));
  for (int s = 0; s < 4; ++s) {
    if (s != v.dealer && v.doubleFactor[v.dealer][s] != 1) v.dealerDoubled = 1;
  }
  if (dealKnown) {
    for (int step = 1; step <= 4; ++step) {
      const int b = v.dealDecisions[v.dealNumber][step];
      if (b != 0 && b != Undecided) v.anyDoubled = 1;
    }
  }

  if (IsDominoes(v.contract)) {
    RebuildDominoRows(v);
  } else if (IsContract(v.contract)) {
    RebuildTrick(v);
  }
  return v;
}

GameState ClientMirrorOf(const GameState& full, int seat) {
  GameState m = OpenPartOf(full, seat);
  std::memcpy(m.dealDecisions, full.dealDecisions, sizeof m.dealDecisions);
  m.scoreSheet = full.scoreSheet;
  if (full.phase == PhaseChoosing && ValidSeat(full.dealer)) {
    if (full.turn == 0 && seat == full.dealer) {
      std::memcpy(m.offeredContracts, full.contractsLeft[full.dealer], sizeof m.offeredContracts);
      std::memcpy(m.contractsLeft[full.dealer], full.contractsLeft[full.dealer], sizeof m.offeredContracts);
    }
    if (full.turn >= 1 && full.turn <= 4 && ActingSeat(full) == seat) m.forcedDouble = full.forcedDouble;
  }
  return m;
}

}  // namespace zelbo
