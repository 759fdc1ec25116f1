// Deals the cards a seat cannot see, at random but in agreement with all it
// knows: its own hand, the cards played, the suits and Dominoes cards each
// other seat is known not to hold, and how many cards each seat holds.
// The result is a whole game state that the engine can play on, as if the
// sampled deal were the real one.
#pragma once

#include "engine/game_state.h"
#include "robot/sample_random.h"
#include "robot/seat_knowledge.h"

namespace zelbo {

// Fills `out` from `view` (SeatView for `seat`) with the other seats' hands
// sampled from the unseen cards, and with the hand's running scores, which
// the view carries only as tallies. False when the view cannot be made
// whole (the counts of unseen cards do not add up); `out` is then unusable.
bool SampleDeal(const GameState& view, int seat, const SeatKnowledge& k, SampleRandom& rng,
                GameState& out);

}  // namespace zelbo
