// Whole games in process between robots and simple players (who always
// take the first allowed choice), straight through the rules engine. Each
// robot decides from the mirror a seated client would hold, so what it
// plays here is what it would play over a socket. The strength bench and
// the tests use it.
#pragma once

#include <cstdint>

#include "engine/engine_host.h"
#include "engine/game_state.h"

namespace zelbo {

struct MatchResult {
  bool finished = false;  // the game reached PhaseGameOver
  int refusedMoves = 0;   // robot moves the rules did not allow (must stay 0)
  int robotMoves = 0;
};

// Plays a game from `seed` in `g`: seats whose bit (1 << seat) is set in
// `robotSeats` are robots, the others simple players.
MatchResult PlayRobotMatch(uint32_t seed, unsigned robotSeats, GameState& g, EngineHost& host);

}  // namespace zelbo
