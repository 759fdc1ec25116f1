#include "display/qt/card_pictures.h"

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "display/canvas.h"
#include "display/card_recipe.h"
#include "engine/cards.h"

namespace zelbo {

namespace {

QColor ToQColor(Rgb c) { return QColor(c.red, c.green, c.blue); }

QPainterPath ToPath(const std::vector<CardPathStep>& steps) {
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  for (const CardPathStep& s : steps) {
    switch (s.kind) {
      case CardPathStep::MoveTo: path.moveTo(s.v[0], s.v[1]); break;
      case CardPathStep::LineTo: path.lineTo(s.v[0], s.v[1]); break;
      case CardPathStep::CubicTo: path.cubicTo(s.v[0], s.v[1], s.v[2], s.v[3], s.v[4], s.v[5]); break;
      case CardPathStep::Ellipse: path.addEllipse(QPointF(s.v[0], s.v[1]), s.v[2], s.v[3]); break;
      case CardPathStep::Close: path.closeSubpath(); break;
    }
  }
  return path;
}

void DrawLabel(QPainter& p, const CardShape& shape) {
  QFont font;
  font.setStyleHint(QFont::SansSerif);
  font.setWeight(QFont::Bold);
  font.setPixelSize(static_cast<int>(std::lround(shape.textSize)));
  const QFontMetricsF metrics(font);
  const QString text = QString::fromUtf8(shape.text.c_str());
  const qreal advance = metrics.horizontalAdvance(text);
  p.save();
  if (shape.upsideDown) {
    p.translate(CardWidth, CardHeight);
    p.rotate(180);
  }
  p.setFont(font);
  p.setPen(ToQColor(shape.fill));
  p.translate(shape.centreX, shape.y);
  if (shape.maxWidth > 0 && advance > shape.maxWidth) p.scale(shape.maxWidth / advance, 1.0);
  const qreal baseline =
      shape.alignTop ? metrics.ascent() : (metrics.ascent() - metrics.descent()) / 2;
  p.drawText(QPointF(-advance / 2, baseline), text);
  p.restore();
}

}  // namespace

QImage CardPictures::DrawCardPicture(int card, qreal ratio) {
  QImage image(static_cast<int>(std::ceil(CardWidth * ratio)),
               static_cast<int>(std::ceil(CardHeight * ratio)), QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  for (const CardShape& shape : CardRecipe(card)) {
    if (shape.isText()) {
      DrawLabel(p, shape);
      continue;
    }
    p.setPen(shape.penWidth > 0 ? QPen(ToQColor(shape.pen), shape.penWidth) : QPen(Qt::NoPen));
    p.setBrush(shape.filled ? QBrush(ToQColor(shape.fill)) : QBrush(Qt::NoBrush));
    p.drawPath(ToPath(shape.path));
  }
  p.end();
  return image;
}

CardPictures::CardPictures(qreal ratio) { SetRatio(ratio); }

void CardPictures::SetRatio(qreal ratio) {
  if (ratio <= 0) ratio = 1.0;
  if (fromFolder_) return;
  ratio_ = ratio;
  for (int c = 0; c < 52; ++c) pictures_[c] = DrawCardPicture(c, ratio);
}

bool CardPictures::LoadFolder(const QString& folder, QString* error) {
  std::array<QImage, 52> loaded;
  const QDir dir(folder);
  for (int c = 0; c < 52; ++c) {
    const QString path = dir.filePath(QStringLiteral("%1.png").arg(900 + c));
    QImage image(path);
    if (image.isNull() || image.width() < 1 || image.height() < 1) {
      if (error) *error = path;
      return false;
    }
    const qreal ratio = static_cast<qreal>(image.width()) / CardWidth;
    const int height = static_cast<int>(std::lround(CardHeight * ratio));
    if (image.height() != height) {
      image = image.scaled(image.width(), std::max(height, 1), Qt::IgnoreAspectRatio,
                           Qt::SmoothTransformation);
    }
    image = image.convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    loaded[c] = std::move(image);
  }
  pictures_ = std::move(loaded);
  fromFolder_ = true;
  return true;
}

const QImage& CardPictures::picture(int card) const {
  return pictures_[IsCard(card) ? card : 0];
}

}  // namespace zelbo
