// The table painter: draws the whole table for one viewer as fill, text and
// card-copy operations on a Canvas. It reads only the TableView and keeps
// nothing between calls. Positions are fixed pixels of the table's layout
// (table_layout.h); the view is turned so that the viewer's seat is at the
// bottom.
#pragma once

#include "display/canvas.h"
#include "display/table_view.h"

namespace zelbo {

// Paints the table, in the view's layout (the compact one draws itself,
// compact_painter.h); `updateArea` is the part of the window that needs
// paint (nothing is drawn when it is empty). The background fills only
// that area; everything else is drawn at its place and left to the canvas
// to clip.
void PaintTable(const TableView& view, const PaintRect& updateArea, Canvas& canvas);

// The number shown beside seat `seat`'s name: tricks (or whatever the
// contract counts) during play, doubles still owed while choosing; -1 for
// none.
int SeatCounter(const GameState& game, int seat);

// Where the name of table position `p` (0 the viewer, 1 left, 2 top, 3
// right) is written, in the view's layout; empty when it is not shown.
PaintRect NameRect(const TableView& view, int p);

// How many entries of the deal's decisions the table shows: those taken
// so far while choosing, the whole round once play has begun, none
// otherwise.
int ShownDecisionCount(const GameState& game);

// Colour of seat `a`'s name as seen from seat `b`: red when they doubled
// each other, magenta when redoubled, black otherwise and outside the
// choosing and playing phases.
Rgb DoublingColour(const GameState& game, int a, int b);

}  // namespace zelbo
