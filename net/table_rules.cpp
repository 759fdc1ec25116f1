#include "net/table_rules.h"

#include "engine/engine.h"
#include "net/frames.h"

namespace zelbo {

bool MayRequestSeat(const ConnectionTable& table, const SeatOccupant& occupant, ConnId conn, int seat) {
  const Connection* c = table.Find(conn);
  if (!c || !c->joined || seat < 0 || seat > 3) return false;
  return SeatOf(occupant, conn) < 0;
}

bool MayDecide(const GameState& g, const SeatOccupant& occupant, ConnId conn, int type, int value) {
  if (g.phase != PhaseChoosing || conn < 0) return false;
  if (g.dealer < 0 || g.dealer > 3) return false;
  const bool contractStep = g.turn == 0;
  if (type != (contractStep ? MsgContractChosen : MsgDoubleChosen)) return false;
  if (occupant[static_cast<std::size_t>(ActingSeat(g))] != conn) return false;
  return IsDecisionAllowed(g, value);
}

bool LocalMayDecide(const GameState& g, int localPosition, int value) {
  if (localPosition != South || g.phase != PhaseChoosing) return false;
  if (g.dealer < 0 || g.dealer > 3 || ActingSeat(g) != South) return false;
  return IsDecisionAllowed(g, value);
}

bool MayRequestUndo(const SeatOccupant& occupant, ConnId conn) { return SeatOf(occupant, conn) >= 0; }

ConnId LongestSilentWatcher(const ConnectionTable& table, const SeatOccupant& occupant) {
  const Connection* chosen = nullptr;
  for (const Connection& c : table.all()) {
    if (SeatOf(occupant, c.conn) >= 0) continue;
    if (!chosen || c.lastHeardMs < chosen->lastHeardMs) chosen = &c;
  }
  return chosen ? chosen->conn : NoConn;
}

ConnId IdleConnectionToEvict(const ConnectionTable& table, const SeatOccupant& occupant, int64_t nowMs) {
  if (AllSeatsOccupied(occupant)) return NoConn;
  const ConnId chosen = LongestSilentWatcher(table, occupant);
  const Connection* c = table.Find(chosen);
  return c && nowMs - c->lastHeardMs >= IdleWatcherLimitMs ? chosen : NoConn;
}

}  // namespace zelbo
