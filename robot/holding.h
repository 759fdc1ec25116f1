// A hand as four rank masks (bit r = the card of rank r in that suit), the
// shape in which the robot's hand evaluation and card choice reason.
#pragma once

#include <bit>
#include <cstdint>

#include "engine/cards.h"

namespace zelbo {

struct Holding {
  uint16_t suit[4] = {0, 0, 0, 0};

  static Holding Of(const uint8_t cards[13]) {
    Holding h;
    for (int i = 0; i < 13; ++i) h.Add(cards[i]);
    return h;
  }
  void Add(int card) {
    if (IsCard(card)) suit[SuitOf(card)] |= static_cast<uint16_t>(1u << RankOf(card));
  }
  bool Has(int card) const { return IsCard(card) && (suit[SuitOf(card)] >> RankOf(card) & 1u); }
  int Count(int s) const { return std::popcount(suit[s]); }
  // Cards of suit s below / above rank r.
  int Below(int s, int r) const { return std::popcount(static_cast<unsigned>(suit[s] & ((1u << r) - 1))); }
  int Above(int s, int r) const { return std::popcount(static_cast<unsigned>(suit[s] >> (r + 1))); }
  // Lowest / highest rank held in suit s, -1 when void.
  int Lowest(int s) const { return suit[s] ? std::countr_zero(static_cast<unsigned>(suit[s])) : -1; }
  int Highest(int s) const { return suit[s] ? 15 - std::countl_zero(suit[s]) : -1; }
};

}  // namespace zelbo
