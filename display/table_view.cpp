#include "display/table_view.h"

namespace zelbo {

Rgb TableColour(const TableView& view) {
  return Rgb{static_cast<uint8_t>(view.BackgroundRed & 0xFF),
             static_cast<uint8_t>(view.BackgroundGreen & 0xFF),
             static_cast<uint8_t>(view.BackgroundBlue & 0xFF)};
}

bool SeatIsTaken(const TableView& view, int seat) {
  seat = SeatMod(seat);
  if (view.IsServer()) return view.SeatOccupant[seat] != EmptySeat;
  if (view.IsClient()) return view.SeatTaken[seat];
  return false;
}

std::string SeatDisplayName(const TableView& view, int seat) {
  seat = SeatMod(seat);
  if (view.IsServer()) {
    if (view.SeatOccupant[seat] == ServerUserSeat) return view.Handle;
    if (view.SeatOccupant[seat] == EmptySeat) return "crashee";
  }
  return view.SeatHandles[seat];
}

int ViewerSeat(const TableView& view) {
  if (view.LocalPosition < 0 || view.LocalPosition > KibitzAll) {
    return NoPosition;
  }
  return view.LocalPosition % 4;
}

}  // namespace zelbo
