#include "robot/robot_match.h"

#include <chrono>

#include "engine/engine.h"
#include "engine/simple_policy.h"
#include "robot/robot_player.h"
#include "robot/seat_view.h"
#include "robot/strategy.h"

namespace zelbo {

namespace {

// Applies a robot's move if the rules allow it; false when they do not.
bool ApplyRobotMove(GameState& g, EngineHost& host, int seat, const RobotMove& move) {
  switch (move.kind) {
    case RobotMoveKind::Contract:
    case RobotMoveKind::Double:
      if (!IsDecisionAllowed(g, move.value)) return false;
      ApplyDecision(g, host, move.value);
      return true;
    case RobotMoveKind::Card:
      if (!MayPlayCard(g, seat, move.value)) return false;
      PlayCard(g, host, seat, move.value);
      return true;
    case RobotMoveKind::None:
      break;
  }
  return false;
}

bool InPlay(const GameState& g) {
  return g.phase == PhaseChoosing || g.phase == PhasePlaying || g.phase == PhaseFirstLead;
}

}  // namespace

MatchResult PlayRobotMatch(uint32_t seed, unsigned robotSeats, GameState& g, EngineHost& host) {
  MatchResult result;
  ResetGameState(g);
  g.randomSeed = seed;
  NewGame(g, host, seed);
  for (int steps = 0; steps < MaxGameSteps; ++steps) {
    if (!InPlay(g)) break;
    const int seat = SeatToAct(g);
    if (seat < 0 || seat > 3) break;
    if (!(robotSeats >> seat & 1u)) {
      if (!SimpleStep(g, host)) break;
      continue;
    }
    const RobotMove move = DecideMove(ClientMirrorOf(g, seat), seat);
    ++result.robotMoves;
    if (!ApplyRobotMove(g, host, seat, move)) {
      ++result.refusedMoves;
      if (!SimpleStep(g, host)) break;  // keep the game going to find more
    }
  }
  result.finished = g.phase == PhaseGameOver;
  return result;
}

MatchResult PlayPlayersMatch(uint32_t seed, RobotPlayer* const players[4], GameState& g,
                             EngineHost& host, const MoveWatcher& watch) {
  MatchResult result;
  ResetGameState(g);
  g.randomSeed = seed;
  NewGame(g, host, seed);
  for (int steps = 0; steps < MaxGameSteps && InPlay(g); ++steps) {
    const int seat = SeatToAct(g);
    if (seat < 0 || seat > 3) break;
    const GameState mirror = ClientMirrorOf(g, seat);
    const auto start = std::chrono::steady_clock::now();
    const RobotMove move = players[seat]->Decide(mirror, seat);
    if (watch) {
      watch(g, seat, std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
    }
    ++result.robotMoves;
    if (!ApplyRobotMove(g, host, seat, move)) {
      ++result.refusedMoves;
      if (!SimpleStep(g, host)) break;
    }
  }
  result.finished = g.phase == PhaseGameOver;
  return result;
}

}  // namespace zelbo
