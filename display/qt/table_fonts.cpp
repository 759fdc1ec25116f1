#include "display/qt/table_fonts.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace zelbo {

QFont MakeTableFont(const TableFaceMetrics& face) {
  const int height = face.lineHeight;
  const int width = face.averageWidth;
  QFont font;
  font.setStyleHint(QFont::SansSerif);
  font.setFamilies(QStringList{QStringLiteral("sans-serif")});
  font.setWeight(static_cast<QFont::Weight>(TableFaceWeight));
  font.setItalic(false);
  font.setStrikeOut(false);
  font.setUnderline(face.underlined);

  // A pixel size is the em, a line is taller: shrink until the line fits.
  font.setPixelSize(height);
  const int full = QFontMetrics(font).height();
  int pixels = full > height ? std::max(1, height * height / full) : height;
  font.setPixelSize(pixels);
  while (pixels > 1 && QFontMetrics(font).height() > height) font.setPixelSize(--pixels);

  // Stretching does not scale the average width exactly in proportion, so
  // a few corrections home in on it; the nearest stretch tried is kept.
  const qreal natural = QFontMetricsF(font).averageCharWidth();
  if (natural <= 0) return font;
  int stretch = static_cast<int>(std::lround(100.0 * width / natural));
  int best = 100;
  qreal bestError = std::abs(natural - width);
  for (int round = 0; round < 4 && bestError > 0.25; ++round) {
    stretch = std::clamp(stretch, MinFaceStretch, MaxFaceStretch);
    font.setStretch(stretch);
    const qreal average = QFontMetricsF(font).averageCharWidth();
    if (average <= 0) break;
    if (std::abs(average - width) < bestError) {
      bestError = std::abs(average - width);
      best = stretch;
    }
    stretch = static_cast<int>(std::lround(stretch * width / average));
  }
  font.setStretch(best);
  return font;
}

}  // namespace zelbo
