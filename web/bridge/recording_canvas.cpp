#include "web/bridge/recording_canvas.h"

namespace zelbo {

void RecordingCanvas::FillRect(const PaintRect& area, Rgb colour) {
  ints.insert(ints.end(), {OpFill, area.x, area.y, area.width, area.height, colour.red,
                           colour.green, colour.blue});
}

void RecordingCanvas::DrawText(int x, int y, std::string_view text, TableFont font, Rgb colour,
                               Rgb background) {
  if (text.empty()) return;
  ints.insert(ints.end(), {OpText, x, y, static_cast<int>(font), colour.red, colour.green,
                           colour.blue, background.red, background.green, background.blue,
                           static_cast<int>(texts.size())});
  texts.emplace_back(text);
}

void RecordingCanvas::CopyCard(int card, const PaintRect& source, int x, int y) {
  ints.insert(ints.end(),
              {OpCard, card, source.x, source.y, source.width, source.height, x, y});
}

}  // namespace zelbo
