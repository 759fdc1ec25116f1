#include "robot/monte_carlo.h"

#include "engine/engine.h"
#include "robot/deal_sampler.h"
#include "robot/hand_eval.h"
#include "robot/move_list.h"
#include "robot/playout.h"

namespace zelbo {

namespace {

void Apply(GameState& g, EngineHost& host, RobotMoveKind kind, int seat, int value) {
  if (kind == RobotMoveKind::Card) {
    PlayCard(g, host, seat, value);
  } else {
    ApplyDecision(g, host, value);
  }
}

}  // namespace

RobotMove LookAheadMove(const GameState& view, int seat, const SeatKnowledge& k, RobotMove normal,
                        const LookAhead& budget, uint64_t seed, LookAheadCounters& counters) {
  MoveList m = ListMoves(view, seat, normal.kind);
  if (m.n < 2) return normal;
  if (m.IndexOf(normal.value) < 0) {
    const int kind = KindOf(normal.value);
    m.Add(normal.value, normal.kind == RobotMoveKind::Contract && kind >= 0 ? KindBaseline(kind) : 0.0);
  }
  const int normalIndex = m.IndexOf(normal.value);

  int samples = budget.playouts / m.n;
  if (samples < budget.minSamples) samples = budget.minSamples;
  SampleRandom rng(seed);
  EngineHost host;  // plays out in silence
  GameState sampled;
  GameState scratch;
  double total[MoveList::Max] = {};
  int done = 0;
  for (int i = 0; i < samples; ++i) {
    if (!SampleDeal(view, seat, k, rng, sampled)) break;
    ++done;
    for (int j = 0; j < m.n; ++j) {
      scratch = sampled;
      Apply(scratch, host, m.kind, seat, m.value[j]);
      total[j] += PlayOutDeal(scratch, host, seat);
    }
  }
  counters.decisions += 1;
  counters.playouts += static_cast<long>(done) * m.n;
  if (done == 0) return normal;

  int best = normalIndex;
  double bestValue = best >= 0 ? total[best] / done - m.cost[best] : -1e18;
  for (int j = 0; j < m.n; ++j) {
    const double value = total[j] / done - m.cost[j];
    if (value > bestValue + 1e-9) {
      bestValue = value;
      best = j;
    }
  }
  return best >= 0 ? RobotMove{m.kind, m.value[best]} : normal;
}

}  // namespace zelbo
