#include "display/qt/card_pictures.h"

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "display/canvas.h"
#include "engine/cards.h"

namespace zelbo {

namespace {

const QColor RedInk(200, 0, 0);
const QColor BlackInk(20, 20, 20);

QColor InkOf(int suit) { return suit == Hearts || suit == Diamonds ? RedInk : BlackInk; }

const char* RankText(int rank) {
  static const char* const Texts[13] = {"2", "3", "4",  "5", "6", "7", "8",
                                        "9", "10", "J", "Q", "K", "A"};
  return Texts[rank];
}

// The suit symbols as outlines in the box -1..1, centred on the origin.
QPainterPath SuitPath(int suit) {
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  switch (suit) {
    case Diamonds:
      path.moveTo(0, -1);
      path.lineTo(0.72, 0);
      path.lineTo(0, 1);
      path.lineTo(-0.72, 0);
      path.closeSubpath();
      break;
    case Hearts:
      path.moveTo(0, 0.95);
      path.cubicTo(-0.25, 0.65, -1, 0.2, -1, -0.35);
      path.cubicTo(-1, -0.95, -0.25, -1.05, 0, -0.5);
      path.cubicTo(0.25, -1.05, 1, -0.95, 1, -0.35);
      path.cubicTo(1, 0.2, 0.25, 0.65, 0, 0.95);
      break;
    case Spades:
      path.moveTo(0, -1);
      path.cubicTo(0.25, -0.65, 1, -0.25, 1, 0.2);
      path.cubicTo(1, 0.65, 0.35, 0.75, 0.1, 0.4);
      path.lineTo(0.35, 1);
      path.lineTo(-0.35, 1);
      path.lineTo(-0.1, 0.4);
      path.cubicTo(-0.35, 0.75, -1, 0.65, -1, 0.2);
      path.cubicTo(-1, -0.25, -0.25, -0.65, 0, -1);
      break;
    default:  // Clubs
      path.addEllipse(QPointF(0, -0.5), 0.44, 0.44);
      path.addEllipse(QPointF(-0.5, 0.15), 0.44, 0.44);
      path.addEllipse(QPointF(0.5, 0.15), 0.44, 0.44);
      path.moveTo(0, 0.1);
      path.lineTo(0.3, 1);
      path.lineTo(-0.3, 1);
      path.closeSubpath();
      break;
  }
  return path;
}

void DrawSuit(QPainter& p, int suit, QPointF centre, qreal halfSize, bool upsideDown = false) {
  p.save();
  p.translate(centre);
  if (upsideDown) p.rotate(180);
  p.scale(halfSize, halfSize);
  p.setPen(Qt::NoPen);
  p.setBrush(InkOf(suit));
  p.drawPath(SuitPath(suit));
  p.restore();
}

QFont IndexFont(qreal pixels) {
  QFont font;
  font.setStyleHint(QFont::SansSerif);
  font.setWeight(QFont::Bold);
  font.setPixelSize(static_cast<int>(std::lround(pixels)));
  return font;
}

// Rank and suit in the top-left corner, inside the 16 columns that stay
// visible when the card lies under its right-hand neighbour.
void DrawIndex(QPainter& p, int suit, int rank) {
  const QFont font = IndexFont(13);
  const QFontMetricsF metrics(font);
  const QString text = QString::fromLatin1(RankText(rank));
  const qreal room = 13.0;
  const qreal advance = metrics.horizontalAdvance(text);
  p.save();
  p.setFont(font);
  p.setPen(InkOf(suit));
  p.translate(8.5, 1);
  if (advance > room) p.scale(room / advance, 1.0);  // "10" squeezed into the strip
  p.drawText(QPointF(-advance / 2, metrics.ascent()), text);
  p.restore();
  DrawSuit(p, suit, QPointF(8.5, 22), 5);
}

// Pip centres of the number cards, in a 3 x 7 grid over the card's middle.
void DrawPips(QPainter& p, int suit, int count) {
  const qreal l = 24, m = 36.5, r = 49;
  const qreal top = 17, bottom = 80;
  const qreal row = (bottom - top) / 6.0;  // seven rows 0..6
  auto y = [&](qreal i) { return top + row * i; };
  QList<QPointF> pips;
  switch (count) {
    case 2: pips = {{m, y(0)}, {m, y(6)}}; break;
    case 3: pips = {{m, y(0)}, {m, y(3)}, {m, y(6)}}; break;
    case 4: pips = {{l, y(0)}, {r, y(0)}, {l, y(6)}, {r, y(6)}}; break;
    case 5: pips = {{l, y(0)}, {r, y(0)}, {m, y(3)}, {l, y(6)}, {r, y(6)}}; break;
    case 6: pips = {{l, y(0)}, {r, y(0)}, {l, y(3)}, {r, y(3)}, {l, y(6)}, {r, y(6)}}; break;
    case 7:
      pips = {{l, y(0)}, {r, y(0)}, {m, y(1.5)}, {l, y(3)}, {r, y(3)}, {l, y(6)}, {r, y(6)}};
      break;
    case 8:
      pips = {{l, y(0)}, {r, y(0)}, {m, y(1.5)}, {l, y(3)},
              {r, y(3)}, {m, y(4.5)}, {l, y(6)}, {r, y(6)}};
      break;
    case 9:
      pips = {{l, y(0)}, {r, y(0)}, {l, y(2)}, {r, y(2)}, {m, y(3)},
              {l, y(4)}, {r, y(4)}, {l, y(6)}, {r, y(6)}};
      break;
    default:  // 10
      pips = {{l, y(0)}, {r, y(0)}, {m, y(1)}, {l, y(2)}, {r, y(2)},
              {l, y(4)}, {r, y(4)}, {m, y(5)}, {l, y(6)}, {r, y(6)}};
      break;
  }
  for (const QPointF& c : pips) DrawSuit(p, suit, c, 6.5, c.y() > 48.5);
}

QPainterPath CrownPath(QPointF centre, qreal width, qreal height) {
  const qreal x0 = centre.x() - width / 2, x1 = centre.x() + width / 2;
  const qreal y0 = centre.y() - height / 2, y1 = centre.y() + height / 2;
  QPainterPath crown;
  crown.moveTo(x0, y1);
  crown.lineTo(x0, y0);
  crown.lineTo(x0 + width * 0.25, y0 + height * 0.55);
  crown.lineTo(centre.x(), y0 - height * 0.1);
  crown.lineTo(x1 - width * 0.25, y0 + height * 0.55);
  crown.lineTo(x1, y0);
  crown.lineTo(x1, y1);
  crown.closeSubpath();
  return crown;
}

// Jack, Queen and King: a framed panel with the suit at its corners, a
// large letter, and a crown over the Queen and the King (a larger one for
// the King).
void DrawCourt(QPainter& p, int suit, int rank) {
  static const QColor Panels[3] = {QColor(205, 228, 250), QColor(238, 218, 250),
                                   QColor(252, 232, 160)};
  const QRectF panel(16.5, 10.5, 40, 76);
  p.setPen(QPen(InkOf(suit), 1.2));
  p.setBrush(Panels[rank - 9]);
  p.drawRect(panel);
  DrawSuit(p, suit, panel.topLeft() + QPointF(6, 7), 4);
  DrawSuit(p, suit, panel.topRight() + QPointF(-6, 7), 4);
  DrawSuit(p, suit, panel.bottomLeft() + QPointF(6, -7), 4, true);
  DrawSuit(p, suit, panel.bottomRight() + QPointF(-6, -7), 4, true);
  if (rank >= QueenRank) {
    const qreal width = rank == QueenRank ? 18 : 24;
    p.setPen(QPen(QColor(120, 80, 0), 1));
    p.setBrush(QColor(235, 180, 30));
    p.drawPath(CrownPath(QPointF(36.5, 30), width, 12));
  }
  QFont letter = IndexFont(34);
  p.setFont(letter);
  p.setPen(InkOf(suit));
  p.drawText(QRectF(16.5, 36, 40, 40), Qt::AlignCenter, QString::fromLatin1(RankText(rank)));
}

}  // namespace

QImage CardPictures::DrawCardPicture(int card, qreal ratio) {
  if (!IsCard(card)) card = 0;
  const int suit = SuitOf(card);
  const int rank = RankOf(card);
  QImage image(static_cast<int>(std::ceil(CardWidth * ratio)),
               static_cast<int>(std::ceil(CardHeight * ratio)), QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  // Border just inside the edge; the painter leaves the corner pixels out.
  p.setPen(QPen(QColor(60, 60, 60), 1));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(0.5, 0.5, CardWidth - 1, CardHeight - 1));

  DrawIndex(p, suit, rank);
  p.save();  // the same index upside down in the opposite corner
  p.translate(CardWidth, CardHeight);
  p.rotate(180);
  DrawIndex(p, suit, rank);
  p.restore();

  if (rank == 12) {
    DrawSuit(p, suit, QPointF(36.5, 48.5), 15);
  } else if (rank >= 9) {
    DrawCourt(p, suit, rank);
  } else {
    DrawPips(p, suit, rank + 2);
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
