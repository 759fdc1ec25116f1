#include "net/connection_table.h"

#include <algorithm>

namespace zelbo {

Connection* ConnectionTable::Find(ConnId conn) {
  if (conn < 0) return nullptr;
  auto it = std::find_if(connections_.begin(), connections_.end(),
                         [conn](const Connection& c) { return c.conn == conn; });
  return it == connections_.end() ? nullptr : &*it;
}

const Connection* ConnectionTable::Find(ConnId conn) const {
  return const_cast<ConnectionTable*>(this)->Find(conn);
}

Connection* ConnectionTable::Add(ConnId conn, int64_t nowMs) {
  if (count() >= MaxConnections + ReturnSlots || conn < 0 || Find(conn)) return nullptr;
  Connection& c = connections_.emplace_back();
  c.conn = conn;
  c.acceptedAtMs = nowMs;
  c.lastHeardMs = nowMs;
  return &c;
}

int ConnectionTable::Remove(ConnId conn, SeatOccupant& occupant) {
  const int vacated = SeatOf(occupant, conn);
  if (vacated >= 0) occupant[static_cast<std::size_t>(vacated)] = EmptySeat;
  std::erase_if(connections_, [conn](const Connection& c) { return c.conn == conn; });
  return vacated;
}

int SeatOf(const SeatOccupant& occupant, ConnId conn) {
  if (conn < 0) return -1;
  for (int seat = 0; seat < 4; ++seat)
    if (occupant[static_cast<std::size_t>(seat)] == conn) return seat;
  return -1;
}

bool AllSeatsOccupied(const SeatOccupant& occupant) {
  return std::none_of(occupant.begin(), occupant.end(), [](ConnId o) { return o == EmptySeat; });
}

}  // namespace zelbo
