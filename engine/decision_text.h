// Words for the decisions of a deal: the contract chosen and the doubling
// decisions that follow it, as the table and the hand records show them.
// Pure functions of their arguments.
#pragma once

#include <array>
#include <string>

#include "engine/game_state.h"

namespace zelbo {

// What a decision text says, which decides the colour it is shown in.
enum class DecisionSort {
  Undecided,  // nothing decided yet (no text)
  Contract,   // the contract's long name
  Pass,       // "Pass"
  Doubles,    // doubles and redoubles
};

// One name per seat (South, West, North, East).
using SeatNames = std::array<std::string, 4>;

// The seat letters "S", "W", "N", "E" as names (the hand records).
const SeatNames& SeatLetterNames();

// Text of entry `index` (0..4) of dealDecisions[deal] of a deal dealt by
// `dealer`, naming seats with `names`; the acting seat is (dealer + index)
// mod 4 and entry 0 is the contract code. Writes `destination` (emptied
// first) and returns what it says.
//   255: nothing.              index 0: the long contract name.
//   0: "Pass".                 all three double bits: "Max" (doubles).
//   otherwise, doubles: "Double %s", "Double %s and %s", "Redouble %s",
//   "Redouble %s and %s" (names in the order LHO, OO, RHO), or
//   "D %s and RD %s" (the doubled seat first, the redoubled one second).
// A byte with no double bit other than 0 (never produced by the rules)
// writes nothing and returns Undecided. Bits above 63 are ignored.
// A deal outside 0..28 or an index outside 0..4 writes nothing and returns
// Undecided.
DecisionSort DecisionText(std::string& destination, const GameState& g, int deal, int dealer,
                          int index, const SeatNames& names);

}  // namespace zelbo
