#include "display/compact_painter.h"

#include <array>
#include <string>

#include "display/card_drawing.h"
#include "display/compact_layout.h"
#include "display/decision_words.h"
#include "display/table_layout.h"
#include "display/table_painter.h"

namespace zelbo {

namespace {

constexpr int SmallLine = FaceMetrics(TableFont::Small).lineHeight;
constexpr int LargeLine = FaceMetrics(TableFont::Large).lineHeight;

int CardAt(uint8_t value) { return IsCard(value) ? value : NoCard; }

int Chars(int width, TableFont font) { return width / FaceMetrics(font).averageWidth; }

void Text(Canvas& canvas, const PaintRect& at, const std::string& text, TableFont font, Rgb colour,
          Rgb background) {
  if (!text.empty()) canvas.DrawText(at.x, at.y, text, font, colour, background);
}

// Deal and dealer on the first line, the contract below, at the top left.
void DrawStatus(const TableView& view, Canvas& canvas, Rgb table) {
  const GameState& g = view.game;
  const int room = CompactStatusWidth(view);
  const SeatBlock corner{CompactMargin, 2, room, Align::Left};
  std::string deal = g.dealNumber >= 1 ? "Deal " + std::to_string(g.dealNumber) : "Deal";
  if (g.phase != PhaseIdle && g.phase != PhaseGameOver) {
    deal += ", dealer ";
    deal += view.seatNames[static_cast<std::size_t>(SeatMod(g.dealer))];
  }
  deal = FitText(deal, Chars(room, TableFont::Small));
  Text(canvas, TextRect(corner, 2, CharCount(deal), TableFont::Small), deal, TableFont::Small, Black, table);
  if (g.contract == 0) return;
  char name[32] = "";
  ContractLongName(name, g.contract);
  const std::string contract = FitText(name, Chars(room, TableFont::Small));
  Text(canvas, TextRect(corner, 2 + SmallLine, CharCount(contract), TableFont::Small), contract,
       TableFont::Small, Black, table);
}

// Each seat's name (marked when it is to act), the cards it holds and its
// latest decision of the deal.
void DrawSeats(const TableView& view, Canvas& canvas, Rgb table) {
  const GameState& g = view.game;
  const int h = ViewerSeat(view);
  const int bottom = h < 0 ? South : h;
  std::array<std::string, 4> decision;
  std::array<Rgb, 4> decisionColour{};
  if (h >= 0) {
    for (int i = 0; i < ShownDecisionCount(g); ++i) {
      const int p = SeatMod(g.dealer - h + i);
      const auto at = static_cast<std::size_t>(p);
      decisionColour[at] = DecisionWords(view, i, decision[at]);
    }
  }
  for (int p = 0; p < 4; ++p) {
    const int seat = SeatMod(bottom + p);
    const SeatBlock block = CompactSeatBlock(view, p);
    const int nameTop = p == 0 ? block.y + SmallLine : block.y;
    const std::string name = CompactNameText(view, p);
    const bool toAct = h >= 0 && SeatToAct(g) == seat;
    Text(canvas, CompactNameRect(view, p), name, toAct ? TableFont::LargeUnderlined : TableFont::Large,
         DoublingColour(g, seat, h >= 0 ? h : seat), toAct ? TurnMark : table);
    const int small = Chars(block.width, TableFont::Small);
    const int held = p == 0 || name.empty() ? -1 : CardsHeld(view, seat);
    if (held >= 0) {
      const std::string cards = std::to_string(held) + (held == 1 ? " card" : " cards");
      Text(canvas, TextRect(block, nameTop + LargeLine, CharCount(cards), TableFont::Small), cards,
           TableFont::Small, Black, table);
    }
    const std::string words = FitText(decision[static_cast<std::size_t>(p)], small);
    const int wordsTop = p == 0 ? block.y : nameTop + LargeLine + SmallLine;
    Text(canvas, TextRect(block, wordsTop, CharCount(words), TableFont::Small), words, TableFont::Small,
         decisionColour[static_cast<std::size_t>(p)], table);
  }
}

void DrawTrick(const TableView& view, Canvas& canvas) {
  const GameState& g = view.game;
  if (g.phase != PhasePlaying && g.phase != PhasePlayingSuspended) return;
  const int h = ViewerSeat(view);
  if (IsDominoes(g.contract)) {
    // The rows, a column a suit, as the classic table lays them out.
    const int top = CompactDominoTop(view);
    const int step = CompactDominoStep(view);
    const int left = (LayoutSize(view).width - (3 * step + CardWidth + 16)) / 2;
    for (int j = 15; j >= 8; --j) {
      const int x = left + (3 - (j - 8) / 2) * step + (j % 2 == 1 ? 0 : 16);
      DrawCard(canvas, CardAt(g.tableCards[j]), x, top);
    }
    return;
  }
  const TrickPlaces t = CompactTrick(view);
  for (int p = 0; p < 4; ++p) {
    DrawCard(canvas, CardAt(g.tableCards[SeatMod(h + p)]), t.x[static_cast<std::size_t>(p)],
             t.y[static_cast<std::size_t>(p)]);
  }
}

void DrawHand(const TableView& view, Canvas& canvas) {
  const HandPlaces hand = CompactHand(view);
  const uint8_t(&cards)[13] = view.game.hands[ViewerSeat(view)];
  for (int k = 0; k < hand.count; ++k) {
    const HandPlace& place = hand.places[static_cast<std::size_t>(k)];
    DrawCardStrip(canvas, cards[place.slot], place.card.x, place.card.y, place.visible.width);
  }
}

}  // namespace

void PaintCompactTable(const TableView& view, const PaintRect& updateArea, Canvas& canvas) {
  const Rgb table = TableColour(view);
  canvas.FillRect(updateArea, table);
  if (!view.open) return;
  DrawStatus(view, canvas, table);
  DrawSeats(view, canvas, table);
  if (ViewerSeat(view) < 0) return;
  DrawTrick(view, canvas);
  DrawHand(view, canvas);
}

}  // namespace zelbo
