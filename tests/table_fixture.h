// A client at `position`, all four seats taken, deal 5 playing `contract`; seat s
// holds the cards s, s + 4, s + 8, ... (a sorted hand) and has taken s + 1 tricks.
#pragma once

#include "display/table_view.h"

namespace zelbo {

inline TableView Playing(int position, int contract = Misere, int dealer = East, int turn = West) {
  TableView v;
  v.open = true, v.localPosition = position;
  v.seatNames = {"Sam", "Wendy", "Nora", "Eddie"}, v.seatTaken = {true, true, true, true};
  GameState& g = v.game;
  g.phase = PhasePlaying, g.dealNumber = 5, g.dealer = dealer, g.contract = contract, g.turn = turn;
  g.roundSteps = 4;
  for (int s = 0; s < 4; ++s) {
    g.tally[s] = static_cast<uint8_t>(s + 1);
    for (int i = 0; i < 13; ++i) g.hands[s][i] = static_cast<uint8_t>(s + 4 * i);
  }
  return v;
}

}  // namespace zelbo
