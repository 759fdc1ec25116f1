// The table's three text faces as Qt fonts: the sans-serif of the layout's
// face metrics, fitted to each face's line height and average width as
// near as the font allows.
#pragma once

#include <QFont>

#include "display/canvas.h"
#include "display/table_layout.h"

namespace zelbo {

// A sans-serif whose line height is at most the face's line height and
// whose average character is as near its average width as stretching allows.
QFont MakeTableFont(const TableFaceMetrics& face);

struct TableFonts {
  QFont large = MakeTableFont(FaceMetrics(TableFont::Large));
  QFont largeUnderlined = MakeTableFont(FaceMetrics(TableFont::LargeUnderlined));
  QFont small = MakeTableFont(FaceMetrics(TableFont::Small));

  const QFont& operator[](TableFont which) const {
    return which == TableFont::LargeUnderlined ? largeUnderlined
           : which == TableFont::Small         ? small
                                               : large;
  }
};

}  // namespace zelbo
