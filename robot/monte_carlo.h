// The strong robot's look-ahead: for each move it may make, the mean score
// its seat gets when deals sampled from its knowledge are played out by the
// normal robot at every seat, the move made first. The budget is a number
// of play-outs, not a time, so the same position always gives the same move.
#pragma once

#include <cstdint>

#include "engine/game_state.h"
#include "robot/seat_knowledge.h"
#include "robot/strategy.h"

namespace zelbo {

struct LookAhead {
  int playouts = 480;  // per decision, shared among the moves compared
  int minSamples = 6;  // sampled deals per move at least
};

struct LookAheadCounters {
  long decisions = 0;  // decisions that compared moves
  long playouts = 0;
};

// The move for `seat` in `view` (SeatView(seen, seat)). `normal` is the
// normal robot's move, which is kept on ties and when nothing needs
// comparing. `seed` fixes the sampled deals.
RobotMove LookAheadMove(const GameState& view, int seat, const SeatKnowledge& k, RobotMove normal,
                        const LookAhead& budget, uint64_t seed, LookAheadCounters& counters);

}  // namespace zelbo
