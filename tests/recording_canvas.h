// A Canvas that records every operation, for checking what the table
// painter draws, in which order and where.
#pragma once

#include <string>
#include <vector>

#include "display/canvas.h"

namespace zelbo {

struct CanvasOp {
  enum Kind { Fill, Text, Copy } kind;
  PaintRect rect;    // Fill: the area; Copy: the source rectangle
  int x = 0;         // Text and Copy: destination
  int y = 0;
  std::string text;
  TableFont font = TableFont::Large;
  Rgb colour;
  Rgb background;
  int card = -1;
};

// One card as the painter drew it, told by the copy of its body rows
// (source row 1 and down).
struct DrawnCard {
  int card;
  int x;      // left edge of the card
  int y;      // top edge of the card
  int width;  // columns copied
  int rows;   // rows 0..rows-1 shown
};

class RecordingCanvas : public Canvas {
 public:
  void FillRect(const PaintRect& area, Rgb colour) override {
    ops.push_back(CanvasOp{CanvasOp::Fill, area, 0, 0, {}, TableFont::Large, colour, {}, -1});
  }
  void DrawText(int x, int y, std::string_view text, TableFont font, Rgb colour,
                Rgb background) override {
    ops.push_back(CanvasOp{CanvasOp::Text, {}, x, y, std::string(text), font, colour,
                           background, -1});
  }
  void CopyCard(int card, const PaintRect& source, int x, int y) override {
    ops.push_back(CanvasOp{CanvasOp::Copy, source, x, y, {}, TableFont::Large, {}, {}, card});
  }

  std::vector<CanvasOp> Texts() const {
    std::vector<CanvasOp> out;
    for (const CanvasOp& op : ops) {
      if (op.kind == CanvasOp::Text) out.push_back(op);
    }
    return out;
  }
  // The text drawn at (x, y), or nullptr.
  const CanvasOp* TextAt(int x, int y) const {
    for (const CanvasOp& op : ops) {
      if (op.kind == CanvasOp::Text && op.x == x && op.y == y) return &op;
    }
    return nullptr;
  }
  std::vector<DrawnCard> Cards() const {
    std::vector<DrawnCard> out;
    for (const CanvasOp& op : ops) {
      if (op.kind == CanvasOp::Copy && op.rect.y == 1) {
        out.push_back(DrawnCard{op.card, op.x, op.y - 1, op.rect.width, op.rect.height + 1});
      }
    }
    return out;
  }
  // The cards whose top edge is at `y`.
  std::vector<DrawnCard> CardsAtRow(int y) const {
    std::vector<DrawnCard> out;
    for (const DrawnCard& c : Cards()) {
      if (c.y == y) out.push_back(c);
    }
    return out;
  }

  std::vector<CanvasOp> ops;
};

}  // namespace zelbo
