#include "robot/strategy.h"

#include "engine/engine.h"
#include "robot/card_choice.h"
#include "robot/hand_eval.h"
#include "robot/holding.h"
#include "robot/seat_view.h"

namespace zelbo {

namespace {

// How far above the mean a hand's estimate must be before the robot stakes
// points on it. The dealer chose Trumps or Dominoes for his hand, so
// doubling him there asks for a good hand. In a negative contract anyone is
// doubled unless the hand is clearly weak: a double is even between equal
// hands, and it gets the hand played, which spares the players who did not
// choose the contract the fixed charge of an unplayed hand. (Margins tuned
// in robot-against-robot games: doubling less often lost points.)
double DealerDoubleMargin(int contract) {
  if (IsTrumps(contract)) return 4.0;
  if (IsDominoes(contract)) return 6.0;
  return -2.0;
}
constexpr double kOtherDoubleMargin = -1.0;
constexpr double kRedoubleExtra = 1.0;

}  // namespace

int ChooseContract(const GameState& seen, int seat) {
  const GameState v = SeatView(seen, seat);
  if (v.phase != PhaseChoosing || v.turn != 0 || v.dealer != seat) return 0;
  const uint32_t allowed = AllowedContracts(v);
  if (allowed == 0) return 0;
  const Holding h = Holding::Of(v.hands[seat]);
  int best = 0;
  double bestSurplus = -1e9;
  for (int code = 1; code <= LastContract; ++code) {
    if (!(allowed >> code & 1u)) continue;
    const double surplus = EstimateHand(h, code) - KindBaseline(KindOf(code));
    if (surplus > bestSurplus) {
      bestSurplus = surplus;
      best = code;
    }
  }
  if (best != 0 && IsDecisionAllowed(v, best)) return best;
  for (int code = 1; code <= LastContract; ++code) {
    if (allowed >> code & 1u && IsDecisionAllowed(v, code)) return code;
  }
  return 0;
}

int ChooseDoubles(const GameState& seen, int seat) {
  const GameState v = SeatView(seen, seat);
  if (v.phase != PhaseChoosing || v.turn < 1 || v.turn > 4 || ActingSeat(v) != seat) return -1;
  const DoublingOffer offer = OfferedDoubles(v);
  const int contract = v.contract;
  const Holding h = Holding::Of(v.hands[seat]);
  const double surplus = EstimateHand(h, contract) - CodeBaseline(contract);
  int targets = offer.forced;
  for (int bit = 1; bit <= 4; bit <<= 1) {
    if (!(offer.allowed & bit)) continue;
    const int target = SeatMod(seat + (bit == 1 ? 1 : bit == 2 ? 2 : 3));
    double margin = target == v.dealer ? DealerDoubleMargin(contract) : kOtherDoubleMargin;
    if (v.turn == 4) margin = kOtherDoubleMargin;  // the dealer answering doubles
    if (offer.redouble & bit) margin += kRedoubleExtra;
    if (surplus > margin) targets |= bit;
  }
  const int byte = DoublingByte(offer, targets);
  if (IsDecisionAllowed(v, byte)) return byte;
  const int forcedOnly = DoublingByte(offer, offer.forced);
  if (IsDecisionAllowed(v, forcedOnly)) return forcedOnly;
  return IsDecisionAllowed(v, 0) ? 0 : -1;
}

int ChooseCard(const GameState& seen, int seat) {
  return ChooseCardFromView(SeatView(seen, seat), seat);
}

RobotMove DecideMove(const GameState& seen, int seat) {
  RobotMove m;
  if (seat < 0 || seat > 3) return m;
  if (seen.phase == PhaseChoosing) {
    if (seen.turn == 0) {
      const int code = ChooseContract(seen, seat);
      if (code != 0) m = {RobotMoveKind::Contract, code};
    } else {
      const int byte = ChooseDoubles(seen, seat);
      if (byte >= 0) m = {RobotMoveKind::Double, byte};
    }
  } else if (seen.phase == PhasePlaying || seen.phase == PhaseFirstLead) {
    const int card = ChooseCard(seen, seat);
    if (card != NoCard) m = {RobotMoveKind::Card, card};
  }
  return m;
}

}  // namespace zelbo
