#include "display/card_drawing.h"

#include <algorithm>

#include "engine/cards.h"

namespace zelbo {

namespace {

void Copy(Canvas& canvas, int card, int sx, int sy, int w, int h, int x, int y) {
  if (w <= 0 || h <= 0) return;
  canvas.CopyCard(card, PaintRect{sx, sy, w, h}, x, y);
}

}  // namespace

void DrawCardStrip(Canvas& canvas, int card, int x, int y, int width) {
  if (!IsCard(card)) return;
  const int w = std::min(width, CardWidth);
  if (w <= 0) return;
  const bool whole = w == CardWidth;
  // Row 0 and row 96 lose their left corner pixel, and, for the whole
  // card, their right one too.
  const int edgeWidth = whole ? CardWidth - 2 : w - 1;
  Copy(canvas, card, 1, 0, edgeWidth, 1, x + 1, y);
  Copy(canvas, card, 0, 1, w, CardHeight - 2, x, y + 1);
  Copy(canvas, card, 1, CardHeight - 1, edgeWidth, 1, x + 1, y + CardHeight - 1);
}

void DrawCard(Canvas& canvas, int card, int x, int y) {
  DrawCardStrip(canvas, card, x, y, CardWidth);
}

void DrawCardTop(Canvas& canvas, int card, int x, int y, int rows) {
  if (!IsCard(card) || rows <= 0) return;
  rows = std::min(rows, CardHeight);
  Copy(canvas, card, 1, 0, CardWidth - 2, 1, x + 1, y);
  Copy(canvas, card, 0, 1, CardWidth, rows - 1, x, y + 1);
}

}  // namespace zelbo
