// The robot player's decisions. Each is a pure function of what a seated
// player sees (a client's mirror of the game, or the authoritative game,
// of which only the seat's own share is looked at) and of its seat, so the
// same state always gives the same choice, and a choice is always one that
// the rule queries allow.
#pragma once

#include "engine/game_state.h"

namespace zelbo {

// The contract the dealer `seat` chooses now: the remaining kind its hand
// suits best, in its best suit or starting rank. 0 when `seat` has no
// contract to choose.
int ChooseContract(const GameState& seen, int seat);

// The decision byte `seat` gives at the current doubling step (forced
// doubles always included). -1 when it is not `seat`'s step.
int ChooseDoubles(const GameState& seen, int seat);

// The card `seat` plays now; NoCard when it is not its turn to play.
int ChooseCard(const GameState& seen, int seat);

// What the robot at `seat` does in this state, if anything.
enum class RobotMoveKind { None, Contract, Double, Card };
struct RobotMove {
  RobotMoveKind kind = RobotMoveKind::None;
  int value = 0;  // contract code, decision byte or card
};
RobotMove DecideMove(const GameState& seen, int seat);

}  // namespace zelbo
