#include "robot/card_choice.h"

#include "engine/engine.h"
#include "engine/trick.h"
#include "robot/hand_eval.h"
#include "robot/holding.h"

namespace zelbo {

namespace {

// Cards visible on the table (this trick and the last), which are known
// to be out of play when judging whether a card of ours is the top one.
Holding VisibleCards(const GameState& v) {
  Holding seen;
  for (int i = 0; i < 8; ++i) seen.Add(v.tableCards[i]);
  return seen;
}

// True when no card above `card` of its suit can still be played by
// another seat, as far as this seat can tell.
bool IsTop(const Holding& mine, const Holding& gone, int card) {
  const int s = SuitOf(card);
  for (int r = RankOf(card) + 1; r < 13; ++r) {
    const int c = s * 13 + r;
    if (!mine.Has(c) && !gone.Has(c)) return false;
  }
  return true;
}

// How badly the robot wants to be rid of a card when it may throw anything.
double Danger(int contract, const Holding& h, int card) {
  const int s = SuitOf(card), r = RankOf(card);
  double d = 10.0 * TrickRisk(h, s, r) + 0.5 * r;
  if (h.Count(s) <= 2) d += 1.0;  // closer to a void
  switch (contract) {
    case NoQueens:
      if (r == QueenRank) d += 100;
      else if (r > QueenRank && !h.Has(s * 13 + QueenRank)) d += 20;
      break;
    case NoHearts:
      if (card == AceOfHearts) d += 100;
      else if (s == Hearts) d += 30 + r;
      break;
    case Zelbo:
      if (card == KingOfHearts) d += 100;
      else if (card == AceOfHearts) d += 90;
      else if (s == Hearts && r >= 9) d += 20 + r;
      break;
    default: break;
  }
  return d;
}

// The cards the robot picks from: the legal ones, or a part of them.
using Options = CardList;

int HighestOf(const Options& o) {
  const uint8_t* cards = o.cards;
  int best = NoCard;
  for (int i = 0; i < o.count; ++i) {
    if (best == NoCard || RankOf(cards[i]) > RankOf(best) ||
        (RankOf(cards[i]) == RankOf(best) && cards[i] > best)) {
      best = cards[i];
    }
  }
  return best;
}

int LowestOf(const Options& o) {
  const uint8_t* cards = o.cards;
  int best = NoCard;
  for (int i = 0; i < o.count; ++i) {
    if (best == NoCard || RankOf(cards[i]) < RankOf(best) ||
        (RankOf(cards[i]) == RankOf(best) && cards[i] < best)) {
      best = cards[i];
    }
  }
  return best;
}

int MaxDanger(int contract, const Holding& h, const Options& o) {
  int best = NoCard;
  double bestDanger = -1;
  for (int i = 0; i < o.count; ++i) {
    const double d = Danger(contract, h, o.cards[i]);
    if (d > bestDanger) {
      bestDanger = d;
      best = o.cards[i];
    }
  }
  return best;
}

// Negative contracts: take as few tricks and penalty cards as possible.
int PlayNegative(const GameState& v, const Holding& h, const Options& legal, const Trick& t) {
  const int contract = v.contract;
  // Before the last two tricks of No Last Two, tricks cost nothing: throw
  // the highest cards so the last ones are low.
  const bool freeTricks = contract == NoLastTwo && v.playRound < 10;
  if (freeTricks) return MaxDanger(contract, h, legal);

  if (t.count == 0) {
    // Lead the card that the fewest outside cards can duck under.
    int best = NoCard;
    double bestScore = 1e9;
    for (int i = 0; i < legal.count; ++i) {
      const int c = legal.cards[i];
      const int s = SuitOf(c), r = RankOf(c);
      const int outsideLower = r - h.Below(s, r);
      const double score = outsideLower * 10.0 + r + CardPenalty(contract, c) * 10.0 +
                           (contract == Zelbo && c == AceOfHearts ? 200 : 0) + h.Count(s) * 0.1;
      if (score < bestScore) {
        bestScore = score;
        best = c;
      }
    }
    return best;
  }

  const int led = t.LedSuit();
  const bool following = led >= 0 && SuitOf(legal.cards[0]) == led && h.Count(led) > 0;
  if (!following) return MaxDanger(contract, h, legal);

  const int winCard = WinningCard(t, TrumpSuit(contract));
  int trickPenalty = contract == Misere || contract == NoLastTwo ? 1 : 0;
  for (int i = 0; i < t.count; ++i) trickPenalty += CardPenalty(contract, t.cards[i]);

  Options ducks;
  for (int i = 0; i < legal.count; ++i) {
    if (RankOf(legal.cards[i]) < RankOf(winCard)) ducks.Add(legal.cards[i]);
  }
  const bool last = t.count == 3;
  if (last && trickPenalty == 0) {
    // Taking a clean trick costs nothing: get rid of a high card, but not
    // one that would itself be a penalty.
    Options clean;
    for (int i = 0; i < legal.count; ++i) {
      if (CardPenalty(contract, legal.cards[i]) == 0) clean.Add(legal.cards[i]);
    }
    if (clean.count > 0) return HighestOf(clean);
  }
  if (ducks.count > 0) return HighestOf(ducks);
  if (!last) {
    // Players still to come may go over us: give them the chance with our
    // lowest card that carries no penalty.
    int low = NoCard;
    for (int i = 0; i < legal.count; ++i) {
      const int c = legal.cards[i];
      if (CardPenalty(contract, c) == 0 && (low == NoCard || RankOf(c) < RankOf(low))) low = c;
    }
    if (low != NoCard) return low;
  }
  // The trick is ours: win it with the highest card that carries no
  // penalty of its own.
  int best = NoCard;
  for (int i = 0; i < legal.count; ++i) {
    const int c = legal.cards[i];
    if (best == NoCard || CardPenalty(contract, c) < CardPenalty(contract, best) ||
        (CardPenalty(contract, c) == CardPenalty(contract, best) && RankOf(c) > RankOf(best))) {
      best = c;
    }
  }
  return best;
}

// Trumps: win tricks, each with the cheapest card that does it.
int PlayTrumps(const GameState& v, const Holding& h, const Options& legal, const Trick& t) {
  const int trump = TrumpSuit(v.contract);
  const Holding gone = VisibleCards(v);
  if (t.count == 0) {
    const int trumps = h.Count(trump);
    if (trumps >= 3 && IsTop(h, gone, trump * 13 + h.Highest(trump))) {
      return trump * 13 + h.Highest(trump);
    }
    // A side card that no one can beat except by ruffing.
    int best = NoCard;
    for (int s = 0; s < 4; ++s) {
      if (s == trump || h.Count(s) == 0) continue;
      const int c = s * 13 + h.Highest(s);
      if (IsTop(h, gone, c) && (best == NoCard || h.Count(s) < h.Count(SuitOf(best)))) best = c;
    }
    if (best != NoCard) return best;
    // Lead from a short side suit to ruff it later, else low from the
    // longest side suit; with trumps only, lead the highest.
    int shortSuit = -1, longSuit = -1;
    for (int s = 0; s < 4; ++s) {
      if (s == trump || h.Count(s) == 0) continue;
      if (shortSuit < 0 || h.Count(s) < h.Count(shortSuit)) shortSuit = s;
      if (longSuit < 0 || h.Count(s) > h.Count(longSuit)) longSuit = s;
    }
    if (shortSuit >= 0 && trumps > 0 && h.Count(shortSuit) == 1 && h.Highest(shortSuit) < 10) {
      return shortSuit * 13 + h.Highest(shortSuit);
    }
    if (longSuit >= 0) return longSuit * 13 + h.Lowest(longSuit);
    return trump * 13 + h.Highest(trump);
  }

  const int winCard = WinningCard(t, trump);
  Options winners;
  for (int i = 0; i < legal.count; ++i) {
    if (Beats(legal.cards[i], winCard, trump)) winners.Add(legal.cards[i]);
  }
  const bool last = t.count == 3;
  if (winners.count > 0) {
    const int lowestWinner = LowestOf(winners);
    if (last) return lowestWinner;
    // Ruffing, or a card no one after us can beat in the suit: win
    // cheaply; otherwise keep the high cards for later.
    const bool ruff = SuitOf(lowestWinner) == trump && t.LedSuit() != trump;
    if (ruff) return lowestWinner;
    // Lowest card of our unbeatable top run, if it beats the trick.
    for (int i = 0; i < winners.count; ++i) {
      const int c = winners.cards[i];
      if (!IsTop(h, gone, c)) continue;
      int low = c;
      while (RankOf(low) > 0 && h.Has(low - 1) && Beats(low - 1, winCard, trump)) --low;
      return low;
    }
    if (t.LedSuit() == trump) return lowestWinner;  // forced to climb anyway
    if (t.count == 2) return HighestOf(winners);  // one seat left
  }
  // Give the cheapest card: no trump if possible, lowest rank, from a short
  // side suit so that a void comes sooner.
  int best = NoCard;
  double bestValue = 1e9;
  for (int i = 0; i < legal.count; ++i) {
    const int c = legal.cards[i];
    const int s = SuitOf(c);
    const double value = RankOf(c) + (s == trump ? 30 : 0) + (IsTop(h, gone, c) ? 15 : 0) + h.Count(s) * 0.3;
    if (value < bestValue) {
      bestValue = value;
      best = c;
    }
  }
  return best;
}

// Dominoes: lay cards that open the way to our own, hold back those that
// only let others lay theirs.
int PlayDominoes(const GameState& v, const Holding& h, const Options& legal) {
  int best = NoCard;
  double bestScore = -1e9;
  for (int i = 0; i < legal.count; ++i) {
    const int c = legal.cards[i];
    const int s = SuitOf(c), r = RankOf(c);
    double score = 0;
    for (int dir = -1; dir <= 1; dir += 2) {
      const bool opens = (dir > 0 && c == v.domUp[s]) || (dir < 0 && c == v.domDown[s]);
      if (!opens) continue;
      int mineBeyond = 0, othersBeforeMine = 0, othersAll = 0;
      bool seenMine = false;
      for (int k = r + dir; k >= 0 && k < 13; k += dir) {
        if (h.suit[s] >> k & 1u) {
          ++mineBeyond;
          seenMine = true;
        } else {
          ++othersAll;
          if (!seenMine) ++othersBeforeMine;
        }
      }
      const int next = r + dir;
      if (next < 0 || next > 12) continue;  // closes the row: harmless
      if (mineBeyond > 0) {
        score += 6.0 * mineBeyond + (h.suit[s] >> next & 1u ? 4.0 : 0.0) - 0.5 * othersBeforeMine;
      } else {
        score -= 4.0 + 0.3 * othersAll;  // every card beyond is somebody else's
      }
    }
    if (score > bestScore || (score == bestScore && c < best)) {
      bestScore = score;
      best = c;
    }
  }
  return best;
}

}  // namespace

int ChooseCardFromView(const GameState& v, int seat) {
  const Options legal = LegalCards(v, seat);
  if (legal.count == 0) return NoCard;
  if (legal.count == 1) return legal.cards[0];
  const Holding h = Holding::Of(v.hands[seat]);
  int card = NoCard;
  if (IsDominoes(v.contract)) {
    card = PlayDominoes(v, h, legal);
  } else {
    const Trick t = CurrentTrick(v);
    card = IsTrumps(v.contract) ? PlayTrumps(v, h, legal, t) : PlayNegative(v, h, legal, t);
  }
  // Whatever the strategy says, only an allowed card leaves the robot.
  return legal.Has(card) ? card : legal.cards[0];
}

}  // namespace zelbo
