// A review of one seat's decisions in one deal: at each of them, every move
// the seat could have made is measured as the strong robot measures its own
// (deals sampled from what the seat knew, played out by the normal robot,
// the same samples for every move), with a larger budget, and the move
// played is set against the best. Each decision is taken in as the seat
// saw it: its view and what it had learned at its own turns, never the
// other hands, so the review is as fair as the table. The work is done in
// slices, so a page can run it between frames.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/game_state.h"
#include "robot/move_list.h"
#include "robot/seat_knowledge.h"
#include "robot/strategy.h"

namespace zelbo {

// Reviewed decisions worth marking: the best move is expected to score at
// least this much more than the move played.
constexpr double ReviewMarkPoints = 10.0;
// Sampled deals per move in a review: eight times and more what the strong
// robot spends at the table, where it must answer at once.
constexpr int ReviewSamplesPerMove = 4000;

struct ReviewedDecision {
  int moment = 0;  // the caller's number for the decision
  RobotMoveKind kind = RobotMoveKind::None;
  int played = 0, best = 0;                 // moves: contract code, decision byte or card
  double playedValue = 0, bestValue = 0;    // expected score of the seat for the deal
  int samples = 0;                          // sampled deals measured
  bool marked = false;
};

class DealReview {
 public:
  // Each move at a decision is measured on `samplesPerMove` sampled deals.
  DealReview(int seat, int samplesPerMove) : seat_(seat), samplesPerMove_(samplesPerMove) {}

  // Takes in the seat's decision in `seen` (the whole game, or any record
  // that holds the seat's share), where `played` was chosen. Calls come in
  // the order of the deal. Only the seat's view of `seen` is kept.
  void AddDecision(const GameState& seen, int moment, int played);

  // Runs at most `playouts` play-outs; true once every decision is done.
  bool Work(long playouts);
  long TotalPlayouts() const { return total_; }
  long DonePlayouts() const { return done_; }
  const std::vector<ReviewedDecision>& Results() const { return results_; }

 private:
  struct Pending {
    GameState view;
    SeatKnowledge knowledge;
    MoveList moves;
    int playedIndex = -1;
    uint64_t seed = 0;
    double total[MoveList::Max] = {};
  };
  void Finish(std::size_t i);

  int seat_;
  int samplesPerMove_;
  SeatKnowledge knowledge_;
  std::vector<Pending> pending_;
  std::vector<ReviewedDecision> results_;
  std::size_t current_ = 0;
  int sample_ = 0;         // samples done at the current decision
  uint64_t rngState_ = 0;  // the current decision's sampler
  bool rngStarted_ = false;
  long total_ = 0, done_ = 0;
};

}  // namespace zelbo
