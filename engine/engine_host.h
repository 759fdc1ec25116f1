// EngineHost: every side effect of the engine that reaches outside the game
// record goes through this one interface, in the order the rules give, so
// the network, files and windows plug in and tests can record the order.
// The default implementations do nothing, so a host overrides only what it
// needs (a bench host overrides nothing but the seat handles).
#pragma once

#include <string>
#include <string_view>

#include "engine/game_state.h"

namespace zelbo {

class EngineHost {
 public:
  virtual ~EngineHost() = default;

  // Broadcast frames (server to all). Each reads its fields from `g` at the
  // moment of the call.
  virtual void SendStatus(const GameState& g) { (void)g; }
  virtual void SendHand(const GameState& g, int seat) { (void)g, (void)seat; }
  virtual void SendContract(const GameState& g) { (void)g; }
  virtual void SendTurn(const GameState& g) { (void)g; }
  virtual void SendDealDecision(const GameState& g) { (void)g; }
  virtual void SendDoubleFactors(const GameState& g) { (void)g; }
  virtual void SendTableCards(const GameState& g) { (void)g; }
  virtual void SendTally(const GameState& g) { (void)g; }
  virtual void SendDoublesOwed(const GameState& g) { (void)g; }
  virtual void SendScoreClear() {}
  // index 255 replaces the last line
  virtual void SendScoreLine(int index, std::string_view text) { (void)index, (void)text; }
  virtual void SendScoreDelete(int index) { (void)index; }

  // Repaint the server's own table.
  virtual void RedrawTable() {}

  // Prompts. The contract prompt goes to the dealer with its row of
  // `contractsLeft`; the doubling prompt goes to ActingSeat(g) after the
  // engine has set `forcedDouble`.
  virtual void RequestContractChoice(const GameState& g) { (void)g; }
  virtual void RequestDoublingDecision(const GameState& g) { (void)g; }

  // Undo snapshot, taken before a decision or card changes the game.
  virtual void TakeUndoSnapshot(const GameState& g) { (void)g; }
  // Autosave of the whole game ("temp.zelbo").
  virtual void AutosaveGame(const GameState& g) { (void)g; }
  // The game has ended (phase 5, records kept): ask about the hand records.
  virtual void GameOver(const GameState& g) { (void)g; }

  // The handle shown for a seat on the score sheet and in `finalHandles`
  // ("" for an empty seat).
  virtual std::string SeatHandle(int seat) const { (void)seat; return {}; }
};

}  // namespace zelbo
