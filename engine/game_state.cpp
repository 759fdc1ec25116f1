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

bool SameGame(const GameState& a, const GameState& b) {
#define SAME(f) (std::memcmp(&a.f, &b.f, sizeof a.f) == 0)
  return SAME(phase) && SAME(dealNumber) && SAME(dealer) && SAME(contract) && SAME(turn) &&
         SAME(roundSteps) && SAME(dealRecords) && SAME(hands) && SAME(playRecords) &&
         SAME(playRound) && SAME(trickLeader) && SAME(trickDone) && SAME(tableCards) &&
         SAME(contractsLeft) && SAME(offeredContracts) && SAME(dealDecisions) &&
         SAME(doubleFactor) && SAME(dealerDoubles) && SAME(doublesOwed) && SAME(anyDoubled) &&
         SAME(dealerDoubled) && SAME(forcedDouble) && SAME(handScore) && SAME(tally) &&
         SAME(queensTaken) && SAME(heartUnitsTaken) && SAME(placesTaken) && SAME(domUp) &&
         SAME(domDown) && SAME(dealScores) && SAME(totalScores) && SAME(finalHandles) &&
         SAME(randomSeed) && SAME(gameSeed) && a.scoreSheet == b.scoreSheet;
#undef SAME
}

}  // namespace zelbo
