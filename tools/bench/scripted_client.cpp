#include "tools/bench/scripted_client.h"

#include "engine/engine.h"
#include "engine/simple_policy.h"

namespace zelbo {

int ScriptedDoubling(const GameState& g) {
  const DoublingOffer offer = OfferedDoubles(g);
  // The mirror does not hold the game's count of doubles, so the forced
  // double comes from the prompt's forcedDouble, not from the offer.
  const int toDealer = SeatMod(g.dealer - ActingSeat(g));  // 1, 2 or 3 seen from the actor
  const int targets = g.forcedDouble != 0 && toDealer != 0 ? 1 << (toDealer - 1) : 0;
  return DoublingByte(offer, targets & offer.allowed);
}

ScriptedClient::ScriptedClient(Transport& transport, std::string handle, int seat)
    : session_(transport, *this, std::move(handle)), seat_(seat) {}

bool ScriptedClient::Hold(const GameState& g) {
  if (holdIf && holdIf(g)) {
    holdIf = nullptr;
    held = true;
    return true;
  }
  return false;
}

void ScriptedClient::PromptContract(const GameState& g) {
  if (Hold(g)) return;
  if (defer) return Later([this] { Decide(); });
  ++actions;
  session_.SendContractChosen(SimpleContract(g));
}

void ScriptedClient::PromptDoubling(const GameState& g) {
  if (Hold(g)) return;
  if (defer) return Later([this] { Decide(); });
  ++actions;
  session_.SendDoubleChosen(ScriptedDoubling(g));
}

void ScriptedClient::Later(std::function<void()> action) {
  if (waiting_) return;  // one paced action at a time
  waiting_ = true;
  defer([this, action = std::move(action)] {
    waiting_ = false;
    action();
  });
}

// A paced decision, taken if the mirror still waits for this seat's.
void ScriptedClient::Decide() {
  const GameState& g = session_.Game();
  if (g.phase != PhaseChoosing || ActingSeat(g) != session_.LocalPosition()) return;
  ++actions;
  if (onDecision) onDecision();
  if (g.turn == 0)
    session_.SendContractChosen(SimpleContract(g));
  else
    session_.SendDoubleChosen(ScriptedDoubling(g));
}

void ScriptedClient::MaybePlay(const GameState& g) {
  const int me = session_.LocalPosition();
  if (!session_.IsSeated() || g.turn != me) return;
  if (g.phase != PhasePlaying && g.phase != PhaseFirstLead) return;
  if (defer && !playing_) {
    return Later([this] {
      playing_ = true;
      MaybePlay(session_.Game());
      playing_ = false;
    });
  }
  const int card = SimpleCard(g, me);
  if (card < 0 || Hold(g)) return;
  ++actions;
  if (onCard) onCard(card);
  session_.PlayCard(card);
}

void ScriptedClient::FrameHandled(int type, const GameState& g) {
  if (type == MsgSeatInfo && seat_ >= 0 && session_.LocalPosition() == NoPosition &&
      !session_.SeatTaken(seat_))
    session_.RequestSeat(seat_);
  if (type == MsgHand && session_.IsSeated()) {
    for (int s = 0; s < 4; ++s) {
      if (s == session_.LocalPosition()) continue;
      for (int i = 0; i < 13; ++i)
        if (g.hands[s][i] != NoCard) {
          ++foreignCardsSeen;
          break;
        }
    }
  }
  if (onFrame) onFrame(type);
  // MsgTurn closes every sequence after a card or decision; a resumed game
  // ends its sequence with the status that brings the phase back.
  if (type == MsgTurn || (type == MsgStatus && IsSuspended(lastPhase_))) MaybePlay(g);
  if (type == MsgStatus) lastPhase_ = g.phase;
}

}  // namespace zelbo
