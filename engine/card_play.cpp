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

int TrickWinner(const GameState& g, const uint8_t* row) {
  const Trick t = TrickFromRow(row, g.trickLeader);
  return t.SeatAt(WinningIndex(t, TrumpSuit(g.contract)));
}

// Scores the trick for its winner; true when it ends the hand early.
bool ScoreTrick(GameState& g, const uint8_t* row, int winner) {
  switch (g.contract) {
    case Misere:
      g.tally[winner] += 1;
      detail::Add(g.handScore[winner], -2);
      return false;
    case NoQueens: {
      int queens = 0;
      for (int s = 0; s < 4; ++s) queens += RankOf(row[s]) == QueenRank;
      g.tally[winner] = static_cast<uint8_t>(g.tally[winner] + queens);
      detail::Add(g.handScore[winner], -6 * queens);
      detail::Add(g.queensTaken, queens);
      return g.queensTaken >= 4;
    }
    case NoLastTwo:
      if (g.playRound >= 11) detail::Add(g.handScore[winner], (10 - g.playRound) * 10);
      return false;
    case NoHearts: {
      int units = 0;
      for (int s = 0; s < 4; ++s)
        if (SuitOf(row[s]) == Hearts) units += row[s] == AceOfHearts ? 3 : 1;
      g.tally[winner] = static_cast<uint8_t>(g.tally[winner] + units);
      detail::Add(g.handScore[winner], -2 * units);
      detail::Add(g.heartUnitsTaken, units);
      return g.heartUnitsTaken >= 15;
    }
    case Zelbo:
      for (int s = 0; s < 4; ++s) {
        if (row[s] == KingOfHearts) {
          detail::Add(g.handScore[winner], -20);
          return true;
        }
      }
      return false;
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
    const int winner = TrickWinner(g, row);
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
    if (g.contract != NoLastTwo && g.contract != Zelbo) host.SendTally(g);
    g.trickDone = 1;
    g.trickLeader = winner;
    g.turn = winner;
  }
  host.SendTurn(g);
  host.RedrawTable();
  host.AutosaveGame(g);
}

}  // namespace zelbo
