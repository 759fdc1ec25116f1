// RobotPlayer: one robot seat at a chosen level. It is handed what its seat
// sees at each of its turns (a client's mirror, or the authoritative game
// of which only the seat's share is read), remembers what it has seen in
// the deal, and returns its move. Its random choices are seeded from what
// the seat sees (its cards, the deal, the table), so a game of robots
// replays exactly.
#pragma once

#include <cstdint>

#include "engine/game_state.h"
#include "robot/monte_carlo.h"
#include "robot/robot_level.h"
#include "robot/seat_knowledge.h"
#include "robot/strategy.h"

namespace zelbo {

// How often the easy robot takes a random allowed move instead of its own.
constexpr int kEasyRandomOneIn = 4;

class RobotPlayer {
 public:
  explicit RobotPlayer(RobotLevel level = DefaultRobotLevel, LookAhead budget = {},
                       uint64_t salt = 0)
      : level_(level), budget_(budget), salt_(salt) {}

  RobotMove Decide(const GameState& seen, int seat);

  const LookAheadCounters& Counters() const { return counters_; }
  const SeatKnowledge& Knowledge() const { return knowledge_; }

 private:
  RobotLevel level_;
  LookAhead budget_;
  uint64_t salt_;
  SeatKnowledge knowledge_;
  LookAheadCounters counters_;
};

// The seed of a decision: a hash of `salt`, the seat and what it sees now.
uint64_t DecisionSeed(const GameState& view, int seat, uint64_t salt);

}  // namespace zelbo
