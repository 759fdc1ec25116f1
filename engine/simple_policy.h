// The simplest deterministic player: at every decision it takes the first
// choice the rules allow (the lowest contract code, no double beyond the
// forced ones, the lowest card code). The bench and the robot bench use it
// as a fixed opponent, and tests use it to drive whole games.
#pragma once

#include <cstdint>

#include "engine/engine.h"

namespace zelbo {

// The lowest contract code the dealer may choose now; 0 when none.
int SimpleContract(const GameState& g);
// The decision byte of the forced doubles only (0, a pass, when none).
int SimpleDoubling(const GameState& g);
// The lowest card `seat` may play now; -1 when it may play none.
int SimpleCard(const GameState& g, int seat);

// Applies the simple player's action for whoever must act now (contract,
// doubling step or card). Returns false when the game waits for nobody
// (idle, suspended or over).
bool SimpleStep(GameState& g, EngineHost& host);

}  // namespace zelbo
