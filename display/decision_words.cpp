#include "display/decision_words.h"

#include "engine/decision_text.h"

namespace zelbo {

Rgb DecisionWords(const TableView& view, int index, std::string& text) {
  text.clear();
  const GameState& g = view.game;
  if (g.dealNumber < 1 || g.dealNumber > DealCount) return White;
  switch (DecisionText(text, g, g.dealNumber, SeatMod(g.dealer), index, view.seatNames)) {
    case DecisionSort::Contract: return Black;
    case DecisionSort::Pass: return Green;
    case DecisionSort::Doubles: return Red;
    case DecisionSort::Undecided: break;
  }
  return White;
}

}  // namespace zelbo
