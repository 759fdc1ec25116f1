#include "robot/decision_review.h"

#include "engine/engine.h"
#include "robot/deal_sampler.h"
#include "robot/hand_eval.h"
#include "robot/playout.h"
#include "robot/robot_player.h"
#include "robot/sample_random.h"
#include "robot/seat_view.h"

namespace zelbo {

namespace {

constexpr uint64_t kReviewSalt = 0x5245564945570001ull;

void Apply(GameState& g, EngineHost& host, RobotMoveKind kind, int seat, int value) {
  if (kind == RobotMoveKind::Card)
    PlayCard(g, host, seat, value);
  else
    ApplyDecision(g, host, value);
}

}  // namespace

void DealReview::AddDecision(const GameState& seen, int moment, int played) {
  Pending p;
  p.view = SeatView(seen, seat_);
  if (p.view.dealNumber != knowledge_.deal) knowledge_.Reset(p.view.dealNumber, p.view.dealer);
  if (p.view.phase == PhasePlaying || p.view.phase == PhaseFirstLead) ObserveSeatView(knowledge_, p.view, seat_);
  p.knowledge = knowledge_;
  const RobotMove normal = DecideMove(p.view, seat_);
  ReviewedDecision r;
  r.moment = moment;
  r.kind = normal.kind;
  r.played = r.best = played;
  p.moves = ListMoves(p.view, seat_, normal.kind);
  if (normal.kind != RobotMoveKind::None && p.moves.IndexOf(played) < 0) {
    const int kind = KindOf(played);
    p.moves.Add(played, normal.kind == RobotMoveKind::Contract && kind >= 0 ? KindBaseline(kind) : 0.0);
  }
  p.playedIndex = p.moves.IndexOf(played);
  p.seed = DecisionSeed(p.view, seat_, kReviewSalt);
  // A decision with one move (or none the rules know) needs no measuring.
  if (p.moves.n < 2 || p.playedIndex < 0) p.moves.n = 0;
  total_ += static_cast<long>(p.moves.n) * samplesPerMove_;
  pending_.push_back(p);
  results_.push_back(r);
}

bool DealReview::Work(long playouts) {
  EngineHost host;  // plays out in silence
  GameState sampled, scratch;
  while (current_ < pending_.size()) {
    Pending& p = pending_[current_];
    if (p.moves.n == 0 || sample_ >= samplesPerMove_) {
      Finish(current_);
      ++current_;
      sample_ = 0;
      rngStarted_ = false;
      continue;
    }
    if (playouts <= 0) return false;
    SampleRandom rng(rngStarted_ ? rngState_ : p.seed);
    rngStarted_ = true;
    const bool ok = SampleDeal(p.view, seat_, p.knowledge, rng, sampled);
    rngState_ = rng.Next();
    if (!ok) {  // the view cannot be made whole: nothing to measure
      done_ += static_cast<long>(samplesPerMove_ - sample_) * p.moves.n;
      sample_ = samplesPerMove_;
      continue;
    }
    for (int j = 0; j < p.moves.n; ++j) {
      scratch = sampled;
      Apply(scratch, host, p.moves.kind, seat_, p.moves.value[j]);
      p.total[j] += PlayOutDeal(scratch, host, seat_);
    }
    ++sample_;
    results_[current_].samples = sample_;
    playouts -= p.moves.n;
    done_ += p.moves.n;
  }
  return true;
}

void DealReview::Finish(std::size_t i) {
  const Pending& p = pending_[i];
  ReviewedDecision& r = results_[i];
  if (p.moves.n == 0 || r.samples == 0) return;
  const auto value = [&](int j) { return p.total[j] / r.samples - p.moves.cost[j]; };
  int best = p.playedIndex;
  for (int j = 0; j < p.moves.n; ++j)
    if (value(j) > value(best) + 1e-9) best = j;
  r.best = p.moves.value[best];
  r.bestValue = value(best);
  r.playedValue = value(p.playedIndex);
  r.marked = r.bestValue - r.playedValue >= ReviewMarkPoints;
}

}  // namespace zelbo
