#include "dialogs/doubling_model.h"

namespace zelbo {

int DoublingModel::seat(int box) const { return SeatMod(self_ + box + 1); }

void DoublingModel::Open(const GameState& g, int self, const std::string handles[4]) {
  self_ = SeatMod(self);
  int deal = g.dealNumber >= 0 && g.dealNumber < DealRows ? g.dealNumber : 0;
  int contract = g.dealDecisions[deal][0];
  int dealer = SeatMod(g.dealer);
  for (int b = 0; b < BoxCount; ++b) {
    int x = seat(b);
    checked_[b] = false;
    if (g.turn != 4) {
      enabled_[b] = contract < FirstTrumps || x == dealer;
    } else {
      enabled_[b] = g.doubleFactor[self_][x] != 1;
    }
    redouble_[b] = g.doubleFactor[self_][x] == 2;
    labels_[b] = (redouble_[b] ? "Redouble " : "Double ") + handles[x];
  }
  if (g.forcedDouble == 1) {
    for (int b = 0; b < BoxCount; ++b) {
      if (seat(b) == dealer) {
        checked_[b] = true;
        enabled_[b] = false;
      }
    }
  }
}

int DoublingModel::Bits() const {
  int bits = 0;
  for (int b = 0; b < BoxCount; ++b) {
    if (checked_[b]) bits += redouble_[b] ? 9 << b : 1 << b;
  }
  return bits;
}

}  // namespace zelbo
