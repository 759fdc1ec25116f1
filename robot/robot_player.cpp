#include "robot/robot_player.h"

#include "robot/move_list.h"
#include "robot/sample_random.h"
#include "robot/seat_view.h"

namespace zelbo {

uint64_t DecisionSeed(const GameState& v, int seat, uint64_t salt) {
  uint64_t h = HashBytes(kHashStart, &salt, sizeof salt);
  const int32_t head[6] = {seat, v.dealNumber, v.dealer, v.phase, v.turn, v.playRound};
  h = HashBytes(h, head, sizeof head);
  if (seat >= 0 && seat < 4) h = HashBytes(h, v.hands[seat], sizeof v.hands[seat]);
  h = HashBytes(h, v.tableCards, sizeof v.tableCards);
  h = HashBytes(h, v.tally, sizeof v.tally);
  if (v.dealNumber >= 0 && v.dealNumber < DealRows) {
    h = HashBytes(h, v.dealDecisions[v.dealNumber], sizeof v.dealDecisions[v.dealNumber]);
  }
  return h;
}

RobotMove RobotPlayer::Decide(const GameState& seen, int seat) {
  const RobotMove normal = DecideMove(seen, seat);
  if (normal.kind == RobotMoveKind::None || level_ == RobotLevel::Normal) return normal;
  const GameState view = SeatView(seen, seat);
  if (view.phase == PhasePlaying || view.phase == PhaseFirstLead) ObserveSeatView(knowledge_, view, seat);
  const uint64_t seed = DecisionSeed(view, seat, salt_);
  if (level_ == RobotLevel::Easy) {
    SampleRandom rng(seed);
    if (rng.Below(kEasyRandomOneIn) != 0) return normal;
    const MoveList moves = ListMoves(view, seat, normal.kind);
    if (moves.n == 0) return normal;
    return {normal.kind, moves.value[rng.Below(moves.n)]};
  }
  return LookAheadMove(view, seat, knowledge_, normal, budget_, seed, counters_);
}

}  // namespace zelbo
