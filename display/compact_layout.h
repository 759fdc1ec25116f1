// The compact table for small screens, laid out for the size it is given:
// the own hand large along the bottom (one row, or two when one row would
// leave less than a finger's width of each card), the other seats as small
// blocks (name, cards held, latest decision), the trick in the middle and
// the deal and contract at the top left. The painter and the click test both
// place everything through these functions, so a card is hit exactly where
// it is drawn.
#pragma once

#include <array>
#include <string>

#include "display/canvas.h"
#include "display/table_view.h"

namespace zelbo {

struct TableSize {
  int width = 0;
  int height = 0;
};

// The bounds of a compact table's logical size; the least height is what
// the width needs for nothing to collide.
constexpr int MinCompactWidth = 320;
constexpr int MaxCompactWidth = 1600;
constexpr int MaxCompactHeight = 1600;
// A window narrower or lower than this is better served by the compact
// layout: the classic one would shrink its cards below a fingertip.
constexpr int CompactBelowWidth = 760;
constexpr int CompactBelowHeight = 600;

constexpr int CompactMargin = 4;
// The narrowest step between neighbouring cards of a row: the part of each
// card left uncovered is at least a fingertip (44 px) wide.
constexpr int CompactMinStep = 48;
// How much of a card of the upper row shows above the lower row.
constexpr int CompactRowGap = 64;
// Compact tables at least this wide (and wider than high) put the left and
// right seats beside the trick; narrower ones put all three along the top.
constexpr int CompactWideFrom = 600;
// The background of the name of the seat to act.
constexpr Rgb TurnMark{255, 214, 0};

// Whether the view is painted compact: watching every hand keeps the
// classic layout, which has room for all four.
bool UsesCompact(const TableView& view);
// The logical size the view is painted at.
TableSize LayoutSize(const TableView& view);

// One card of the own hand: the whole card and its part left uncovered by
// the cards painted after it (either stands raised when chosen).
struct HandPlace {
  int slot = -1;
  PaintRect card;
  PaintRect visible;
};
struct HandPlaces {
  std::array<HandPlace, 13> places{};
  int count = 0;
};
// The own hand's cards in painting order (hand order), compact layout.
HandPlaces CompactHand(const TableView& view);
// The top of the hand's band (a raised card of the upper row included).
int CompactHandTop(const TableView& view);
// The hand slot whose uncovered part holds (x, y), -1 for none.
int CompactHandSlotAt(const TableView& view, int x, int y);

// Where the texts of table position `p` go (0 the viewer, 1 left, 2 top,
// 3 right): the name's line and below it the small lines, aligned left,
// centred or right on `x` within `width`.
enum class Align { Left, Centre, Right };
struct SeatBlock {
  int x = 0;
  int y = 0;
  int width = 0;
  Align align = Align::Left;
};
SeatBlock CompactSeatBlock(const TableView& view, int p);

// The rectangle text of `chars` characters takes in `font` when placed in
// `block` at line top `y`.
PaintRect TextRect(const SeatBlock& block, int y, int chars, TableFont font);
// `text` cut to at most `chars` characters (UTF-8), ending in an ellipsis
// when cut.
std::string FitText(const std::string& text, int chars);
int CharCount(const std::string& text);

// How wide the deal and contract lines at the top left may be.
int CompactStatusWidth(const TableView& view);

// Top-left corners of the current trick's cards by table position.
struct TrickPlaces {
  std::array<int, 4> x{};
  std::array<int, 4> y{};
};
TrickPlaces CompactTrick(const TableView& view);
// The top of the Dominoes rows and the step between their columns.
int CompactDominoTop(const TableView& view);
int CompactDominoStep(const TableView& view);

// The name of the seat at table position `p` as the compact table writes
// it (with its counter), and the rectangle it takes; an empty rectangle
// when the seat's name is not shown.
std::string CompactNameText(const TableView& view, int p);
PaintRect CompactNameRect(const TableView& view, int p);

// Cards seat `seat` holds as far as the viewer can tell: counted in a hand
// it sees, else the own count corrected by who has played to the trick
// (the tally in Dominoes, where seats pass); -1 when unknown.
int CardsHeld(const TableView& view, int seat);

}  // namespace zelbo
