#include "display/table_view.h"

namespace zelbo {

Rgb TableColour(const TableView& view) {
  return Rgb{static_cast<uint8_t>(view.backgroundRed & 0xFF),
             static_cast<uint8_t>(view.backgroundGreen & 0xFF),
             static_cast<uint8_t>(view.backgroundBlue & 0xFF)};
}

int ViewerSeat(const TableView& view) {
  if (view.localPosition < 0 || view.localPosition > KibitzAll) {
    return NoPosition;
  }
  return view.localPosition % 4;
}

}  // namespace zelbo
