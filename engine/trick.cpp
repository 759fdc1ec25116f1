#include "engine/trick.h"

namespace zelbo {

namespace {

bool ValidSeat(int s) { return s >= 0 && s < 4; }

bool CardOfSuit(int card, int suit) { return IsCard(card) && SuitOf(card) == suit; }

// The open trick as the table shows it with `turn` to play: its cards lie on
// consecutive seats clockwise from the leader up to the seat before `turn`.
// No open trick when the table shows none or four cards.
Trick OpenTrickOnTable(const uint8_t current[4], int turn) {
  int shown = 0;
  for (int s = 0; s < 4; ++s) shown += IsCard(current[s]) ? 1 : 0;
  if (shown == 0 || shown == 4 || !ValidSeat(turn)) return {};
  int leader = turn;
  for (int k = 1; k <= 3 && IsCard(current[SeatMod(turn - k)]); ++k) leader = SeatMod(turn - k);
  return TrickFromRow(current, leader);
}

// Row ends of each suit from the layout bytes 8..15: the low byte is the
// lowest card laid and the high byte the highest, except that the starting
// card alone (or with cards below it) leaves the high byte empty.
void DeriveDominoRows(GameState& g, bool started) {
  const int start = g.contract - FirstDominoes;
  for (int suit = 0; suit < 4; ++suit) {
    const int first = suit * 13 + start;
    const int low = g.tableCards[8 + 2 * suit];
    const int high = g.tableCards[9 + 2 * suit];
    // Before the first card the layout still shows the last hand's table;
    // with nothing laid in a suit only its card of the starting rank fits.
    if (!started || !CardOfSuit(low, suit)) {
      g.domUp[suit] = g.domDown[suit] = first;
      continue;
    }
    const int top = CardOfSuit(high, suit) ? high : low;
    g.domDown[suit] = RankOf(low) == 0 ? DomClosed : low - 1;
    g.domUp[suit] = RankOf(top) == 12 ? DomClosed : top + 1;
  }
}

void DeriveTrick(GameState& g, bool started) {
  const Trick open = started ? OpenTrickOnTable(g.tableCards, g.turn) : Trick{};
  if (open.leader < 0) {
    // The next card leads a new trick; after a whole trick its winner is
    // the seat to play.
    g.trickDone = 1;
    if (ValidSeat(g.turn)) g.trickLeader = g.turn;
    return;
  }
  g.trickDone = 0;
  g.trickLeader = open.leader;
  if (g.playRound < 0 || g.playRound >= 13) return;
  for (int s = 0; s < 4; ++s) g.playRecords[g.dealNumber][g.playRound][s] = g.tableCards[s];
}

}  // namespace

Trick TrickFromRow(const uint8_t row[4], int leader) {
  Trick t;
  if (!ValidSeat(leader)) return t;
  t.leader = leader;
  while (t.count < 4 && IsCard(row[t.SeatAt(t.count)])) {
    t.cards[t.count] = row[t.SeatAt(t.count)];
    ++t.count;
  }
  return t;
}

int WinningIndex(const Trick& t, int trump) {
  int best = 0;
  for (int i = 1; i < t.count; ++i)
    if (Beats(t.cards[i], t.cards[best], trump)) best = i;
  return best;
}

Trick CurrentTrick(const GameState& g) {
  if (g.phase != PhasePlaying || g.trickDone != 0) return {};
  Trick t = TrickFromRow(g.tableCards, g.trickLeader);
  // Only the cards before the seat to play belong to the trick.
  for (int i = 0; i < t.count; ++i) {
    if (t.SeatAt(i) == g.turn) {
      t.count = i;
      break;
    }
  }
  if (t.count > 3) t.count = 3;
  return t;
}

void DeriveTableFields(GameState& g) {
  if (g.dealNumber < 1 || g.dealNumber > DealCount || !IsContract(g.contract)) return;
  const bool started = g.phase == PhasePlaying || g.phase == PhasePlayingSuspended;
  if (!started && g.phase != PhaseFirstLead && g.phase != PhaseFirstLeadSuspended) return;
  if (IsDominoes(g.contract))
    DeriveDominoRows(g, started);
  else
    DeriveTrick(g, started);
}

}  // namespace zelbo
