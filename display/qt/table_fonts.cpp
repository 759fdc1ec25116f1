#include "display/qt/table_fonts.h"

#include <QFontMetrics>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace zelbo {

QFont MakeTableFont(int height, int width, bool underline) {
  QFont font;
  font.setStyleHint(QFont::SansSerif);
  font.setFamilies(QStringList{QStringLiteral("sans-serif")});
  font.setWeight(QFont::ExtraBold);
  font.setItalic(false);
  font.setStrikeOut(false);
  font.setUnderline(underline);

  // A pixel size is the em, a line is taller: shrink until the line fits.
  font.setPixelSize(height);
  const int full = QFontMetrics(font).height();
  int pixels = full > height ? std::max(1, height * height / full) : height;
  font.setPixelSize(pixels);
  while (pixels > 1 && QFontMetrics(font).height() > height) font.setPixelSize(--pixels);

  const int average = QFontMetrics(font).averageCharWidth();
  if (average > 0 && average != width) {
    const int stretch = static_cast<int>(std::lround(100.0 * width / average));
    font.setStretch(std::clamp(stretch, 50, 200));
  }
  return font;
}

}  // namespace zelbo
