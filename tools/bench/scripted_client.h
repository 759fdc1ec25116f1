// A client that plays by the engine's simplest rules from its mirrored
// state alone: the lowest contract it may choose, only the doubles it must
// give, the lowest card it may play. The network bench and the network tests
// put four of them at a table.
#pragma once

#include <functional>
#include <string>

#include "net/client_session.h"

namespace zelbo {

class ScriptedClient : public ClientUi {
 public:
  // Asks for `seat` as soon as it learns that the seat is free; -1 keeps it
  // without a seat.
  ScriptedClient(Transport& transport, std::string handle, int seat);

  ClientSession& session() { return session_; }
  const ClientSession& session() const { return session_; }
  int wantedSeat() const { return seat_; }
  void setWantedSeat(int seat) { seat_ = seat; }

  // When set, the next action for which it returns true is held back (once)
  // instead of taken; `held` then turns true. Lets a test stop a game at a
  // chosen point.
  std::function<bool(const GameState&)> holdIf;
  bool held = false;
  // Called after every frame; the bench uses it to time cards.
  std::function<void(int type)> onFrame;
  // When set, each action is handed to it, to be run later (a bench paces
  // its players so); the action looks at the mirror again when it runs.
  std::function<void(std::function<void()>)> defer;
  // Called right before the client sends a contract or a double.
  std::function<void()> onDecision;
  // Called right before the client sends a card.
  std::function<void(int card)> onCard;

  // MsgHand frames after which the mirror held another seat's cards while
  // this client sat (meaningful for a client seated before the first deal).
  int foreignCardsSeen = 0;
  int actions = 0;

  // ClientUi
  void PromptContract(const GameState& g) override;
  void PromptDoubling(const GameState& g) override;
  void FrameHandled(int type, const GameState& g) override;

 private:
  bool Hold(const GameState& g);
  void MaybePlay(const GameState& g);
  void Decide();
  void Later(std::function<void()> action);

  ClientSession session_;
  int seat_;
  int lastPhase_ = PhaseIdle;
  bool waiting_ = false;  // a paced action is on its way
  bool playing_ = false;  // the paced play runs now
};

// The doubling byte of the simple player for the acting seat of a mirror:
// the dealer when the prompt says the double is forced, nobody else.
int ScriptedDoubling(const GameState& mirror);

}  // namespace zelbo
