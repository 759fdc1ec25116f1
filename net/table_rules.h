// Who may do what at the server's table: each check is a pure verdict over
// the game and the seating; the server's dispatch only applies it.
#pragma once

#include "engine/game_state.h"
#include "net/connection_table.h"

namespace zelbo {

// A sit request from `conn` for `seat` may be considered: the connection
// has joined, holds no seat yet, and the seat byte names a seat. (Whether
// the seat is free is decided when the request is applied.)
bool MayRequestSeat(const ConnectionTable& table, const SeatOccupant& occupant, ConnId conn, int seat);

// A decision frame (MsgContractChosen or MsgDoubleChosen) from `conn` may
// be applied: the phase is PhaseChoosing, the frame fits the step (the
// contract at step 0, doubles at steps 1..4), the connection occupies the
// acting seat, and the rules offer `value` now.
bool MayDecide(const GameState& g, const SeatOccupant& occupant, ConnId conn, int type, int value);

// The server's own user may decide: it sits South and South is acting.
bool LocalMayDecide(const GameState& g, int localPosition, int value);

// A MsgUndoRequest from `conn` is honoured only when it holds a seat.
bool MayRequestUndo(const SeatOccupant& occupant, ConnId conn);

// How long a connection without a seat must have sent nothing but idle
// frames before it may give its slot to a newcomer at a full table.
constexpr int64_t IdleWatcherLimitMs = 30000;

// The connection without a seat that has been silent longest (idle frames
// do not count), NoConn when every connection is seated.
ConnId LongestSilentWatcher(const ConnectionTable& table, const SeatOccupant& occupant);

// At a full table, the connection that makes room for a new connection while a
// seat is empty (a player may be coming back): of the connections that hold
// no seat and have sent nothing for at least IdleWatcherLimitMs, the one
// silent longest. NoConn when there is none, or when every seat is taken
// (the newcomer is then turned away, and quiet watchers of a running game
// stay). Seated players are never chosen.
ConnId IdleConnectionToEvict(const ConnectionTable& table, const SeatOccupant& occupant, int64_t nowMs);

}  // namespace zelbo
