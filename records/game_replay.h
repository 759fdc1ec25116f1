// A finished game played again through the engine, one action at a time:
// the same deals (from the game's seed), each contract choice and doubling
// decision and each card taken from the finished record, every one checked
// by the engine's own rules. What a replay viewer steps through, and the
// proof that a stored game is the game that was played: at its end the
// replayed state equals the stored one.
#pragma once

#include <array>
#include <string>

#include "engine/engine_host.h"
#include "engine/game_state.h"

namespace zelbo {

struct ReplayAction {
  enum class Kind { None, Decision, Card };
  Kind kind = Kind::None;
  int seat = -1;
  int value = 0;  // the decision byte or the card
};

class GameReplay {
 public:
  // `finished` is the stored game (PhaseGameOver) with its finalHandles.
  explicit GameReplay(const GameState& finished);

  // The game as it stands after the actions taken so far.
  const GameState& Now() const { return now_; }
  // The action the record holds for the present moment (Kind::None at the
  // end or where the record breaks off).
  ReplayAction NextAction() const;
  // Takes the next action; false at the end, or when the record holds an
  // action the rules refuse (then `Failed()` says so and nothing changes).
  bool Step();
  bool Finished() const { return now_.phase == PhaseGameOver; }
  bool Failed() const { return failed_; }

 private:
  class Host : public EngineHost {
   public:
    explicit Host(const GameState& g);
    std::string SeatHandle(int seat) const override;
   private:
    std::array<std::string, 4> handles_;
  };

  GameState finished_;
  GameState now_;
  Host host_;
  bool failed_ = false;
};

// Plays the whole record; true when it replays to its end without a refusal
// and the result equals the record, field by field. The score sheet is left
// out: the replay writes it with the final handles, while the table wrote
// each line with the handle seated then, which can differ when a seat
// changed hands.
bool ReplaysExactly(const GameState& finished, std::string& error);

}  // namespace zelbo
