// What one seated player knows of the game, as a record the engine's rule
// queries accept. A client's mirror holds only the fields the server sends:
// its own hand, the table cards, the current deal's decisions, the factors,
// the tally, the doubles owed and the prompts. The rule queries also read
// fields that never travel (the trick leader, the current trick's row of the
// play record, the Dominoes row ends, the dealer's remaining kinds, the
// doubles already given to the dealer); SeatView rebuilds them from what
// travels, and blanks everything else, so a robot cannot use what its seat
// does not see even when it is handed the server's own record.
#pragma once

#include "engine/game_state.h"

namespace zelbo {

// The record that `seat` would hold as a client, with the derived fields
// filled in. `seen` may be a client's mirror or the authoritative game.
GameState SeatView(const GameState& seen, int seat);

// The fields a seated client's mirror receives from the server, taken from
// the authoritative game `full` (other hands blank, the prompt fields set as
// the prompt to `seat` would set them). Lets in-process players see exactly
// what a socket client would.
GameState ClientMirrorOf(const GameState& full, int seat);

}  // namespace zelbo
