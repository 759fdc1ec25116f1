// The ties between the fields of a game record that every sound game
// keeps, whether the engine made it or a file brought it: the fields used
// as indices in range, decision bytes the rules can produce, a symmetric
// doubling table, and a deal, a contract and a seat to play wherever the
// phase needs them. The loader refuses a file that breaks one, the
// whole-game tests check them after every step, and a debug build's engine
// after every operation.
#pragma once

#include <string>

#include "engine/game_state.h"

namespace zelbo {

// "" when every invariant holds, else the first one broken, in words.
std::string CheckInvariants(const GameState& g);

}  // namespace zelbo
