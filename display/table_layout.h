// The table's fixed layout and its text faces. Every position the painter
// and the click test use is a pixel of this logical area; the desktop's
// main window has exactly this size and the page scales it to the room it
// has. The faces are described by their metrics so that each canvas (Qt's
// fonts, a browser's) can fit a font of its own to them.
#pragma once

#include "display/canvas.h"

namespace zelbo {

// The logical size of the table (and of the desktop's main window).
constexpr int TableWidth = 900;
constexpr int TableHeight = 720;

// One text face of the table.
struct TableFaceMetrics {
  int lineHeight;    // pixels from the top of one line to the next
  int averageWidth;  // the average character's width in pixels
  // The em size in pixels at which a common sans-serif fills the line; a
  // canvas that cannot measure line heights starts from it.
  int typeSize;
  bool underlined;
  // The underline's top, from the line's top, and its thickness, for a
  // canvas that draws the underline itself.
  int underlineTop;
  int underlineThickness;
};

// All faces are a sans-serif of this weight (extra bold), stretched between
// these percentages of its natural width to reach the average width.
constexpr int TableFaceWeight = 800;
constexpr int MinFaceStretch = 50;
constexpr int MaxFaceStretch = 200;

// The faces in TableFont's order: Large, LargeUnderlined, Small.
constexpr int TableFaceCount = 3;
constexpr TableFaceMetrics TableFaces[TableFaceCount] = {
    {24, 10, 20, false, 21, 2},
    {24, 10, 20, true, 21, 2},
    {16, 6, 13, false, 0, 0},
};

constexpr const TableFaceMetrics& FaceMetrics(TableFont font) {
  const int i = static_cast<int>(font);
  return TableFaces[i >= 0 && i < TableFaceCount ? i : 0];
}

}  // namespace zelbo
