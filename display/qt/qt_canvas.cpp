#include "display/qt/qt_canvas.h"

#include <QFontMetrics>

namespace zelbo {

namespace {

QColor ToQColor(Rgb c) { return QColor(c.red, c.green, c.blue); }

}  // namespace

void QtCanvas::FillRect(const PaintRect& area, Rgb colour) {
  painter_.fillRect(QRect(area.x, area.y, area.width, area.height), ToQColor(colour));
}

void QtCanvas::DrawText(int x, int y, std::string_view text, TableFont font, Rgb colour,
                        Rgb background) {
  if (text.empty()) return;
  const QString string = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  const QFont& f = fonts_[font];
  const QFontMetrics metrics(f, painter_.device());
  // Opaque: the text's cell is filled with the table colour first, so a
  // name that changes length never leaves old letters behind.
  painter_.fillRect(QRect(x, y, metrics.horizontalAdvance(string), metrics.height()),
                    ToQColor(background));
  painter_.setFont(f);
  painter_.setPen(ToQColor(colour));
  painter_.drawText(QPoint(x, y + metrics.ascent()), string);
}

void QtCanvas::CopyCard(int card, const PaintRect& source, int x, int y) {
  const QImage& image = pictures_.picture(card);
  const qreal r = image.devicePixelRatio();
  // Smoothing only where the picture is scaled (a folder's deck at another
  // ratio than the screen's); a one-to-one copy stays sharp and fast.
  const bool scaled = !qFuzzyCompare(r, painter_.device()->devicePixelRatioF());
  painter_.setRenderHint(QPainter::SmoothPixmapTransform, scaled);
  painter_.drawImage(QRectF(x, y, source.width, source.height), image,
                     QRectF(source.x * r, source.y * r, source.width * r, source.height * r));
}

}  // namespace zelbo
