// The drawn deck as a recipe: the outlines and letters of each card picture
// in the card's 73 x 97 logical box. The desktop draws them with QPainter,
// the browser page on an HTML canvas, each at its own pixel ratio, so both
// show the same cards and both stay sharp.
#pragma once

#include <string>
#include <vector>

#include "display/canvas.h"

namespace zelbo {

struct CardPathStep {
  enum Kind { MoveTo, LineTo, CubicTo, Ellipse, Close };
  Kind kind = MoveTo;
  // MoveTo, LineTo: x, y. CubicTo: two control points, then the end point.
  // Ellipse (a closed figure of its own): centre x, y, radius x, y.
  double v[6] = {};
};

// One step of a picture, drawn in order: a figure filled (non-zero winding)
// and/or outlined, or a line of bold sans-serif text.
struct CardShape {
  std::vector<CardPathStep> path;  // empty for text
  bool filled = false;
  Rgb fill;
  double penWidth = 0;  // 0: no outline
  Rgb pen;

  std::string text;
  double textSize = 0;     // pixel size of the font
  double centreX = 0;      // the text is centred on this x
  double y = 0;            // top of the line, or its middle when !alignTop
  bool alignTop = true;
  double maxWidth = 0;     // wider text is squeezed to this (0: never)
  bool upsideDown = false; // drawn turned half round the card's centre
  bool isText() const { return !text.empty(); }
};

// The picture of `card` (0..51; anything else draws the Two of Diamonds):
// a white card with a grey border, the rank and suit in two opposite
// corners (inside the strip that stays visible under the next card), and
// pips, a court panel or one large suit in the middle.
std::vector<CardShape> CardRecipe(int card);

}  // namespace zelbo
