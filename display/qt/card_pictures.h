// The 52 card pictures the table copies from: drawn by code at the screen's
// device-pixel ratio, or read from a folder of 900.png .. 951.png (the
// picture of card c is 900 + c). Each is 73 x 97 logical pixels; an image
// of another size is taken as the same card at a higher (or lower) ratio.
#pragma once

#include <QImage>
#include <QString>
#include <array>

namespace zelbo {

class CardPictures {
 public:
  // Draws the standard deck at device-pixel ratio `ratio`.
  explicit CardPictures(qreal ratio = 1.0);

  // Replaces all 52 pictures with the files 900.png .. 951.png of `folder`.
  // When any of them cannot be read, nothing is replaced and `error` names
  // the first file that failed.
  bool LoadFolder(const QString& folder, QString* error = nullptr);

  // Redraws the generated deck at a new ratio; pictures read from a folder
  // stay as they are.
  void SetRatio(qreal ratio);

  qreal ratio() const { return ratio_; }
  bool fromFolder() const { return fromFolder_; }
  // The picture of card 0..51 (the Two of Diamonds for anything else).
  const QImage& picture(int card) const;

  // One generated picture.
  static QImage DrawCardPicture(int card, qreal ratio);

 private:
  qreal ratio_ = 1.0;
  bool fromFolder_ = false;
  std::array<QImage, 52> pictures_;
};

}  // namespace zelbo
