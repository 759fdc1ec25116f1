// Whole games in process between robots and simple players (who always
// take the first allowed choice), straight through the rules engine. Each
// robot decides from the mirror a seated client would hold, so what it
// plays here is what it would play over a socket. The strength bench and
// the tests use it.
#pragma once

#include <cstdint>
#include <functional>

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

class RobotPlayer;

// Plays a game from `seed` in `g` with a robot player of its own level at
// every seat (players[seat]). `watch`, when set, is shown every decision:
// the game before the move, the seat and the microseconds it took.
using MoveWatcher = std::function<void(const GameState& g, int seat, double micros)>;
MatchResult PlayPlayersMatch(uint32_t seed, RobotPlayer* const players[4], GameState& g,
                             EngineHost& host, const MoveWatcher& watch = {});

}  // namespace zelbo
