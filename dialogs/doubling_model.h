// The Action (doubling) dialog without its widgets: three boxes for the
// left-hand, opposite and right-hand players as seen from the acting seat,
// which of them are enabled, the compulsory double checked and locked, the
// "Double %s" / "Redouble %s" labels, and the decision byte that OK sends.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/engine.h"

namespace zelbo {

class DoublingModel {
 public:
  static constexpr int BoxCount = 3;  // 0 LHO (left), 1 OO (top), 2 RHO (right)

  // Rebuilds the boxes for own seat `self`, the seat acting at the current
  // doubling step, from the mirrored game fields (`phase`, `turn`,
  // `dealer`, `dealNumber`, `dealDecisions`, `doubleFactor`, `forcedDouble`).
  // `handles` are the names of seats 0..3.
  void Open(const GameState& g, int self, const std::string handles[4]);

  void SetChecked(int box, bool on) {
    if (box >= 0 && box < BoxCount) checked_[box] = on;
  }

  bool checked(int box) const { return checked_[box]; }
  bool enabled(int box) const { return enabled_[box]; }
  const std::string& label(int box) const { return labels_[box]; }
  // Seat that box `box` concerns.
  int seat(int box) const;

  // The decision byte: 1, 2, 4 per checked box, 9, 18, 36 where the double
  // would answer one already made (a redouble); 0 is a pass. A checked box
  // counts whether or not it is enabled (the compulsory double is locked).
  int Bits() const;

 private:
  int self_ = 0;
  std::array<bool, BoxCount> checked_{};
  std::array<bool, BoxCount> enabled_{};
  DoublingOffer offer_;
  std::array<std::string, BoxCount> labels_;
};

}  // namespace zelbo
