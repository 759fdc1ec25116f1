#include "robot/playout.h"

#include "engine/engine.h"
#include "robot/card_choice.h"
#include "robot/strategy.h"

namespace zelbo {

int PlayOutDeal(GameState& g, EngineHost& host, int seat) {
  const int deal = g.dealNumber;
  if (deal < 1 || deal > DealCount || seat < 0 || seat > 3) return 0;
  // A deal takes at most 5 decisions and 52 cards; the bound only guards
  // against a state that the engine would never reach.
  for (int steps = 0; steps < 80 && g.dealNumber == deal; ++steps) {
    if (g.phase == PhaseChoosing) {
      const int value = g.turn == 0 ? ChooseContract(g, g.dealer) : ChooseDoubles(g, ActingSeat(g));
      if (!IsDecisionAllowed(g, value)) break;
      ApplyDecision(g, host, value);
    } else if (g.phase == PhasePlaying || g.phase == PhaseFirstLead) {
      // The normal robot's card play reads only its own hand and what lies
      // on the table, so it can be asked on the whole record directly.
      const int card = ChooseCardFromView(g, g.turn);
      if (!IsCard(card)) break;
      PlayCard(g, host, g.turn, card);
    } else {
      break;
    }
  }
  return g.dealScores[deal][seat];
}

}  // namespace zelbo
