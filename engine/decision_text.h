// Words for the decisions of a deal: the contract chosen and the doubling
// decisions that follow it, as the table, the doubling dialog and the hand
// records show them. Pure functions of their arguments.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/game_state.h"

namespace zelbo {

// The colour in which a decision is shown.
struct DecisionColour {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const DecisionColour&) const = default;
};
constexpr DecisionColour DecisionWhite{255, 255, 255};  // nothing decided yet
constexpr DecisionColour DecisionBlack{0, 0, 0};        // the contract
constexpr DecisionColour DecisionGreen{0, 200, 0};      // a pass
constexpr DecisionColour DecisionRed{255, 0, 0};        // doubles and redoubles

// One name per seat (South, West, North, East).
using SeatNames = std::array<std::string, 4>;

// Mode 1 names seats by their letters "S", "W", "N", "E" (hand records);
// any other mode uses the names passed in (the table and the dialogs).
constexpr int DecisionTextLetters = 1;

// Names for the table of the server: the given handles, with every empty
// seat called "crashee".
SeatNames ServerDecisionNames(const SeatNames& handles, const std::array<bool, 4>& occupied);

// Text of the decision byte `e` taken at entry `index` (0..4) of a deal's
// decisions by `actingSeat`, naming seats with `names`. Entry 0 is the
// contract code. Writes `destination` (emptied first) and returns the
// colour.
//   255: nothing, white.       index 0: the long contract name, black.
//   0: "Pass", green.          all three double bits: "Max", red.
//   otherwise, red: "Double %s", "Double %s and %s", "Redouble %s",
//   "Redouble %s and %s" (names in the order LHO, OO, RHO), or
//   "D %s and RD %s" (the doubled seat first, the redoubled one second).
// A byte with no double bit other than 0 (never produced by the rules)
// writes nothing and returns white. Bits above 63 are ignored.
DecisionColour DecisionByteText(std::string& destination, int e, int index, int actingSeat,
                                const SeatNames& names);

// Text of entry `index` of dealDecisions[deal] of a deal dealt by `dealer`;
// the acting seat is (dealer + index) mod 4. A deal outside 0..28 or an
// index outside 0..4 writes nothing and returns white.
DecisionColour DecisionText(std::string& destination, const GameState& g, int deal, int dealer,
                            int index, int mode, const SeatNames& names = {});

}  // namespace zelbo
