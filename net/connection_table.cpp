#include "net/connection_table.h"

#include <utility>

namespace zelbo {

int ConnectionTable::Find(ConnId conn) const {
  if (conn == NoConn) return -1;
  for (int i = 0; i < count_; ++i)
    if (slots_[static_cast<std::size_t>(i)].conn == conn) return i;
  return -1;
}

int ConnectionTable::Add(ConnId conn, int64_t nowMs) {
  if (count_ >= MaxConnections + ReturnSlots) return -1;
  ConnectionSlot& s = slots_[static_cast<std::size_t>(count_)];
  s = ConnectionSlot{};
  s.conn = conn;
  s.acceptedAtMs = nowMs;
  s.lastHeardMs = nowMs;
  return count_++;
}

int ConnectionTable::Remove(int i, SeatOccupant& occupant) {
  if (i < 0 || i >= count_) return -1;
  int vacated = -1;
  for (int seat = 0; seat < 4; ++seat) {
    if (occupant[static_cast<std::size_t>(seat)] == i) {
      occupant[static_cast<std::size_t>(seat)] = EmptySeat;
      vacated = seat;
    }
  }
  for (int j = i; j + 1 < count_; ++j)
    slots_[static_cast<std::size_t>(j)] = std::move(slots_[static_cast<std::size_t>(j + 1)]);
  for (int& o : occupant)
    if (o > i) --o;
  --count_;
  slots_[static_cast<std::size_t>(count_)] = ConnectionSlot{};
  return vacated;
}

int SeatOfSlot(const SeatOccupant& occupant, int slot) {
  if (slot < 0) return -1;
  for (int seat = 0; seat < 4; ++seat)
    if (occupant[static_cast<std::size_t>(seat)] == slot) return seat;
  return -1;
}

bool AllSeatsOccupied(const SeatOccupant& occupant) {
  for (int o : occupant)
    if (o == EmptySeat) return false;
  return true;
}

}  // namespace zelbo
