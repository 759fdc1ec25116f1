// Playing a deal out: every seat acts as the normal robot until the hand
// is settled. The strong robot measures its choices this way on sampled
// deals, so it runs thousands of times per decision and allocates nothing
// but the two score-sheet lines of the settlement.
#pragma once

#include "engine/engine_host.h"
#include "engine/game_state.h"

namespace zelbo {

// Plays the deal in progress in `g` (phase 1, 2 or 6) to its settlement
// with the normal robot's choice for every seat, and returns the deal's
// score of `seat` (doubles settled). `g` is left after the hand.
int PlayOutDeal(GameState& g, EngineHost& host, int seat);

}  // namespace zelbo
