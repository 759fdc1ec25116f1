// A Canvas that draws the table's operations with a QPainter, in logical
// pixels; card pictures come from CardPictures, texts in TableFonts.
#pragma once

#include <QPainter>

#include "display/canvas.h"
#include "display/qt/card_pictures.h"
#include "display/qt/table_fonts.h"

namespace zelbo {

class QtCanvas : public Canvas {
 public:
  QtCanvas(QPainter& painter, const CardPictures& pictures, const TableFonts& fonts)
      : painter_(painter), pictures_(pictures), fonts_(fonts) {}

  void FillRect(const PaintRect& area, Rgb colour) override;
  void DrawText(int x, int y, std::string_view text, TableFont font, Rgb colour,
                Rgb background) override;
  void CopyCard(int card, const PaintRect& source, int x, int y) override;

 private:
  QPainter& painter_;
  const CardPictures& pictures_;
  const TableFonts& fonts_;
};

}  // namespace zelbo
