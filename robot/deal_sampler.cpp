#include "robot/deal_sampler.h"

#include <bit>
#include <utility>

namespace zelbo {

namespace {

// Unseen cards go to three other seats and, when the seat missed some of
// the play (it sat down in the middle of a hand), to a fourth sink: cards
// already played unseen.
constexpr int kSinks = 4;
constexpr int kGone = 3;

struct Demand {
  int cap[kSinks] = {0, 0, 0, 0};
  int count[1 << kSinks] = {};  // unplaced cards by the set of sinks the facts allow
};

// A whole assignment exists exactly when no group of sinks is asked for
// more cards than it can take from the cards that fit nowhere else (a sink
// that is full takes nothing more, whatever a card's facts allow).
bool Feasible(const Demand& d) {
  int live = 0;
  for (int s = 0; s < kSinks; ++s)
    if (d.cap[s] > 0) live |= 1 << s;
  for (int group = 0; group < (1 << kSinks); ++group) {
    int room = 0;
    for (int s = 0; s < kSinks; ++s)
      if (group >> s & 1) room += d.cap[s];
    int forced = 0;
    for (int m = 0; m < (1 << kSinks); ++m)
      if ((m & live & ~group) == 0) forced += d.count[m];
    if (forced > room) return false;
  }
  return true;
}

int SinkMask(const CardSet cannot[kSinks], const int cap[kSinks], int card, bool useFacts) {
  int mask = 0;
  for (int s = 0; s < kSinks; ++s) {
    if (cap[s] <= 0) continue;
    if (useFacts && (cannot[s] & CardBit(card))) continue;
    mask |= 1 << s;
  }
  return mask;
}

void WriteHand(uint8_t hand[13], CardSet cards) {
  int i = 0;
  for (int c = 51; c >= 0 && i < 13; --c)
    if (cards >> c & 1u) hand[i++] = static_cast<uint8_t>(c);
  for (; i < 13; ++i) hand[i] = NoCard;
}

// The running scores of the hand, which the engine keeps and a client sees
// only as tallies: tricks, Queens or Heart units taken, cards held.
void RestoreRunningScores(GameState& g) {
  g.queensTaken = g.heartUnitsTaken = g.placesTaken = 0;
  for (int s = 0; s < 4; ++s) g.handScore[s] = 0;
  if (g.phase != PhasePlaying) return;
  for (int s = 0; s < 4; ++s) {
    const int t = g.tally[s];
    switch (g.contract) {
      case Misere: g.handScore[s] = -2 * t; break;
      case NoQueens: g.handScore[s] = -6 * t; g.queensTaken += t; break;
      case NoHearts: g.handScore[s] = -2 * t; g.heartUnitsTaken += t; break;
      default:
        if (IsTrumps(g.contract)) g.handScore[s] = 5 * t;
        break;
    }
  }
  // No Last Two charges the eleventh trick (round 11) to its winner, who
  // leads the last one.
  if (g.contract == NoLastTwo && g.playRound == 12 && g.trickLeader >= 0 && g.trickLeader < 4) {
    g.handScore[g.trickLeader] = -10;
  }
  if (!IsDominoes(g.contract)) return;
  // Players who are out keep their place score whatever happens next, so
  // only how many are out matters to the rest of the hand; the order among
  // them (which a seat that was passed over may not have seen) is taken as
  // seat order.
  static constexpr int kPlaceScore[3] = {45, 20, 5};
  for (int s = 0; s < 4; ++s) {
    if (g.tally[s] != 0 || g.placesTaken >= 3) continue;
    g.handScore[s] = kPlaceScore[g.placesTaken];
    g.placesTaken += 1;
  }
}

}  // namespace

bool SampleDeal(const GameState& view, int seat, const SeatKnowledge& k, SampleRandom& rng,
                GameState& out) {
  if (seat < 0 || seat > 3) return false;
  out = view;
  const bool factsHold = k.deal == view.dealNumber && k.dealer == view.dealer;
  const CardSet mine = HandCards(view, seat);
  const CardSet played = factsHold ? k.played & ~mine : 0;
  const CardSet pool = ((CardSet{1} << 52) - 1) & ~mine & ~played;

  int sinkSeat[kSinks] = {LHO(seat), OO(seat), RHO(seat), -1};
  CardSet cannot[kSinks] = {0, 0, 0, 0};
  Demand d;
  int wanted = 0;
  for (int i = 0; i < 3; ++i) {
    d.cap[i] = CardsHeldNow(view, sinkSeat[i]);
    if (factsHold) cannot[i] = k.cannotHold[sinkSeat[i]];
    wanted += d.cap[i];
  }
  const int unseen = std::popcount(pool);
  if (unseen < wanted) return false;
  d.cap[kGone] = unseen - wanted;

  uint8_t cards[52];
  uint8_t masks[52];
  int n = 0;
  for (int c = 0; c < 52; ++c)
    if (pool >> c & 1u) cards[n++] = static_cast<uint8_t>(c);

  // Facts that contradict each other (a confused or hostile peer) are
  // dropped rather than allowed to stop the robot.
  bool useFacts = true;
  for (int pass = 0; pass < 2; ++pass) {
    for (int& c : d.count) c = 0;
    for (int i = 0; i < n; ++i) {
      masks[i] = static_cast<uint8_t>(SinkMask(cannot, d.cap, cards[i], useFacts));
      d.count[masks[i]] += 1;
    }
    if (Feasible(d)) break;
    if (!useFacts) return false;
    useFacts = false;
  }

  for (int i = n - 1; i > 0; --i) {
    const int j = rng.Below(i + 1);
    std::swap(cards[i], cards[j]);
    std::swap(masks[i], masks[j]);
  }
  CardSet dealt[kSinks] = {0, 0, 0, 0};
  for (int i = 0; i < n; ++i) {
    const int card = cards[i];
    d.count[masks[i]] -= 1;
    int options = masks[i];
    int chosen = -1;
    while (options != 0 && chosen < 0) {
      int room = 0;
      for (int s = 0; s < kSinks; ++s)
        if (options >> s & 1) room += d.cap[s];
      if (room == 0) break;
      int pick = rng.Below(room);
      int s = 0;
      for (; s < kSinks; ++s) {
        if (!(options >> s & 1)) continue;
        if (pick < d.cap[s]) break;
        pick -= d.cap[s];
      }
      // Keep the rest of the cards placeable.
      d.cap[s] -= 1;
      if (Feasible(d)) {
        chosen = s;
      } else {
        d.cap[s] += 1;
        options &= ~(1 << s);
      }
    }
    if (chosen < 0) return false;  // cannot happen for a feasible start
    dealt[chosen] |= CardBit(card);
  }
  for (int i = 0; i < 3; ++i) WriteHand(out.hands[sinkSeat[i]], dealt[i]);
  RestoreRunningScores(out);
  return true;
}

}  // namespace zelbo
