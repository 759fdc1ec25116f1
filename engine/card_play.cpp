// PlayCard: the one entry through which a card reaches the table, and the
// tricks of the six trick contracts.
#include <cstring>

#include "engine/engine.h"
#include "engine/engine_internal.h"
#include "engine/trick.h"

namespace zelbo {

namespace {

void RemoveFromHand(GameState& g, int seat, int card) {
  uint8_t* hand = g.hands[seat];
  for (int i = 0; i < 13; ++i) {
    if (hand[i] != card) continue;
    std::memmove(hand + i, hand + i + 1, static_cast<std::size_t>(12 - i));
    hand[12] = NoCard;
    return;
  }
}

// The completed trick goes to the last-trick bytes and the current trick is
// cleared (the hand is over).
void ClearTrickToLast(GameState& g) {
  std::memcpy(g.tableCards + 4, g.tableCards, 4);
  std::memset(g.tableCards, NoCard, 4);
}

// Scores the trick for its winner; true when it ends the hand early.
bool ScoreTrick(GameState& g, const uint8_t* row, int winner) {
  int penalty = 0;
  for (int s = 0; s < 4; ++s) penalty += CardPenalty(g.contract, row[s]);
  switch (g.contract) {
    case Misere:
      g.tally[winner] += 1;
      detail::Add(g.handScore[winner], -2);
      return false;
    case NoQueens: {
      const int queens = penalty / 6;  // six points a queen
      g.tally[winner] = static_cast<uint8_t>(g.tally[winner] + queens);
      detail::Add(g.handScore[winner], -penalty);
      detail::Add(g.queensTaken, queens);
      return g.queensTaken >= 4;
    }
    case NoLastTwo:
      if (g.playRound >= 11) detail::Add(g.handScore[winner], (10 - g.playRound) * 10);
      return false;
    case NoHearts: {
      // The tally counts heart units of two points: one a heart, three the ace.
      const int units = penalty / 2;
      g.tally[winner] = static_cast<uint8_t>(g.tally[winner] + units);
      detail::Add(g.handScore[winner], -penalty);
      detail::Add(g.heartUnitsTaken, units);
      return g.heartUnitsTaken >= 15;
    }
    case Zelbo:
      // Only the king of hearts costs anything, and it ends the hand.
      detail::Add(g.handScore[winner], -penalty);
      return penalty > 0;
    default:  // Trumps
      g.tally[winner] += 1;
      detail::Add(g.handScore[winner], 5);
      return false;
  }
}

}  // namespace

void PlayCard(GameState& g, EngineHost& host, int seat, int card) {
  const detail::InvariantGuard guard(g);
  if (!MayPlayCard(g, seat, card)) return;
  host.TakeUndoSnapshot(g);
  if (g.phase == PhaseFirstLead) {
    g.playRound = 0;
    g.trickLeader = seat;
    for (int s = 0; s < 4; ++s) g.handScore[s] = 0;
    std::memset(g.tableCards, NoCard, sizeof g.tableCards);
    g.phase = PhasePlaying;
  }
  if (g.trickDone == 1) {
    ClearTrickToLast(g);
    g.trickDone = 0;
  }
  uint8_t* row = g.playRecords[g.dealNumber][g.playRound];
  row[seat] = static_cast<uint8_t>(card);
  g.tableCards[seat] = static_cast<uint8_t>(card);
  RemoveFromHand(g, seat, card);
  host.SendHand(g, seat);

  if (IsDominoes(g.contract)) {
    detail::ContinueDominoes(g, host, card);
    return;
  }

  host.SendTableCards(g);
  host.SendStatus(g);
  bool complete = true;
  for (int s = 0; s < 4; ++s)
    if (row[s] == NoCard) complete = false;
  if (!complete) {
    g.turn = NextSeat(g.turn);
  } else {
    const int winner = TrickWinnerSeat(TrickFromRow(row, g.trickLeader), g.contract);
    if (ScoreTrick(g, row, winner)) {
      ClearTrickToLast(g);
      host.SendTableCards(g);
      detail::EndHandNow(g, host);
      return;
    }
    g.playRound += 1;
    if (g.playRound == 13) {
      ClearTrickToLast(g);
      host.SendTableCards(g);
      detail::EndHandNow(g, host);
      return;
    }
    if (KeepsTrickCount(g.contract)) host.SendTally(g);
    g.trickDone = 1;
    g.trickLeader = winner;
    g.turn = winner;
  }
  host.SendTurn(g);
  host.RedrawTable();
  host.AutosaveGame(g);
}

}  // namespace zelbo
