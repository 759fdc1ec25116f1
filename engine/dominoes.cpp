// Dominoes: each suit grows into a row from the starting rank; a seat lays
// one card that extends a row or is passed over; the order in which the
// seats go out decides the score.
#include <cstring>

#include "engine/engine.h"
#include "engine/engine_internal.h"

namespace zelbo {

bool HoldsPlayableDomino(const GameState& g, int seat) {
  if (seat < 0 || seat > 3) return false;
  for (int i = 0; i < 13; ++i) {
    const int c = g.hands[seat][i];
    if (IsCard(c) && detail::DominoFits(g, c)) return true;
  }
  return false;
}

namespace detail {

namespace {

void ExtendRow(GameState& g, int card) {
  const int suit = SuitOf(card);
  const int rank = RankOf(card);
  const int start = g.contract - FirstDominoes;
  // The starting card matches both ends and opens the row both ways.
  const bool down = card == g.domDown[suit];
  const bool up = card == g.domUp[suit];
  if (down) g.domDown[suit] = rank == 0 ? DomClosed : card - 1;
  if (up) g.domUp[suit] = rank == 12 ? DomClosed : card + 1;

  uint8_t& low = g.tableCards[8 + 2 * suit];
  uint8_t& high = g.tableCards[9 + 2 * suit];
  if (rank == start) {
    low = static_cast<uint8_t>(card);
  } else if (rank < start) {
    low = static_cast<uint8_t>(card);
    high = static_cast<uint8_t>(g.domUp[suit] == DomClosed ? suit * 13 + 12 : g.domUp[suit] - 1);
  } else {
    high = static_cast<uint8_t>(card);
  }
}

}  // namespace

void ContinueDominoes(GameState& g, EngineHost& host, int card) {
  if (g.tally[g.turn] > 0) g.tally[g.turn] -= 1;
  ExtendRow(g, card);

  if (g.tally[g.turn] == 0) {
    static constexpr int kPlaceScore[3] = {45, 20, 5};
    if (g.placesTaken >= 3) {
      g.handScore[g.turn] = -5;
      std::memset(g.tableCards + 8, NoCard, 8);
      host.SendTableCards(g);
      EndHandNow(g, host);
      return;
    }
    g.handScore[g.turn] = kPlaceScore[g.placesTaken < 0 ? 0 : g.placesTaken];
    detail::Add(g.placesTaken, 1);
  }

  // Pass the turn on; seats without a card that fits pass automatically. A
  // full circuit always finds one while cards remain, so the loop is bounded
  // by four steps even for a record that breaks this.
  for (int step = 0; step < 4; ++step) {
    const int seat = NextSeat(g.turn);
    g.turn = seat;
    if (seat == g.dealer && g.playRound < DominoRounds - 1) g.playRound += 1;
    if (HoldsPlayableDomino(g, seat)) break;
    g.tableCards[seat] = NoCard;
    g.playRecords[g.dealNumber][g.playRound][seat] = NoCard;
  }
  host.SendTableCards(g);
  host.SendTally(g);
  host.SendStatus(g);
  host.SendTurn(g);
  host.RedrawTable();
  host.AutosaveGame(g);
}

}  // namespace detail

}  // namespace zelbo
