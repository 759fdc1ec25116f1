// The trick on the table and the ends of the Dominoes rows. The engine keeps
// both in GameState as it plays (trickLeader, trickDone, the current row of
// playRecords, domUp/domDown); a client's mirror and a robot's view receive
// only the table bytes and rebuild the same fields from them. Every reader
// of a trick (who led, what was led, who is winning) asks here.
#pragma once

#include <cstdint>

#include "engine/game_state.h"

namespace zelbo {

// The cards of one trick in the order they were played.
struct Trick {
  int leader = -1;  // seat that led; -1 when no trick is open
  int count = 0;    // cards played to it, 0..4
  uint8_t cards[4] = {NoCard, NoCard, NoCard, NoCard};

  int LedSuit() const { return count > 0 ? SuitOf(cards[0]) : -1; }
  // Seat that played the card at position `i` of the play order.
  int SeatAt(int i) const { return SeatMod(leader + i); }
};

// Suit of the trumps of a contract, -1 when it has none.
constexpr int TrumpSuit(int contract) { return IsTrumps(contract) ? contract - FirstTrumps : -1; }

// True when `card` takes the trick from `best`: a higher card of its suit,
// or a trump over any other suit (`trump` -1 for none).
constexpr bool Beats(int card, int best, int trump) {
  if (SuitOf(card) == SuitOf(best)) return RankOf(card) > RankOf(best);
  return trump >= 0 && SuitOf(card) == trump;
}

// Points that taking `card` costs in a trick contract: 6 a queen in No
// Queens; 2 a heart in No Hearts, 6 the ace of hearts; 20 the king of
// hearts in Zelbo; 0 for every other card and contract. The engine scores
// tricks with it, and robots weigh cards with it.
constexpr int CardPenalty(int contract, int card) {
  if (!IsCard(card)) return 0;
  switch (contract) {
    case NoQueens: return RankOf(card) == QueenRank ? 6 : 0;
    case NoHearts: return card == AceOfHearts ? 6 : SuitOf(card) == Hearts ? 2 : 0;
    case Zelbo: return card == KingOfHearts ? 20 : 0;
    default: return 0;
  }
}

// True when the table shows a per-seat count during play (the `tally`
// frame): tricks taken in Misere and the Trumps contracts, queens in No
// Queens, heart units in No Hearts, cards held in Dominoes. No Last Two and
// Zelbo keep none.
constexpr bool KeepsTrickCount(int contract) {
  return IsContract(contract) && contract != NoLastTwo && contract != Zelbo;
}

// The trick that a row of four seat bytes (a row of playRecords, or the first
// four tableCards) holds when `leader` led it: the cards clockwise from the
// leader up to the first seat without one. No trick for a leader out of range.
Trick TrickFromRow(const uint8_t row[4], int leader);

// Position in play order of the card that wins `t` so far (0 when empty),
// and that card.
int WinningIndex(const Trick& t, int trump);
inline int WinningCard(const Trick& t, int trump) { return t.count > 0 ? t.cards[WinningIndex(t, trump)] : NoCard; }

// Seat that wins `t` so far in `contract` (the leader while it is empty).
inline int TrickWinnerSeat(const Trick& t, int contract) {
  return t.SeatAt(WinningIndex(t, TrumpSuit(contract)));
}

// The trick in progress in a game record: phase 2 with a trick open
// (trickDone 0) and a valid leader; an empty trick otherwise.
Trick CurrentTrick(const GameState& g);

// Works out trickDone, trickLeader, the current row of playRecords (trick
// contracts) and domUp/domDown (Dominoes) from the fields that frames carry:
// phase, dealNumber, contract, turn, playRound and tableCards. For a record
// kept by the engine it gives back the values the engine set wherever a rule
// query reads them. Does nothing outside a deal in play.
void DeriveTableFields(GameState& g);

}  // namespace zelbo
