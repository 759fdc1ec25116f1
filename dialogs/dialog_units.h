// Dialog units: the dialogs are laid out on a grid that follows the font,
// a quarter of the average character width across and an eighth of the line
// height down, so the fixed layouts keep their proportions with any font.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QRect>

namespace zelbo {

class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font) {
    QFontMetrics m(font);
    const QString sample = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    baseX_ = (m.horizontalAdvance(sample) / 26 + 1) / 2;
    baseY_ = m.height();
    if (baseX_ < 1) baseX_ = 1;
    if (baseY_ < 1) baseY_ = 1;
  }
  int X(int units) const { return units * baseX_ / 4; }
  int Y(int units) const { return units * baseY_ / 8; }
  QRect Rect(int x, int y, int w, int h) const { return QRect(X(x), Y(y), X(w), Y(h)); }

 private:
  int baseX_ = 6;
  int baseY_ = 13;
};

}  // namespace zelbo
