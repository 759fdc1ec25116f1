// Where the cards of the local hand lie. The painter and the click test
// share these so that a card is clicked exactly where it is drawn.
#pragma once

#include <cstdint>

#include "engine/cards.h"

namespace zelbo {

constexpr int HandTop = 400;
constexpr int HandBottom = 497;  // last row of a card: 400 + 97 - 1
// How far a chosen card waiting for its confirming tap stands out.
constexpr int RaisedBy = 14;

// Left edge of hand slot `slot` (0..12) at the given card spacing:
// 404 + slot * spacing - (13 * spacing) / 2, with the division truncating
// toward zero. Computed in 64 bits because the spacing setting has no bound.
constexpr int64_t HandCardLeft(int32_t spacing, int slot) {
  const int64_t s = spacing;
  return 404 + slot * s - (13 * s) / 2;
}

// A hand slot shows a card when it holds a card code; NoCard and any
// other byte (a mirror may hold whatever a peer sent) leave it empty.
constexpr bool SlotHoldsCard(uint8_t slotValue) { return IsCard(slotValue); }

// True when slot `slot` of `hand` is covered on its right by the next card.
constexpr bool SlotIsCovered(const uint8_t (&hand)[13], int slot) {
  return slot < 12 && SlotHoldsCard(hand[slot + 1]);
}

}  // namespace zelbo
