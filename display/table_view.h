// TableView: everything the table painter and the click test read, gathered
// by the caller from the game, the seats and the settings; it does not say
// which role the program plays. The painter never looks anywhere else, so a
// test can build any table by hand and a server and several clients in one
// process each paint their own.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "display/canvas.h"
#include "display/table_settings.h"
#include "engine/game_state.h"

namespace zelbo {

// The classic layout is the desktop window's fixed 900 x 720 table; the
// compact one is laid out for a small screen of the size it is given.
enum class TableLayout { Classic, Compact };

struct TableView {
  // Whether there is a table to show at all (a game is being hosted or
  // mirrored); a closed view draws only the background.
  bool open = false;
  GameState game;
  // NoPosition neither seated nor watching, 0..3 seated, 4..7 watching
  // seat value - 4, KibitzAll watching all seats.
  int localPosition = NoPosition;

  // Per seat: the name it goes by in the texts (the dealer line, the
  // decisions, the viewer's own name) and whether somebody sits there;
  // names beside the table are shown for taken seats only.
  std::array<std::string, 4> seatNames;
  std::array<bool, 4> seatTaken{};

  // Settings.
  int32_t backgroundRed = DefaultTableColour.red;
  int32_t backgroundGreen = DefaultTableColour.green;
  int32_t backgroundBlue = DefaultTableColour.blue;
  int32_t cardSpacing = DefaultCardSpacing;
  bool privileged = false;
  // A card of the own hand chosen and waiting for a second tap to be
  // played, drawn raised (touch screens in a browser); -1 for none.
  int raisedSlot = -1;
  // The layout, and the logical size a compact table is laid out for (a
  // browser gives it its room in CSS pixels; it is bounded in compact_layout).
  TableLayout layout = TableLayout::Classic;
  int compactWidth = 0;
  int compactHeight = 0;
};

// The table colour: the low 8 bits of each background setting.
Rgb TableColour(const TableView& view);

// The seat at the bottom of the table: the own seat, the watched seat, or
// South when watching all; -1 for a viewer without a position.
int ViewerSeat(const TableView& view);

}  // namespace zelbo
