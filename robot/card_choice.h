// Card play of the robot, one strategy per family of contracts. Works on a
// SeatView, in which only the robot's own hand holds cards, and only ever
// returns a card that the rule queries allow.
#pragma once

#include "engine/game_state.h"

namespace zelbo {

// The card `seat` plays now, or NoCard when it is not its turn to play or
// it holds no playable card. `view` is a SeatView for `seat`.
int ChooseCardFromView(const GameState& view, int seat);

}  // namespace zelbo
