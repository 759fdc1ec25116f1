// A canvas that keeps the painter's operations as a flat list, for the page
// to carry out on an HTML canvas. Numbers go to `ints`, texts to `texts`;
// each operation starts with its kind.
//   Fill: OpFill, x, y, width, height, red, green, blue
//   Text: OpText, x, y, font, red, green, blue, back red, back green,
//         back blue, text index
//   Card: OpCard, card, source x, source y, source width, source height, x, y
#pragma once

#include <string>
#include <vector>

#include "display/canvas.h"

namespace zelbo {

constexpr int OpFill = 1;
constexpr int OpText = 2;
constexpr int OpCard = 3;

class RecordingCanvas : public Canvas {
 public:
  void FillRect(const PaintRect& area, Rgb colour) override;
  void DrawText(int x, int y, std::string_view text, TableFont font, Rgb colour,
                Rgb background) override;
  void CopyCard(int card, const PaintRect& source, int x, int y) override;

  std::vector<int> ints;
  std::vector<std::string> texts;
};

}  // namespace zelbo
