// The moves a seat may make now, of the kind its robot was asked for: the
// cards it may play, the doubling bytes it may give, or the best code of
// each contract kind it has left (with the kind's value on an average hand,
// since a kind chosen now is gone for the rest of the boat).
#pragma once

#include "engine/game_state.h"
#include "robot/strategy.h"

namespace zelbo {

struct MoveList {
  static constexpr int Max = 13;
  RobotMoveKind kind = RobotMoveKind::None;
  int value[Max];
  double cost[Max];  // subtracted from a move's mean score before comparing
  int n = 0;

  void Add(int v, double c = 0) {
    if (n < Max) {
      value[n] = v;
      cost[n++] = c;
    }
  }
  int IndexOf(int v) const {
    for (int i = 0; i < n; ++i)
      if (value[i] == v) return i;
    return -1;
  }
};

// `view` is SeatView(seen, seat); `kind` the kind of move due.
MoveList ListMoves(const GameState& view, int seat, RobotMoveKind kind);

}  // namespace zelbo
