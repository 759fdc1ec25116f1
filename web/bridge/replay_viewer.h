// The replay viewer's core: a stored game played again through the engine
// (GameReplay), positioned at any moment between two actions, painted by
// the table painter with all four hands open, with the score sheet and the
// deal's decisions as they stood at that moment. Moving back replays from a
// snapshot taken at the start of the deal, so every moment shown is one the
// engine reached itself.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "display/canvas.h"
#include "display/table_view.h"
#include "records/game_replay.h"
#include "robot/decision_review.h"

namespace zelbo {

class ReplayViewer {
 public:
  // What moves the viewer: one card (or decision), one trick, one deal.
  enum class Unit { Action = 0, Trick = 1, Deal = 2 };

  // The action that leads from moment i to moment i + 1.
  struct Step {
    int deal = 0;
    int trick = 0;  // 1.. for a card (the round of a Dominoes deal), 0 for a decision
    bool card = false;
    int seat = 0;
    int value = 0;  // the card, or the decision byte
  };

  // Loads the saved-game bytes of a finished game and the handles of its
  // seats; false with `error` when they do not restore or do not replay
  // (then the viewer shows nothing).
  bool Load(std::span<const uint8_t> savedGame, const std::array<std::string, 4>& handles,
            std::string& error);

  const std::vector<Step>& Steps() const { return steps_; }
  // Moments are 0 (the first deal about to be chosen) .. Steps().size().
  int Moment() const { return moment_; }
  void GoTo(int moment);
  // The moment one unit forward (direction > 0) or back from here: the next
  // or previous card; the end of this trick or the start of the previous
  // one; the start of the next or of this deal (the previous one when at
  // its start).
  int Target(Unit unit, int direction) const;
  // The first moment of deal 1..28.
  int DealStart(int deal) const;
  // The deal the present moment belongs to (the last one at the end).
  int Deal() const;

  const GameState& Now() const { return replay_.Now(); }
  TableView View() const;
  void Paint(Canvas& canvas) const;
  // Texts of the present deal's decisions taken so far, in order.
  std::vector<std::string> DecisionTexts() const;
  // Each seat's running total after each deal, from the stored scores.
  std::vector<std::array<int32_t, 4>> RunningTotals() const;
  const std::array<std::string, 4>& Handles() const { return handles_; }

  // A review of `seat`'s decisions in the present deal, each move measured
  // on `samplesPerMove` sampled deals; the decisions are numbered by their
  // moments. Run it with DealReview::Work.
  DealReview ReviewDeal(int seat, int samplesPerMove) const;

  // What the action at `moment` says when it is `value` instead: a card's
  // name, or the decision's text.
  std::string ActionText(int moment, int value) const;

  // "Q♠": the rank and the suit's sign of card 0..51; "" for another value.
  static std::string CardName(int card);

 private:
  GameState final_;
  std::array<std::string, 4> handles_;
  std::vector<Step> steps_;
  std::vector<int> dealStart_;          // first moment of each deal, index 1..28
  std::vector<GameReplay> snapshots_;   // the replay at each deal's start
  GameReplay replay_{GameState()};
  int moment_ = 0;
};

}  // namespace zelbo
