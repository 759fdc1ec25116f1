#include "engine/invariants.h"

#include <string>

namespace zelbo {

namespace {

// The fields the engine indexes with lie in their ranges.
bool InRange(const GameState& g) {
  return g.phase >= PhaseIdle && g.phase <= PhaseFirstLeadSuspended && g.dealNumber >= 0 &&
         g.dealNumber <= DealCount && g.dealer >= 0 && g.dealer <= 3 && g.turn >= 0 && g.turn <= 4 &&
         g.roundSteps >= 0 && g.roundSteps <= 5 && g.playRound >= 0 && g.playRound < DominoRounds &&
         g.trickLeader >= 0 && g.trickLeader <= 3 && g.contract >= 0 && g.contract <= LastContract;
}

// A doubling decision byte: 0 (pass) or double bits 1, 2, 4 with redouble
// bits 8, 16, 32 only on top of their double bit.
bool IsDecisionByte(int v) { return v >= 0 && v <= 63 && ((v >> 3) & ~v & 7) == 0; }

}  // namespace

std::string CheckInvariants(const GameState& g) {
  if (!InRange(g)) return "a field lies outside its range";
  for (int deal = 0; deal < DealRows; ++deal) {
    const int c = g.dealDecisions[deal][0];
    if (c != Undecided && !IsContract(c)) {
      return "dealDecisions of deal " + std::to_string(deal) + " holds contract " +
             std::to_string(c) + " (allowed 1..22 or 255)";
    }
    for (int e = 1; e < 5; ++e) {
      const int v = g.dealDecisions[deal][e];
      if (v != Undecided && !IsDecisionByte(v)) {
        return "dealDecisions of deal " + std::to_string(deal) + " holds decision " +
               std::to_string(v) + " in entry " + std::to_string(e);
      }
    }
  }
  for (int a = 0; a < 4; ++a)
    for (int b = 0; b < 4; ++b)
      if (g.doubleFactor[a][b] != g.doubleFactor[b][a] || (a == b && g.doubleFactor[a][b] != 1)) {
        return "doubleFactor is not symmetric with 1 on its diagonal";
      }
  const bool choosing = g.phase == PhaseChoosing || g.phase == PhaseChoosingSuspended;
  const bool playing = g.phase == PhasePlaying || g.phase == PhasePlayingSuspended ||
                       g.phase == PhaseFirstLead || g.phase == PhaseFirstLeadSuspended;
  const std::string phaseText = "phase " + std::to_string(g.phase);
  if ((choosing || playing) && g.dealNumber < 1) {
    return phaseText + " needs a deal in progress, but dealNumber is 0";
  }
  if (playing && g.turn > 3) {
    return phaseText + " needs a seat to play, but turn is " + std::to_string(g.turn);
  }
  if (playing && g.contract == 0) {
    return phaseText + " needs a contract, but contract is 0";
  }
  return {};
}

}  // namespace zelbo
