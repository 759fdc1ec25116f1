#include "net/client_mirror.h"

namespace zelbo {

namespace {

void DeriveDominoes(GameState& m) {
  const int startRank = m.contract - FirstDominoes;
  for (int suit = 0; suit < 4; ++suit) {
    const int startCard = suit * 13 + startRank;
    const int low = m.tableCards[8 + 2 * suit];
    int high = m.tableCards[9 + 2 * suit];
    // Before the first card the layout still shows the last hand's table;
    // with nothing laid in a suit only its card of the starting rank fits.
    if (m.phase == PhaseFirstLead || m.phase == PhaseFirstLeadSuspended || !IsCard(low) ||
        SuitOf(low) != suit) {
      m.domUp[suit] = m.domDown[suit] = startCard;
      continue;
    }
    // The starting card alone sets only the low byte.
    if (!IsCard(high) || SuitOf(high) != suit) high = startCard;
    m.domDown[suit] = RankOf(low) == 0 ? DomClosed : low - 1;
    m.domUp[suit] = RankOf(high) == 12 ? DomClosed : high + 1;
  }
}

void DeriveTrick(GameState& m) {
  int cards = 0;
  for (int s = 0; s < 4; ++s)
    if (IsCard(m.tableCards[s])) ++cards;
  if (m.phase == PhaseFirstLead || cards == 0 || cards == 4) {
    // The next card leads a new trick.
    m.trickDone = 1;
    return;
  }
  if (m.turn < 0 || m.turn > 3) return;
  // The cards of an open trick lie on the seats before the one to play.
  int leader = m.turn;
  for (int k = 1; k <= 3; ++k) {
    const int seat = SeatMod(m.turn - k);
    if (!IsCard(m.tableCards[seat])) break;
    leader = seat;
  }
  m.trickDone = 0;
  m.trickLeader = leader;
  if (m.playRound < 0 || m.playRound >= 13) return;
  for (int s = 0; s < 4; ++s) m.playRecords[m.dealNumber][m.playRound][s] = m.tableCards[s];
}

}  // namespace

void DerivePlayFields(GameState& m) {
  if (m.dealNumber < 1 || m.dealNumber > DealCount || !IsContract(m.contract)) return;
  if (m.phase != PhasePlaying && m.phase != PhaseFirstLead && m.phase != PhasePlayingSuspended &&
      m.phase != PhaseFirstLeadSuspended)
    return;
  if (IsDominoes(m.contract))
    DeriveDominoes(m);
  else
    DeriveTrick(m);
}

}  // namespace zelbo
