#include "display/table_painter.h"

#include <algorithm>
#include <string>

#include "display/card_drawing.h"
#include "display/compact_layout.h"
#include "display/compact_painter.h"
#include "display/decision_words.h"
#include "display/hand_geometry.h"
#include "display/table_layout.h"
#include "engine/trick.h"

namespace zelbo {

namespace {

bool IsChoosing(int phase) { return phase == PhaseChoosing || phase == PhaseChoosingSuspended; }
bool IsPlaying(int phase) { return phase == PhasePlaying || phase == PhasePlayingSuspended; }
bool IsFirstLead(int phase) {
  return phase == PhaseFirstLead || phase == PhaseFirstLeadSuspended;
}

// A byte of tableCards or hands that names a card to draw.
int CardAt(uint8_t value) { return IsCard(value) ? value : NoCard; }

// Draws texts in the table's fonts, opaque on the table colour.
class TextPen {
 public:
  TextPen(Canvas& canvas, Rgb table) : canvas_(canvas), table_(table) {}
  void Text(int x, int y, const std::string& text, TableFont font = TableFont::Large,
            Rgb colour = Black) {
    if (text.empty()) return;  // nothing to show, nothing to cover
    canvas_.DrawText(x, y, text, font, colour, table_);
  }

 private:
  Canvas& canvas_;
  Rgb table_;
};

struct NameStyle {
  TableFont font;
  Rgb colour;
};

NameStyle NameStyleOf(const GameState& game, int seat, int viewerSeat) {
  return NameStyle{SeatToAct(game) == seat ? TableFont::LargeUnderlined : TableFont::Large,
                   DoublingColour(game, seat, viewerSeat)};
}

// A hand face up, from left to right, each card but the last covered by its
// right neighbour and so drawn as a strip `step` pixels wide.
void DrawHand(Canvas& canvas, const uint8_t (&hand)[13], int left, int step, int y) {
  for (int i = 0; i < 13; ++i) {
    if (!SlotHoldsCard(hand[i])) continue;
    const int x = left + step * i;
    if (SlotIsCovered(hand, i)) {
      DrawCardStrip(canvas, hand[i], x, y, step);
    } else {
      DrawCard(canvas, hand[i], x, y);
    }
  }
}

// The viewer's own hand at the configured spacing. Cards pushed beyond any
// screen by an absurd spacing are left out rather than wrapped around.
void DrawOwnHand(Canvas& canvas, const uint8_t (&hand)[13], int32_t spacing, int raised) {
  constexpr int64_t FarAway = 1 << 20;
  for (int i = 0; i < 13; ++i) {
    if (!SlotHoldsCard(hand[i])) continue;
    const int64_t left = HandCardLeft(spacing, i);
    if (left < -FarAway || left > FarAway) continue;
    const int x = static_cast<int>(left);
    const int y = i == raised ? HandTop - RaisedBy : HandTop;
    if (SlotIsCovered(hand, i)) {
      DrawCardStrip(canvas, hand[i], x, y, spacing);
    } else {
      DrawCard(canvas, hand[i], x, y);
    }
  }
}

std::string Counter(const GameState& game, int seat, int position) {
  const int value = SeatCounter(game, seat);
  if (value < 0) return {};
  std::string text = std::to_string(value);
  // The counter stands before the name on the right-hand seat, after it elsewhere.
  if (position == 3) return text += ' ';
  return text.insert(0, 1, ' ');
}

void DrawNamesUnseated(const TableView& view, TextPen& pen) {
  const GameState& g = view.game;
  pen.Text(400, 428, view.seatTaken[South] ? view.seatNames[South] : std::string());
  static constexpr int X[4] = {0, 50, 400, 750};
  static constexpr int Y[4] = {0, 228, 28, 228};
  for (int seat = West; seat <= East; ++seat) {
    if (!view.seatTaken[static_cast<std::size_t>(seat)]) continue;
    pen.Text(X[seat], Y[seat], view.seatNames[static_cast<std::size_t>(seat)], TableFont::Large,
             DoublingColour(g, seat, seat));
  }
}

// The name of table position `p` with its counter, and where it starts;
// no text for a seat nobody has taken (the own name is always shown).
std::string ClassicNameText(const TableView& view, int h, int p) {
  const int seat = SeatMod(h + p);
  if (p != 0 && !view.seatTaken[static_cast<std::size_t>(seat)]) return {};
  const std::string& name = view.seatNames[static_cast<std::size_t>(seat)];
  const std::string counter = Counter(view.game, seat, p);
  return p == 3 ? counter + name : name + counter;
}

PaintRect ClassicNameAt(const TableView& view, int p) {
  static constexpr int X[4] = {400, 50, 400, 750};
  static constexpr int Y[4] = {507, 228, 28, 228};
  const int y = p == 2 && view.localPosition == KibitzAll ? 48 : Y[p];
  return {X[p], y, 0, FaceMetrics(TableFont::Large).lineHeight};
}

void DrawNames(const TableView& view, int h, TextPen& pen) {
  for (int p = 0; p < 4; ++p) {
    const int seat = SeatMod(h + p);
    const NameStyle style = NameStyleOf(view.game, seat, h);
    const PaintRect at = ClassicNameAt(view, p);
    pen.Text(at.x, at.y, ClassicNameText(view, h, p), style.font, style.colour);
  }
}

void DrawCurrentTrick(const TableView& view, int h, Canvas& canvas) {
  const GameState& g = view.game;
  if (!IsPlaying(g.phase)) return;
  const bool dominoes = g.contract >= FirstDominoes;
  const bool all = view.localPosition == KibitzAll;
  if (dominoes && all) return;
  const int bottom = CardAt(g.tableCards[h]);
  const int left = CardAt(g.tableCards[SeatMod(h + 1)]);
  const int top = CardAt(g.tableCards[SeatMod(h + 2)]);
  const int right = CardAt(g.tableCards[SeatMod(h + 3)]);
  if (dominoes) {
    // The own latest action is shown by the hand itself.
    DrawCard(canvas, left, 70, 260);
    DrawCard(canvas, top, 400, 72);
    DrawCard(canvas, right, 730, 260);
    return;
  }
  DrawCard(canvas, bottom, 400, 280);
  DrawCard(canvas, left, 325, all ? 206 : 176);
  DrawCard(canvas, top, 400, all ? 132 : 72);
  DrawCard(canvas, right, 475, all ? 206 : 176);
}

void DrawLastTrick(const GameState& g, int h, Canvas& canvas) {
  const uint8_t* last = g.tableCards + 4;
  DrawCardStrip(canvas, CardAt(last[SeatMod(h + 1)]), 715, 400, 36);
  DrawCardTop(canvas, CardAt(last[SeatMod(h + 2)]), 734, 375, 60);
  DrawCard(canvas, CardAt(last[SeatMod(h + 3)]), 749, 400);
  DrawCard(canvas, CardAt(last[h]), 727, 432);
}

void DrawDominoRows(const GameState& g, Canvas& canvas) {
  for (int j = 15; j >= 8; --j) {
    const int k = (j - 8) / 2;
    const int x = (j % 2 == 1 ? 550 : 566) - 100 * k;
    DrawCard(canvas, CardAt(g.tableCards[j]), x, 216);
  }
}

void DrawDoublingTexts(const TableView& view, int h, TextPen& pen) {
  const GameState& g = view.game;
  const int steps = ShownDecisionCount(g);
  const bool large = !IsPlaying(g.phase);
  for (int i = 0; i < steps; ++i) {
    std::string text;
    const Rgb colour = DecisionWords(view, i, text);
    const int p = SeatMod(g.dealer - h + i);
    const int r = i / 4;
    int x = 0;
    int y = 0;
    if (large) {
      static constexpr int X[4] = {350, 50, 350, 600};
      static constexpr int Y[4] = {340, 260, 60, 260};
      x = X[p];
      y = Y[p] + 26 * r + (p == 2 && view.localPosition == KibitzAll ? 20 : 0);
    } else {
      static constexpr int X[4] = {675, 575, 675, 775};
      static constexpr int Y[4] = {95, 50, 5, 50};
      x = X[p];
      y = Y[p] + 14 * r;
    }
    pen.Text(x, y, text, large ? TableFont::Large : TableFont::Small, colour);
  }
}

}  // namespace

int ShownDecisionCount(const GameState& game) {
  int steps = 0;
  if (IsFirstLead(game.phase) || IsPlaying(game.phase)) steps = game.roundSteps;
  if (IsChoosing(game.phase)) steps = game.turn;
  // A deal's round has five entries; a mirror may hold any count.
  return std::clamp(steps, 0, 5);
}

int SeatCounter(const GameState& game, int seat) {
  if (KeepsTrickCount(game.contract) && IsPlaying(game.phase)) return game.tally[seat];
  if (IsChoosing(game.phase) && seat != SeatMod(game.dealer)) return game.doublesOwed[seat];
  return -1;
}

Rgb DoublingColour(const GameState& game, int a, int b) {
  if (!IsChoosing(game.phase) && !IsPlaying(game.phase) && !IsFirstLead(game.phase)) {
    return Black;
  }
  switch (game.doubleFactor[SeatMod(a)][SeatMod(b)]) {
    case 2:
      return Red;
    case 4:
      return Magenta;
    default:
      return Black;
  }
}

PaintRect NameRect(const TableView& view, int p) {
  if (UsesCompact(view)) return CompactNameRect(view, p);
  const int h = ViewerSeat(view);
  if (h < 0) return {};
  const std::string text = ClassicNameText(view, h, p);
  if (text.empty()) return {};
  PaintRect at = ClassicNameAt(view, p);
  at.width = static_cast<int>(text.size()) * FaceMetrics(TableFont::Large).averageWidth;
  return at;
}

void PaintTable(const TableView& view, const PaintRect& updateArea, Canvas& canvas) {
  if (updateArea.empty()) return;
  if (UsesCompact(view)) {
    PaintCompactTable(view, updateArea, canvas);
    return;
  }
  const Rgb table = TableColour(view);
  canvas.FillRect(updateArea, table);
  if (!view.open) return;

  const GameState& g = view.game;
  TextPen pen(canvas, table);

  // Status lines.
  pen.Text(2, 2, g.dealNumber >= 1 ? "Deal " + std::to_string(g.dealNumber) : "Deal");
  const bool noDealer = g.phase == PhaseIdle || g.phase == PhaseGameOver;
  pen.Text(2, 28, noDealer ? "Dealer" : "Dealer " + view.seatNames[static_cast<std::size_t>(SeatMod(g.dealer))]);
  if (g.contract != 0) {
    char name[32] = "";
    ContractLongName(name, g.contract);
    if (name[0] != '\0') pen.Text(2, 54, name);
  }

  if (view.localPosition == KibitzAll) {
    DrawHand(canvas, g.hands[West], 0, 16, 176);
    DrawHand(canvas, g.hands[North], 300, 16, 8);
    DrawHand(canvas, g.hands[East], 650, 16, 176);
  }

  const int h = ViewerSeat(view);
  if (h < 0) {
    DrawNamesUnseated(view, pen);
    return;
  }
  DrawNames(view, h, pen);
  DrawOwnHand(canvas, g.hands[h], view.cardSpacing, view.raisedSlot);
  DrawCurrentTrick(view, h, canvas);
  DrawLastTrick(g, h, canvas);
  DrawDominoRows(g, canvas);
  DrawDoublingTexts(view, h, pen);
}

}  // namespace zelbo
