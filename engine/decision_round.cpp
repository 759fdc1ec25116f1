// The contract choice and the doubling round of a deal (phase 1).
#include "engine/engine.h"
#include "engine/engine_internal.h"

namespace zelbo {

namespace {

// Hand scores of a negative contract that nobody doubled: the whole penalty
// of the contract shared out without play, a third (rounded down) to each
// other seat and the remainder to the dealer.
void ScoreUnplayedHand(GameState& g) {
  static constexpr int kDealer[6] = {0, 1, 0, 0, 0, 1};
  static constexpr int kOthers[6] = {0, -9, -8, -10, -10, -7};
  for (int s = 0; s < 4; ++s)
    g.handScore[s] = s == g.dealer ? kDealer[g.contract] : kOthers[g.contract];
}

void CloseRound(GameState& g, EngineHost& host) {
  g.roundSteps = g.turn;
  g.phase = PhaseFirstLead;
  host.SendStatus(g);
  g.turn = g.dealer;
  if (IsDominoes(g.contract)) {
    const int rank = g.contract - FirstDominoes;
    for (int s = 0; s < 4; ++s) g.domUp[s] = g.domDown[s] = s * 13 + rank;
    // Seats without a card of the starting rank pass in round 0. All four
    // such cards are dealt, so at most three seats pass.
    for (int i = 0; i < 3 && !HoldsPlayableDomino(g, g.turn); ++i) {
      g.playRecords[g.dealNumber][0][g.turn] = NoCard;
      g.turn = NextSeat(g.turn);
    }
  }
  host.SendTurn(g);
}

}  // namespace

void ApplyDecision(GameState& g, EngineHost& host, int value) {
  const detail::InvariantGuard guard(g);
  if (!IsDecisionAllowed(g, value)) return;
  host.TakeUndoSnapshot(g);
  g.dealDecisions[g.dealNumber][g.turn] = static_cast<uint8_t>(value);
  if (g.turn == 0) {
    const int kind = KindOf(value);  // 0..6: the value was checked above
    if (kind >= 0) g.contractsLeft[g.dealer][kind] = 0;
    if (IsDominoes(value)) {
      for (int s = 0; s < 4; ++s) g.tally[s] = 13;
      host.SendTally(g);
    }
    g.contract = value;
    host.RedrawTable();
    host.SendContract(g);
  } else {
    const int seat = ActingSeat(g);
    if (value != 0) g.anyDoubled = 1;
    for (int k = 1; k <= 3; ++k) {
      if (!(value & (1 << (k - 1)))) continue;
      const int target = SeatMod(seat + k);
      g.doubleFactor[seat][target] = static_cast<uint8_t>(g.doubleFactor[seat][target] * 2);
      g.doubleFactor[target][seat] = static_cast<uint8_t>(g.doubleFactor[target][seat] * 2);
      if (target == g.dealer) {
        g.dealerDoubles[seat][g.dealer] = static_cast<int8_t>(g.dealerDoubles[seat][g.dealer] + 1);
        g.dealerDoubled = 1;
      }
    }
    host.RedrawTable();
    host.SendDoubleFactors(g);
  }
  host.SendDealDecision(g);
  AdvanceDecisionRound(g, host);
  host.AutosaveGame(g);
}

void AdvanceDecisionRound(GameState& g, EngineHost& host) {
  if (g.phase != PhaseChoosing) return;
  if (!detail::DealIndexesValid(g) || g.turn < 0 || g.turn > 4) return;
  if (!IsContract(g.contract)) return;  // nothing to double before the choice
  g.turn += 1;
  if (g.turn <= 3) {
    host.SendTurn(g);
    g.forcedDouble = ForcedDoubleNow(g);
    host.RequestDoublingDecision(g);
    return;
  }
  if (g.turn == 4) {
    if (g.anyDoubled == 0 && IsNegative(g.contract)) {
      ScoreUnplayedHand(g);
      detail::EndHandNow(g, host);
      return;
    }
    if (g.dealerDoubled == 1) {
      host.SendTurn(g);
      g.forcedDouble = 0;
      host.RequestDoublingDecision(g);
      return;
    }
  }
  CloseRound(g, host);
}

}  // namespace zelbo
