// Copying card pictures onto the table with their corners cut: the four
// corner pixels are left out so that the table colour shows there and the
// card looks rounded.
#pragma once

#include "display/canvas.h"

namespace zelbo {

// The whole card with its top-left corner at (x, y).
void DrawCard(Canvas& canvas, int card, int x, int y);

// Only the left `width` columns of the card, for a card that another card
// covers on the right. A width of the card's or more draws the whole card;
// a width of 0 or less draws nothing.
void DrawCardStrip(Canvas& canvas, int card, int x, int y, int width);

// Only the top `rows` rows of the card (1..97), all columns, row 0 with its
// corners cut.
void DrawCardTop(Canvas& canvas, int card, int x, int y, int rows);

}  // namespace zelbo
