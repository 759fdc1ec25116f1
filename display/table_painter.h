// The table painter: draws the whole table for one viewer as fill, text and
// card-copy operations on a Canvas. It reads only the TableView and keeps
// nothing between calls. Positions are fixed pixels of the table's layout
// (table_layout.h); the view is turned so that the viewer's seat is at the
// bottom.
#pragma once

#include "display/canvas.h"
#include "display/table_view.h"

namespace zelbo {

// Paints the table; `updateArea` is the part of the window that needs
// paint (nothing is drawn when it is empty). The background fills only
// that area; everything else is drawn at its place and left to the canvas
// to clip.
void PaintTable(const TableView& view, const PaintRect& updateArea, Canvas& canvas);

// Colour of seat `a`'s name as seen from seat `b`: red when they doubled
// each other, magenta when redoubled, black otherwise and outside the
// choosing and playing phases.
Rgb DoublingColour(const GameState& game, int a, int b);

}  // namespace zelbo
