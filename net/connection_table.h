// The server's table of client connections and who sits where.
//
// ConnectionTable keeps up to 32 slots in use from 0 to count()-1 without
// gaps; when a slot goes, the slots above it move down by one and every
// SeatOccupant entry naming a moved slot follows it. SeatOccupant holds per
// seat the slot index of its occupant, -1 for an empty seat and -2 for the
// server's own user (South only).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

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

struct ConnectionSlot {
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
  // Greeting check and pending bytes. Shared so that a read in progress
  // keeps its reader even if the slot moves or goes during dispatch.
  std::shared_ptr<FrameReader> reader = std::make_shared<FrameReader>(true);
};

using SeatOccupant = std::array<int, 4>;

class ConnectionTable {
 public:
  int count() const { return count_; }
  // At the limit (the return slots may still be free).
  bool full() const { return count_ >= MaxConnections; }
  ConnectionSlot& slot(int i) { return slots_[static_cast<std::size_t>(i)]; }
  const ConnectionSlot& slot(int i) const { return slots_[static_cast<std::size_t>(i)]; }

  // Slot index of a connection, -1 when it holds none.
  int Find(ConnId conn) const;
  // Puts a new connection in slot count(); returns its index, -1 when the
  // return slots are taken too.
  int Add(ConnId conn, int64_t nowMs);
  // Removes slot i, closing the gap and renumbering `occupant`. Seats that
  // slot i occupied become empty. Returns the seat it vacated, -1 for none.
  int Remove(int i, SeatOccupant& occupant);

 private:
  std::array<ConnectionSlot, MaxConnections + ReturnSlots> slots_;
  int count_ = 0;
};

// The seat a slot occupies, -1 for none.
int SeatOfSlot(const SeatOccupant& occupant, int slot);
// True when no seat is empty (the server's own user counts as an occupant).
bool AllSeatsOccupied(const SeatOccupant& occupant);

}  // namespace zelbo
