#include "display/table_view.h"

namespace zelbo {

Rgb TableColour(const TableView& view) {
  return Rgb{static_cast<uint8_t>(view.backgroundRed & 0xFF),
             static_cast<uint8_t>(view.backgroundGreen & 0xFF),
             static_cast<uint8_t>(view.backgroundBlue & 0xFF)};
}

int ViewerSeat(const TableView& view) {
  const std::optional<Position> p = PositionFromInt(view.localPosition);
  return p ? ViewedSeat(*p) : -1;
}

}  // namespace zelbo
