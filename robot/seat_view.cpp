#include "robot/seat_view.h"

#include <cstring>

#include "engine/trick.h"

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

  DeriveTableFields(v);
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
