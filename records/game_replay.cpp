#include "records/game_replay.h"

#include <cstring>

#include "engine/engine.h"

namespace zelbo {

GameReplay::Host::Host(const GameState& g) {
  for (int s = 0; s < 4; ++s)
    handles_[s] = std::string(g.finalHandles[s], strnlen(g.finalHandles[s], HandleSize));
}

std::string GameReplay::Host::SeatHandle(int seat) const {
  return seat >= 0 && seat < 4 ? handles_[seat] : std::string();
}

GameReplay::GameReplay(const GameState& finished) : finished_(finished), host_(finished) {
  // NewGame deals from the seed and opens deal 1 exactly as at the table.
  now_.randomSeed = finished.gameSeed;
  NewGame(now_, host_, 0);
  // The seed field is the table's, not the game's; only dealing reads it.
  now_.randomSeed = finished.randomSeed;
  std::memcpy(now_.finalHandles, finished.finalHandles, sizeof now_.finalHandles);
}

ReplayAction GameReplay::NextAction() const {
  const GameState& g = now_;
  ReplayAction a;
  if (g.dealNumber < 1 || g.dealNumber > DealCount) return a;
  if (g.phase == PhaseChoosing) {
    if (g.turn < 0 || g.turn > 4) return a;
    const int value = finished_.dealDecisions[g.dealNumber][g.turn];
    if (value == Undecided) return a;
    return {ReplayAction::Kind::Decision, ActingSeat(g), value};
  }
  if (g.phase == PhasePlaying || g.phase == PhaseFirstLead) {
    // At the first lead the round counter still holds the last deal's.
    const int round = g.phase == PhaseFirstLead ? 0 : g.playRound;
    if (round < 0 || round >= DominoRounds || g.turn < 0 || g.turn > 3) return a;
    const int card = finished_.playRecords[g.dealNumber][round][g.turn];
    if (!IsCard(card)) return a;
    return {ReplayAction::Kind::Card, g.turn, card};
  }
  return a;
}

bool GameReplay::Step() {
  const ReplayAction a = NextAction();
  if (a.kind == ReplayAction::Kind::None) {
    failed_ = !Finished();
    return false;
  }
  const bool allowed = a.kind == ReplayAction::Kind::Decision ? IsDecisionAllowed(now_, a.value)
                                                              : MayPlayCard(now_, a.seat, a.value);
  if (!allowed) {
    failed_ = true;
    return false;
  }
  if (a.kind == ReplayAction::Kind::Decision)
    ApplyDecision(now_, host_, a.value);
  else
    PlayCard(now_, host_, a.seat, a.value);
  return true;
}

bool ReplaysExactly(const GameState& finished, std::string& error) {
  GameReplay replay(finished);
  for (int steps = 0; steps < MaxGameSteps && replay.Step(); ++steps) {
  }
  if (!replay.Finished()) {
    error = "the record breaks off in deal " + std::to_string(replay.Now().dealNumber);
    return false;
  }
  // The sheet names whoever sat when each deal was scored, which the record
  // does not hold; the replay names the final handles. All else must agree.
  GameState replayed = replay.Now();
  replayed.scoreSheet = finished.scoreSheet;
  if (!(replayed == finished)) {
    error = "the replayed game differs from the record";
    return false;
  }
  return true;
}

}  // namespace zelbo
