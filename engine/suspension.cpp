// Suspension: a game stops while a seat is empty and goes on when the table
// is full again; and the copy of the dealer's offer for a dialog on the
// server's own screen.
#include <algorithm>

#include "engine/engine.h"
#include "engine/engine_internal.h"

namespace zelbo {

bool SuspendGame(GameState& g) {
  const Phase before = g.phase;
  g.phase = SuspendedPhase(before);
  return g.phase != before;
}

bool ResumeGame(GameState& g, EngineHost& host) {
  const detail::InvariantGuard guard(g);
  const bool suspended = IsSuspended(g.phase);
  g.phase = ResumedPhase(g.phase);
  host.SendStatus(g);
  host.RedrawTable();
  if (g.phase == PhaseChoosing) {
    if (g.turn != 0) {
      g.forcedDouble = ForcedDoubleNow(g);
      host.RequestDoublingDecision(g);
    } else {
      host.RequestContractChoice(g);
    }
  }
  return suspended;
}

void OfferContracts(GameState& g) {
  const int dealer = SeatMod(g.dealer);
  std::copy(std::begin(g.contractsLeft[dealer]), std::end(g.contractsLeft[dealer]),
            std::begin(g.offeredContracts));
}

}  // namespace zelbo
