#include "display/compact_layout.h"

#include <algorithm>

#include "display/hand_geometry.h"
#include "display/table_layout.h"
#include "display/table_painter.h"

namespace zelbo {

namespace {

// The deal and contract lines at the top left.
constexpr int StatusBand = 36;
// A seat block: the name's line, the cards held, the latest decision.
constexpr int BlockHeight = 58;
// The trick's cards stand apart by a card and a gap; when the table is too
// low for a cross, the top and bottom cards move apart sideways.
constexpr int TrickSide = CardWidth + 4;
constexpr int TrickShift = 40;
constexpr int MaxTrickDrop = 60;
constexpr int MinCrossDrop = 30;

int Width(const TableView& view) { return std::clamp(view.compactWidth, MinCompactWidth, MaxCompactWidth); }
bool Wide(const TableView& view) {
  return Width(view) >= CompactWideFrom && Width(view) > view.compactHeight;
}

// The step between cards of a row of `n` cards across the table.
int RowStep(int width, int n) {
  if (n <= 1) return CardWidth;
  return std::min(CardWidth, (width - 2 * CompactMargin - CardWidth) / (n - 1));
}

// Whether a full hand needs two rows at this width.
bool TwoRows(const TableView& view) { return RowStep(Width(view), 13) < CompactMinStep; }

// Low enough for nothing to collide: the seats, a trick a card high, the
// own name and decision, and the hand.
int Height(const TableView& view) {
  const int least = (Wide(view) ? 2 : StatusBand) + BlockHeight + CardHeight + 2 + 24 + 16 + 2 + RaisedBy +
                    (TwoRows(view) ? CompactRowGap : 0) + CardHeight + CompactMargin;
  return std::clamp(view.compactHeight, least, std::max(least, MaxCompactHeight));
}

int Bottom(const TableView& view) { return ViewerSeat(view) < 0 ? South : ViewerSeat(view); }
int LowerRowTop(const TableView& view) { return Height(view) - CompactMargin - CardHeight; }

int TrickTop(const TableView& view) {
  return Wide(view) ? 2 + BlockHeight : StatusBand + BlockHeight;
}
// Below the trick: the own decision line and name, then the hand.
int TrickBottom(const TableView& view) { return CompactHandTop(view) - 2 - 24 - 16 - 2; }

int LineHeight(TableFont font) { return FaceMetrics(font).lineHeight; }

}  // namespace

bool UsesCompact(const TableView& view) {
  return view.layout == TableLayout::Compact && view.localPosition != KibitzAll;
}

TableSize LayoutSize(const TableView& view) {
  if (!UsesCompact(view)) return {TableWidth, TableHeight};
  return {Width(view), Height(view)};
}

HandPlaces CompactHand(const TableView& view) {
  HandPlaces out;
  const int seat = ViewerSeat(view);
  if (seat < 0) return out;
  const uint8_t(&hand)[13] = view.game.hands[seat];
  int slots[13];
  int n = 0;
  for (int i = 0; i < 13; ++i) {
    if (SlotHoldsCard(hand[i])) slots[n++] = i;
  }
  const int width = Width(view);
  const bool two = TwoRows(view) && n > 1;
  const int upper = two ? (n + 1) / 2 : n;
  const int step = RowStep(width, upper);
  const int lowerTop = LowerRowTop(view);
  for (int k = 0; k < n; ++k) {
    const bool inUpper = k < upper;
    const int row = inUpper ? upper : n - upper;
    const int index = inUpper ? k : k - upper;
    const int left = (width - ((row - 1) * step + CardWidth)) / 2;
    const int lift = slots[k] == view.raisedSlot ? RaisedBy : 0;
    const int top = (two && inUpper ? lowerTop - CompactRowGap : lowerTop) - lift;
    HandPlace& place = out.places[static_cast<std::size_t>(out.count++)];
    place.slot = slots[k];
    place.card = PaintRect{left + index * step, top, CardWidth, CardHeight};
    place.visible = place.card;
    if (index + 1 < row) place.visible.width = step;
    if (two && inUpper) place.visible.height = CompactRowGap + lift;
  }
  return out;
}

int CompactHandTop(const TableView& view) {
  return LowerRowTop(view) - (TwoRows(view) ? CompactRowGap : 0) - RaisedBy;
}

int CompactHandSlotAt(const TableView& view, int x, int y) {
  const HandPlaces hand = CompactHand(view);
  // The card painted last is on top.
  for (int k = hand.count - 1; k >= 0; --k) {
    const PaintRect& r = hand.places[static_cast<std::size_t>(k)].card;
    if (x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height) {
      return hand.places[static_cast<std::size_t>(k)].slot;
    }
  }
  return -1;
}

SeatBlock CompactSeatBlock(const TableView& view, int p) {
  const int width = Width(view);
  const int m = CompactMargin;
  if (p == 0) return {m, TrickBottom(view) + 2, width - 2 * m, Align::Left};
  if (Wide(view)) {
    if (p == 2) return {width / 2, 2, width / 3, Align::Centre};
    const int middle = (TrickTop(view) + TrickBottom(view)) / 2 - BlockHeight / 2;
    const int side = width / 2 - TrickSide - TrickShift - CardWidth / 2 - 2 * m;
    if (p == 1) return {m, middle, side, Align::Left};
    return {width - m, middle, side, Align::Right};
  }
  const int cell = (width - 2 * m) / 3 - 4;
  if (p == 1) return {m, StatusBand, cell, Align::Left};
  if (p == 2) return {width / 2, StatusBand, cell, Align::Centre};
  return {width - m, StatusBand, cell, Align::Right};
}

int CompactStatusWidth(const TableView& view) {
  const SeatBlock top = CompactSeatBlock(view, 2);
  if (Wide(view)) return top.x - top.width / 2 - 2 * CompactMargin;
  return Width(view) - 2 * CompactMargin;
}

int CharCount(const std::string& text) {
  int n = 0;
  for (const char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

std::string FitText(const std::string& text, int chars) {
  if (CharCount(text) <= chars) return text;
  if (chars <= 0) return {};
  std::string out;
  int n = 0;
  for (const char c : text) {
    const bool starts = (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    if (starts && ++n > chars - 1) break;
    out += c;
  }
  return out += "\xE2\x80\xA6";
}

PaintRect TextRect(const SeatBlock& block, int y, int chars, TableFont font) {
  const TableFaceMetrics& face = FaceMetrics(font);
  const int w = chars * face.averageWidth;
  int x = block.x;
  if (block.align == Align::Centre) x -= w / 2;
  if (block.align == Align::Right) x -= w;
  return {x, y, w, face.lineHeight};
}

TrickPlaces CompactTrick(const TableView& view) {
  const int top = TrickTop(view);
  const int room = TrickBottom(view) - top;
  const int drop = std::clamp((room - CardHeight) / 2, 0, MaxTrickDrop);
  const bool cross = drop >= MinCrossDrop;
  const int side = cross ? TrickSide : TrickSide + TrickShift;
  const int shift = cross ? 0 : TrickShift;
  const int x = Width(view) / 2 - CardWidth / 2;
  const int y = top + std::max(0, (room - 2 * drop - CardHeight) / 2);
  TrickPlaces t;
  t.x = {x + shift, x - side, x - shift, x + side};
  t.y = {y + 2 * drop, y + drop, y, y + drop};
  return t;
}

int CompactDominoTop(const TableView& view) {
  const int top = TrickTop(view);
  return top + std::max(0, (TrickBottom(view) - top - CardHeight) / 2);
}

int CompactDominoStep(const TableView& view) {
  return std::min(100, (Width(view) - 2 * CompactMargin - CardWidth - 16) / 3);
}

std::string CompactNameText(const TableView& view, int p) {
  const int seat = SeatMod(Bottom(view) + p);
  const bool shown = ViewerSeat(view) >= 0 && p == 0 ? true : view.seatTaken[static_cast<std::size_t>(seat)];
  if (!shown) return {};
  std::string text = view.seatNames[static_cast<std::size_t>(seat)];
  const int counter = ViewerSeat(view) >= 0 ? SeatCounter(view.game, seat) : -1;
  const int room = CompactSeatBlock(view, p).width / FaceMetrics(TableFont::Large).averageWidth;
  if (counter < 0) return FitText(text, room);
  const std::string number = std::to_string(counter);
  return (FitText(text, room - 1 - static_cast<int>(number.size())) += ' ') += number;
}

PaintRect CompactNameRect(const TableView& view, int p) {
  const std::string text = CompactNameText(view, p);
  if (text.empty()) return {};
  const SeatBlock block = CompactSeatBlock(view, p);
  return TextRect(block, p == 0 ? block.y + LineHeight(TableFont::Small) : block.y, CharCount(text),
                  TableFont::Large);
}

int CardsHeld(const TableView& view, int seat) {
  const GameState& g = view.game;
  const int own = ViewerSeat(view);
  const auto count = [&g](int s) {
    return static_cast<int>(std::count_if(g.hands[s], g.hands[s] + 13, SlotHoldsCard));
  };
  if (own < 0 || seat < 0 || seat > 3) return -1;
  if (seat == own) return count(seat);
  const int phase = g.phase;
  if (phase == PhaseChoosing || phase == PhaseChoosingSuspended) return 13;
  const bool playing = phase == PhasePlaying || phase == PhasePlayingSuspended ||
                       phase == PhaseFirstLead || phase == PhaseFirstLeadSuspended;
  if (!playing) return -1;
  if (IsDominoes(g.contract)) return g.tally[seat];
  return count(own) + (IsCard(g.tableCards[own]) ? 1 : 0) - (IsCard(g.tableCards[seat]) ? 1 : 0);
}

}  // namespace zelbo
