#include "net/table_rules.h"

#include "engine/engine.h"
#include "net/frames.h"

namespace zelbo {

bool MayRequestSeat(const ConnectionTable& table, const SeatOccupant& occupant, int slot, int seat) {
  if (slot < 0 || slot >= table.count() || seat < 0 || seat > 3) return false;
  if (!table.slot(slot).joined) return false;
  return SeatOfSlot(occupant, slot) < 0;
}

bool MayDecide(const GameState& g, const SeatOccupant& occupant, int slot, int type, int value) {
  if (g.phase != PhaseChoosing || slot < 0) return false;
  if (g.dealer < 0 || g.dealer > 3) return false;
  const bool contractStep = g.turn == 0;
  if (type != (contractStep ? MsgContractChosen : MsgDoubleChosen)) return false;
  if (occupant[static_cast<std::size_t>(ActingSeat(g))] != slot) return false;
  return IsDecisionAllowed(g, value);
}

bool LocalMayDecide(const GameState& g, int localPosition, int value) {
  if (localPosition != South || g.phase != PhaseChoosing) return false;
  if (g.dealer < 0 || g.dealer > 3 || ActingSeat(g) != South) return false;
  return IsDecisionAllowed(g, value);
}

bool MayRequestUndo(const SeatOccupant& occupant, int slot) {
  return SeatOfSlot(occupant, slot) >= 0;
}

int LongestSilentWatcher(const ConnectionTable& table, const SeatOccupant& occupant) {
  int chosen = -1;
  for (int i = 0; i < table.count(); ++i) {
    if (SeatOfSlot(occupant, i) >= 0) continue;
    if (chosen < 0 || table.slot(i).lastHeardMs < table.slot(chosen).lastHeardMs) chosen = i;
  }
  return chosen;
}

int IdleSlotToEvict(const ConnectionTable& table, const SeatOccupant& occupant, int64_t nowMs) {
  if (AllSeatsOccupied(occupant)) return -1;
  const int chosen = LongestSilentWatcher(table, occupant);
  return chosen >= 0 && nowMs - table.slot(chosen).lastHeardMs >= IdleWatcherLimitMs ? chosen : -1;
}

}  // namespace zelbo
