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
  if (view.localPosition < 0 || view.localPosition > KibitzAll) {
    return NoPosition;
  }
  return view.localPosition % 4;
}

}  // namespace zelbo
