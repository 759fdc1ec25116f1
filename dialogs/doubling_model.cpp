#include "dialogs/doubling_model.h"

namespace zelbo {

int DoublingModel::seat(int box) const { return SeatMod(self_ + box + 1); }

void DoublingModel::Open(const GameState& g, int self, const std::string handles[4]) {
  self_ = SeatMod(self);
  // The rules decide which boxes may be ticked and which would redouble;
  // the compulsory double is the one the server's prompt announced.
  offer_ = OfferedDoubles(g);
  const int dealer = SeatMod(g.dealer);
  for (int b = 0; b < BoxCount; ++b) {
    const int x = seat(b);
    checked_[b] = false;
    enabled_[b] = (offer_.allowed >> b & 1) != 0;
    labels_[b] = (offer_.redouble >> b & 1 ? "Redouble " : "Double ") + handles[x];
    if (g.forcedDouble == 1 && x == dealer) {
      checked_[b] = true;
      enabled_[b] = false;
    }
  }
}

int DoublingModel::Bits() const {
  int targets = 0;
  for (int b = 0; b < BoxCount; ++b)
    if (checked_[b]) targets |= 1 << b;
  return DoublingByte(offer_, targets);
}

}  // namespace zelbo
