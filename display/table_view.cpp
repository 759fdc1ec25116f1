#include "display/table_view.h"

namespace zelbo {

Rgb TableColour(const TableView& view) {
  return Rgb{static_cast<uint8_t>(view.backgroundRed & 0xFF),
             static_cast<uint8_t>(view.backgroundGreen & 0xFF),
             static_cast<uint8_t>(view.backgroundBlue & 0xFF)};
}

bool SeatIsTaken(const TableView& view, int seat) {
  seat = SeatMod(seat);
  if (view.IsServer()) return view.seatOccupant[seat] != EmptySeat;
  if (view.IsClient()) return view.seatTaken[seat];
  return false;
}

std::string SeatDisplayName(const TableView& view, int seat) {
  seat = SeatMod(seat);
  if (view.IsServer()) {
    if (view.seatOccupant[seat] == ServerUserSeat) return view.handle;
    if (view.seatOccupant[seat] == EmptySeat) return "crashee";
  }
  return view.seatHandles[seat];
}

int ViewerSeat(const TableView& view) {
  const std::optional<Position> p = PositionFromInt(view.localPosition);
  return p ? ViewedSeat(*p) : -1;
}

}  // namespace zelbo
