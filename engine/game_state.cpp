#include "engine/game_state.h"

#include <cstring>

namespace zelbo {

GameState::GameState() {
  std::memset(dealRecords, NoCard, sizeof dealRecords);
  std::memset(hands, NoCard, sizeof hands);
  std::memset(playRecords, NoCard, sizeof playRecords);
  std::memset(tableCards, NoCard, sizeof tableCards);
  std::memset(contractsLeft, 1, sizeof contractsLeft);
  std::memset(offeredContracts, 0, sizeof offeredContracts);
  std::memset(dealDecisions, Undecided, sizeof dealDecisions);
  std::memset(doubleFactor, 1, sizeof doubleFactor);
  std::memset(dealerDoubles, 0, sizeof dealerDoubles);
  std::memset(doublesOwed, 0, sizeof doublesOwed);
  std::memset(handScore, 0, sizeof handScore);
  std::memset(tally, 0, sizeof tally);
  for (int s = 0; s < 4; ++s) domUp[s] = domDown[s] = DomClosed;
  std::memset(dealScores, 0, sizeof dealScores);
  std::memset(totalScores, 0, sizeof totalScores);
  std::memset(finalHandles, 0, sizeof finalHandles);
}

}  // namespace zelbo
