// The three drawing operations the table is made of, as an abstract surface.
// The painter only ever calls these, so what it draws, in which order and
// where, can be recorded and checked without a window system; the Qt canvas
// turns them into QPainter calls.
#pragma once

#include <cstdint>
#include <string_view>

namespace zelbo {

struct Rgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const Rgb&) const = default;
};

constexpr Rgb Black{0, 0, 0};
constexpr Rgb White{255, 255, 255};
constexpr Rgb Red{255, 0, 0};
constexpr Rgb Magenta{255, 0, 255};
constexpr Rgb Green{0, 200, 0};

// The three text faces of the table (their metrics are in table_layout.h):
// a large one, the same underlined to mark the player to act, and a small
// one for the compact doubling block during play.
enum class TableFont { Large, LargeUnderlined, Small };

// Card pictures are 73 x 97 logical pixels.
constexpr int CardWidth = 73;
constexpr int CardHeight = 97;

struct PaintRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool empty() const { return width <= 0 || height <= 0; }
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  // Fills a rectangle with a solid colour.
  virtual void FillRect(const PaintRect& area, Rgb colour) = 0;
  // Draws text with the top-left corner of its first character cell at
  // (x, y), in `colour`, on an opaque `background` behind the glyphs.
  virtual void DrawText(int x, int y, std::string_view text, TableFont font, Rgb colour,
                        Rgb background) = 0;
  // Copies the part `source` of the picture of `card` (0..51) with its
  // top-left corner to (x, y).
  virtual void CopyCard(int card, const PaintRect& source, int x, int y) = 0;
};

}  // namespace zelbo
