#include "engine/simple_policy.h"

namespace zelbo {

int SimpleContract(const GameState& g) {
  const uint32_t allowed = AllowedContracts(g);
  for (int code = 1; code <= LastContract; ++code)
    if (allowed >> code & 1u) return code;
  return 0;
}

int SimpleDoubling(const GameState& g) {
  const DoublingOffer offer = OfferedDoubles(g);
  return DoublingByte(offer, offer.forced);
}

int SimpleCard(const GameState& g, int seat) {
  // Hands are in descending order, so the last allowed card is the lowest.
  const CardList legal = LegalCards(g, seat);
  return legal.count > 0 ? legal.cards[legal.count - 1] : -1;
}

bool SimpleStep(GameState& g, EngineHost& host) {
  if (g.phase == PhaseChoosing) {
    const int value = g.turn == 0 ? SimpleContract(g) : SimpleDoubling(g);
    if (!IsDecisionAllowed(g, value)) return false;
    ApplyDecision(g, host, value);
    return true;
  }
  if (g.phase == PhaseFirstLead || g.phase == PhasePlaying) {
    const int card = SimpleCard(g, g.turn);
    if (card < 0) return false;
    PlayCard(g, host, g.turn, card);
    return true;
  }
  return false;
}

}  // namespace zelbo
