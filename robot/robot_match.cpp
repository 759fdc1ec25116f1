#include "robot/robot_match.h"

#include "engine/engine.h"
#include "engine/simple_policy.h"
#include "robot/seat_view.h"
#include "robot/strategy.h"

namespace zelbo {

MatchResult PlayRobotMatch(uint32_t seed, unsigned robotSeats, GameState& g, EngineHost& host) {
  MatchResult result;
  ResetGameState(g);
  g.randomSeed = seed;
  NewGame(g, host, seed);
  for (int steps = 0; steps < MaxGameSteps; ++steps) {
    if (g.phase != PhaseChoosing && g.phase != PhasePlaying && g.phase != PhaseFirstLead) break;
    const int seat = SeatToAct(g);
    if (seat < 0 || seat > 3) break;
    if (!(robotSeats >> seat & 1u)) {
      if (!SimpleStep(g, host)) break;
      continue;
    }
    const RobotMove move = DecideMove(ClientMirrorOf(g, seat), seat);
    ++result.robotMoves;
    bool allowed = false;
    switch (move.kind) {
      case RobotMoveKind::Contract:
      case RobotMoveKind::Double:
        allowed = IsDecisionAllowed(g, move.value);
        if (allowed) ApplyDecision(g, host, move.value);
        break;
      case RobotMoveKind::Card:
        allowed = MayPlayCard(g, seat, move.value);
        if (allowed) PlayCard(g, host, seat, move.value);
        break;
      case RobotMoveKind::None:
        break;
    }
    if (!allowed) {
      ++result.refusedMoves;
      if (!SimpleStep(g, host)) break;  // keep the game going to find more
    }
  }
  result.finished = g.phase == PhaseGameOver;
  return result;
}

}  // namespace zelbo
