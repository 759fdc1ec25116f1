// The server's table of client connections and who sits where.
//
// Every connection is known by the ConnId its transport gave it, for as
// long as it lives: seating, masking and replies name that id, and a
// connection that goes moves nobody else. The table keeps the connections
// in the order they came, which is the order broadcasts reach them.
// SeatOccupant holds per seat the id of its occupant, EmptySeat for an
// empty seat and ServerUserSeat for the server's own user (South only).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "net/frames.h"
#include "net/rate_limit.h"
#include "net/transport.h"

namespace zelbo {

constexpr int MaxConnections = 32;
// Beyond MaxConnections, slots for newcomers while a game waits for a
// player who dropped: each must take a seat by the greeting deadline, and
// its sitting makes a watcher give up a slot, so the table is back at
// MaxConnections.
constexpr int ReturnSlots = 4;

struct Connection {
  ConnId conn = NoConn;
  bool joined = false;         // MsgJoin handled
  std::string handle;          // at most 31 characters
  std::string address;         // the client's address, kept for its leave
  int64_t acceptedAtMs = 0;    // for the greeting deadline
  int64_t lastHeardMs = 0;     // when the peer last sent a frame other than the idle one
  // Its queue went over MaxQueuedBytes: nothing more is sent, and the
  // connection is closed as a leave once the current handler is done.
  bool overflowed = false;
  // Came in over MaxConnections: must sit by the greeting deadline.
  bool mustSit = false;
  RateLimit chatLines = ChatLineLimit;
  RateLimit resends = ResendLimit;
  FrameReader reader{true};    // greeting check and pending bytes
};

using SeatOccupant = std::array<ConnId, 4>;

class ConnectionTable {
 public:
  int count() const { return static_cast<int>(connections_.size()); }
  // At the limit (the return slots may still be free).
  bool full() const { return count() >= MaxConnections; }
  // In arrival order; a reference is good until a connection is added or removed.
  const std::vector<Connection>& all() const { return connections_; }
  std::vector<Connection>& all() { return connections_; }

  // The connection with id `conn`, null when the table holds none.
  Connection* Find(ConnId conn);
  const Connection* Find(ConnId conn) const;
  // Takes in a new connection; null when the table is full or the id is
  // already held.
  Connection* Add(ConnId conn, int64_t nowMs);
  // Forgets `conn`. A seat it occupied becomes empty; returns that seat,
  // -1 for none.
  int Remove(ConnId conn, SeatOccupant& occupant);

 private:
  std::vector<Connection> connections_;
};

// The seat `conn` occupies, -1 for none.
int SeatOf(const SeatOccupant& occupant, ConnId conn);
// True when no seat is empty (the server's own user counts as an occupant).
bool AllSeatsOccupied(const SeatOccupant& occupant);

}  // namespace zelbo
