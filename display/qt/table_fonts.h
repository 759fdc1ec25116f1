// The table's three text faces as Qt fonts: a bold sans-serif (weight 800)
// fitted so that its line is 24 pixels high and its characters about 10
// wide (16 and 6 for the small one), as near as the face allows.
#pragma once

#include <QFont>

#include "display/canvas.h"

namespace zelbo {

// A bold sans-serif whose line height is at most `height` pixels and whose
// average character is as near `width` pixels as stretching allows.
QFont MakeTableFont(int height, int width, bool underline);

struct TableFonts {
  QFont large = MakeTableFont(24, 10, false);
  QFont largeUnderlined = MakeTableFont(24, 10, true);
  QFont small = MakeTableFont(16, 6, false);

  const QFont& operator[](TableFont which) const {
    return which == TableFont::LargeUnderlined ? largeUnderlined
           : which == TableFont::Small         ? small
                                               : large;
  }
};

}  // namespace zelbo
