#include "robot/move_list.h"

#include "engine/engine.h"
#include "robot/hand_eval.h"
#include "robot/holding.h"

namespace zelbo {

MoveList ListMoves(const GameState& v, int seat, RobotMoveKind kind) {
  MoveList m;
  m.kind = kind;
  if (seat < 0 || seat > 3) return m;
  switch (kind) {
    case RobotMoveKind::Card: {
      const CardList legal = LegalCards(v, seat);
      for (int i = 0; i < legal.count; ++i) m.Add(legal.cards[i]);
      break;
    }
    case RobotMoveKind::Contract: {
      const uint32_t allowed = AllowedContracts(v);
      const Holding h = Holding::Of(v.hands[seat]);
      for (int k = 0; k < KindCount; ++k) {
        double estimate = 0;
        const int code = BestCodeOfKind(h, k, &estimate);
        if (IsContract(code) && (allowed >> code & 1u)) m.Add(code, KindBaseline(k));
      }
      break;
    }
    case RobotMoveKind::Double: {
      const DoublingOffer offer = OfferedDoubles(v);
      for (int targets = 0; targets < 8; ++targets) {
        if ((targets & ~offer.allowed) || (offer.forced & ~targets)) continue;
        const int byte = DoublingByte(offer, targets);
        if (IsDecisionAllowed(v, byte)) m.Add(byte);
      }
      break;
    }
    case RobotMoveKind::None:
      break;
  }
  return m;
}

}  // namespace zelbo
