#include "robot/seat_knowledge.h"

#include <cstring>

#include "engine/trick.h"

namespace zelbo {

namespace {

bool TrickGame(int contract) { return IsContract(contract) && !IsDominoes(contract); }

bool Complete(const uint8_t row[4]) {
  for (int s = 0; s < 4; ++s)
    if (!IsCard(row[s])) return false;
  return true;
}

void RecordRow(SeatKnowledge& k, int round, const uint8_t* cards) {
  if (round < 0 || round > 12) return;
  for (int s = 0; s < 4; ++s) {
    if (!IsCard(cards[s])) continue;
    k.trickCards[round][s] = cards[s];
    k.played |= CardBit(cards[s]);
  }
}

void ObserveTricks(SeatKnowledge& k, const GameState& v) {
  k.trickLeader[0] = static_cast<int8_t>(k.dealer);  // the dealer leads first
  if (v.phase != PhasePlaying) return;  // before the first card the table shows the last deal
  const int round = v.playRound;
  if (round < 0 || round > 13) return;
  if (v.trickDone) {
    RecordRow(k, round - 1, v.tableCards);
    RecordRow(k, round - 2, v.tableCards + 4);
  } else {
    RecordRow(k, round, v.tableCards);
    RecordRow(k, round - 1, v.tableCards + 4);
    if (round <= 12 && v.trickLeader >= 0 && v.trickLeader < 4) {
      k.trickLeader[round] = static_cast<int8_t>(v.trickLeader);
    }
  }
  // Each complete trick with a known leader names the next leader, and shows
  // who could not follow the suit led.
  for (int r = 0; r < 13; ++r) {
    const int leader = k.trickLeader[r];
    if (leader < 0 || !IsCard(k.trickCards[r][leader])) continue;
    const int led = SuitOf(k.trickCards[r][leader]);
    for (int s = 0; s < 4; ++s) {
      const int c = k.trickCards[r][s];
      if (IsCard(c) && SuitOf(c) != led) k.cannotHold[s] |= SuitCards(led);
    }
    if (r < 12 && k.trickLeader[r + 1] < 0 && Complete(k.trickCards[r])) {
      k.trickLeader[r + 1] = static_cast<int8_t>(TrickWinnerSeat(TrickFromRow(k.trickCards[r], leader), v.contract));
    }
  }
}

// The cards that may be laid now, and those already laid, in Dominoes.
CardSet DominoEnds(const GameState& v) {
  CardSet ends = 0;
  for (int s = 0; s < 4; ++s) {
    ends |= CardBit(v.domUp[s]);
    ends |= CardBit(v.domDown[s]);
  }
  return ends;
}

CardSet DominoesLaid(const GameState& v) {
  CardSet laid = 0;
  const int start = v.contract - FirstDominoes;
  for (int s = 0; s < 4; ++s) {
    const int up = v.domUp[s], down = v.domDown[s];
    if (up == s * 13 + start && down == up) continue;  // row not opened
    const int lo = down == DomClosed ? 0 : (IsCard(down) && SuitOf(down) == s ? RankOf(down) + 1 : 13);
    const int hi = up == DomClosed ? 12 : (IsCard(up) && SuitOf(up) == s ? RankOf(up) - 1 : -1);
    for (int r = lo; r <= hi; ++r) laid |= CardBit(s * 13 + r);
  }
  return laid;
}

void ObserveDominoes(SeatKnowledge& k, const GameState& v, int me) {
  const int start = v.contract - FirstDominoes;
  if (v.phase == PhaseFirstLead) {
    // The seats from the dealer up to the one to lay first passed: they hold
    // no card of the starting rank.
    for (int s = k.dealer, i = 0; s != v.turn && i < 3; s = NextSeat(s), ++i) {
      for (int suit = 0; suit < 4; ++suit) k.cannotHold[s] |= CardBit(suit * 13 + start);
    }
    return;
  }
  if (v.phase != PhasePlaying) return;
  k.played |= DominoesLaid(v);
  const CardSet ends = DominoEnds(v);
  // Between two turns of ours every other seat that still holds cards had
  // a turn after our card; one whose count did not move passed, so it holds
  // none of the ends that stood open all that time.
  if (k.havePrevious && v.tally[me] < k.previousTally[me]) {
    for (int s = 0; s < 4; ++s) {
      if (s != me && v.tally[s] > 0 && v.tally[s] == k.previousTally[s]) {
        k.cannotHold[s] |= ends & k.previousEnds;
      }
    }
  }
  k.havePrevious = true;
  k.previousEnds = ends;
  std::memcpy(k.previousTally, v.tally, sizeof k.previousTally);
}

}  // namespace

void SeatKnowledge::Reset(int dealNumber, int dealerSeat) {
  deal = dealNumber;
  dealer = dealerSeat;
  played = 0;
  for (CardSet& c : cannotHold) c = 0;
  std::memset(trickCards, NoCard, sizeof trickCards);
  std::memset(trickLeader, -1, sizeof trickLeader);
  havePrevious = false;
  previousEnds = 0;
  std::memset(previousTally, 0, sizeof previousTally);
}

void ObserveSeatView(SeatKnowledge& k, const GameState& v, int seat) {
  if (seat < 0 || seat > 3 || v.dealer < 0 || v.dealer > 3) return;
  if (k.deal != v.dealNumber || k.dealer != v.dealer) k.Reset(v.dealNumber, v.dealer);
  if (v.phase != PhasePlaying && v.phase != PhaseFirstLead) return;
  if (TrickGame(v.contract)) ObserveTricks(k, v);
  if (IsDominoes(v.contract)) ObserveDominoes(k, v, seat);
  // The seat's own cards are its own business, whatever was inferred.
  const CardSet mine = HandCards(v, seat);
  for (int s = 0; s < 4; ++s)
    if (s != seat) k.cannotHold[s] &= ~mine;
}

int CardsHeldNow(const GameState& v, int seat) {
  if (seat < 0 || seat > 3) return 0;
  if (v.phase == PhaseChoosing || v.phase == PhaseFirstLead) return 13;
  if (v.phase != PhasePlaying) return 0;
  if (IsDominoes(v.contract)) return v.tally[seat] <= 13 ? v.tally[seat] : 13;
  if (v.playRound < 0 || v.playRound > 13) return 0;
  int held = 13 - v.playRound;
  if (!v.trickDone && IsCard(v.tableCards[seat])) held -= 1;
  return held < 0 ? 0 : held;
}

CardSet HandCards(const GameState& v, int seat) {
  CardSet set = 0;
  if (seat < 0 || seat > 3) return set;
  for (int i = 0; i < 13; ++i) set |= CardBit(v.hands[seat][i]);
  return set;
}

}  // namespace zelbo
