// A client's GameState is filled from frames, which carry the table but
// not the engine's bookkeeping of the trick and of the Dominoes rows. These
// helpers work that bookkeeping out from what the frames do carry
// (`tableCards`, `turn`, `contract`, `dealNumber`, `playRound`), so the
// engine's pure rule queries (MayPlayCard, OfferedDoubles, ...) give the
// same verdicts on a mirror as on the server.
#pragma once

#include "engine/game_state.h"

namespace zelbo {

// Sets `trickDone`, `trickLeader`, the current row of `playRecords` (for
// trick contracts) and `domUp`/`domDown` (for Dominoes) from the mirrored
// fields. Does nothing outside a deal in progress.
void DerivePlayFields(GameState& mirror);

}  // namespace zelbo
