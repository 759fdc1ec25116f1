#include "display/decision_words.h"

#include "engine/decision_text.h"

namespace zelbo {

Rgb DecisionWords(const TableView& view, int index, std::string& text) {
  text.clear();
  const GameState& g = view.game;
  if (g.dealNumber < 1 || g.dealNumber > DealCount) return White;
  SeatNames names;
  for (int seat = 0; seat < 4; ++seat) names[seat] = SeatDisplayName(view, seat);
  const DecisionColour c = DecisionText(text, g, g.dealNumber, SeatMod(g.dealer), index, 0, names);
  return Rgb{c.red, c.green, c.blue};
}

}  // namespace zelbo
