// End of a hand: settle it, then open the next deal or end the game.
#include <cstring>

#include "engine/engine.h"
#include "engine/engine_internal.h"

namespace zelbo {

namespace detail {

void EndHandNow(GameState& g, EngineHost& host) {
  if (g.dealNumber > 0) SettleHand(g, host);
  g.dealNumber += 1;
  for (int s = 0; s < 4; ++s) {
    g.handScore[s] = 0;
    g.tally[s] = 0;
  }

  if (g.dealNumber >= 1 && g.dealNumber <= DealCount) {
    g.dealer = NextSeat(g.dealer);
    g.phase = PhaseChoosing;
    g.contract = 0;
    g.turn = 0;
    g.placesTaken = 0;
    g.heartUnitsTaken = 0;
    g.queensTaken = 0;
    g.anyDoubled = 0;
    g.dealerDoubled = 0;
    g.trickDone = 1;
    for (int s = 0; s < 4; ++s) {
      const int owed = 2 - g.dealerDoubles[s][g.dealer];
      g.doublesOwed[s] = static_cast<uint8_t>(owed > 0 ? owed : 0);
    }
    std::memset(g.doubleFactor, 1, sizeof g.doubleFactor);
    host.SendStatus(g);
    host.SendTurn(g);
    host.SendDoubleFactors(g);
    host.SendTally(g);
    host.SendDoublesOwed(g);
    RestoreHands(g);
    for (int s = 0; s < 4; ++s) host.SendHand(g, s);
    host.RequestContractChoice(g);
    host.RedrawTable();
    host.AutosaveGame(g);
    return;
  }

  // Deal 28 is over.
  g.phase = PhaseGameOver;
  for (int s = 0; s < 4; ++s) {
    const std::string handle = host.SeatHandle(s);
    const std::size_t n = handle.size() < HandleSize - 1 ? handle.size() : HandleSize - 1;
    std::memset(g.finalHandles[s], 0, HandleSize);
    std::memcpy(g.finalHandles[s], handle.data(), n);
  }
  g.dealer = NextSeat(g.dealer);
  g.dealNumber = 0;
  std::memset(g.hands, NoCard, sizeof g.hands);
  g.contract = 0;
  host.SendStatus(g);
  host.SendTurn(g);
  for (int s = 0; s < 4; ++s) host.SendHand(g, s);
  host.RedrawTable();
  host.AutosaveGame(g);
  host.GameOver(g);
}

}  // namespace detail

void EndHand(GameState& g, EngineHost& host) {
  const detail::InvariantGuard guard(g);
  // A hand is in progress only in phases 1 and 2 of deals 1..28.
  if (g.phase != PhaseChoosing && g.phase != PhasePlaying) return;
  if (!detail::DealIndexesValid(g)) return;
  detail::EndHandNow(g, host);
}

}  // namespace zelbo
