// What the page must know about the table besides the game itself: the
// layout's size and faces, the names of seats and positions, the dialogs'
// sizes, and the settings' defaults and bounds. Each comes from the one
// definition the desktop uses too; the page's scripts hold none of them
// and read this record through the bindings.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "display/canvas.h"
#include "display/table_layout.h"

namespace zelbo {

struct PageConstants {
  // The classic table's logical size.
  int tableWidth;
  int tableHeight;
  int cardCount;
  // A window narrower or lower than this gets the compact table.
  int compactBelowWidth;
  int compactBelowHeight;

  // The text faces, in TableFont's order.
  int faceWeight;
  int minFaceStretch;  // percent of the natural width
  int maxFaceStretch;
  std::array<TableFaceMetrics, TableFaceCount> faces;

  // Seats by number, the Sit menu's order, and the Kibbitz choice that
  // watches every seat.
  std::array<std::string, 4> seatNames;
  std::array<int, 4> sitMenuSeats;
  int kibitzEveryone;

  // The dialogs' sizes.
  int pickBoxCount;
  int pickSuitCount;
  int pickRankCount;
  int actionBoxCount;

  // Settings.
  int minCardSpacing;
  int maxCardSpacing;
  int defaultCardSpacing;
  std::string defaultTableColour;  // "#rrggbb"
  int maxHandleLength;             // bytes
};

PageConstants MakePageConstants();

// How the page names a position: "seated South", "watching West",
// "watching everyone", or "not seated" for anything else.
std::string PositionText(int position);

// A colour as the page's colour inputs write it ("#rrggbb", either case).
std::string ColourText(Rgb colour);
// False, leaving `colour` as it was, for anything but "#rrggbb".
bool ParseColourText(std::string_view text, Rgb& colour);

}  // namespace zelbo
