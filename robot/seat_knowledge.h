// What a seat has learned about the hidden cards of the current deal from
// the states it was shown at its own turns: the cards already played, the
// suits a seat cannot hold because it did not follow them, the Dominoes
// cards a seat cannot hold because it passed while they could be laid. It
// holds nothing the seat
// did not see, so a robot that samples deals from it plays fair.
#pragma once

#include <cstdint>

#include "engine/game_state.h"

namespace zelbo {

using CardSet = uint64_t;  // bit c for card c (0..51)

constexpr CardSet CardBit(int card) { return IsCard(card) ? CardSet{1} << card : 0; }
constexpr CardSet SuitCards(int suit) { return CardSet{0x1FFF} << (13 * suit); }

struct SeatKnowledge {
  int deal = -1;      // the deal these facts belong to (-1: none yet)
  int dealer = -1;
  CardSet played = 0;        // cards seen leave a hand this deal
  CardSet cannotHold[4] = {0, 0, 0, 0};

  // Tricks of the deal as seen: cards by seat (NoCard when unseen) and the
  // seat that led (-1 when unknown).
  uint8_t trickCards[13][4];
  int8_t trickLeader[13];

  // Dominoes: the row ends and the cards held at the previous turn.
  bool havePrevious = false;
  CardSet previousEnds = 0;
  uint8_t previousTally[4] = {0, 0, 0, 0};

  SeatKnowledge() { Reset(-1, -1); }
  void Reset(int dealNumber, int dealerSeat);
};

// Takes in what `seat` sees now. `view` is SeatView(seen, seat), given at one
// of the seat's own turns; a new deal starts the facts afresh.
void ObserveSeatView(SeatKnowledge& k, const GameState& view, int seat);

// The number of cards `seat` holds now, as everybody can tell from `view`.
int CardsHeldNow(const GameState& view, int seat);

// The cards of `seat`'s own hand in `view`.
CardSet HandCards(const GameState& view, int seat);

}  // namespace zelbo
