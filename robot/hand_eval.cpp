#include "robot/hand_eval.h"

#include <algorithm>
#include <array>

#include "engine/random.h"

namespace zelbo {

namespace {

double Clamp01(double x) { return x < 0 ? 0 : x > 1 ? 1 : x; }

double SumRisk(const Holding& h, double weightOf(int card, const Holding&)) {
  double total = 0;
  for (int s = 0; s < 4; ++s) {
    for (int r = 0; r < 13; ++r) {
      if (h.suit[s] >> r & 1u) total += TrickRisk(h, s, r) * weightOf(s * 13 + r, h);
    }
  }
  return total;
}

double MisereEstimate(const Holding& h) {
  return -2.0 * SumRisk(h, [](int, const Holding&) { return 1.0; });
}

double NoQueensEstimate(const Holding& h) {
  return -6.0 * SumRisk(h, [](int c, const Holding&) {
           const int r = RankOf(c);
           return r == QueenRank ? 1.0 : r > QueenRank ? 0.35 : 0.12;
         });
}

double NoHeartsEstimate(const Holding& h) {
  return -2.0 * SumRisk(h, [](int c, const Holding&) {
           if (c == AceOfHearts) return 4.5;
           return SuitOf(c) == Hearts ? 2.0 : 0.6;
         });
}

double ZelboEstimate(const Holding& h) {
  double p = 0.04;
  if (h.Has(KingOfHearts)) {
    // Low hearts let the King wait under higher ones; a short heart suit
    // leaves it bare, though a void elsewhere lets it be thrown away.
    p += 0.15 + 0.7 * TrickRisk(h, Hearts, 11);
  }
  if (h.Has(AceOfHearts)) p += 0.35 * TrickRisk(h, Hearts, 12);
  if (h.Has(Hearts * 13 + QueenRank)) p += 0.1 * TrickRisk(h, Hearts, QueenRank);
  return -20.0 * p;
}

double NoLastTwoEstimate(const Holding& h) {
  // The last two tricks are played with the two cards kept longest; a
  // player who throws high cards early keeps his lowest ones.
  int lows[2] = {13, 13};
  for (int s = 0; s < 4; ++s) {
    for (int r = 0; r < 13; ++r) {
      if (!(h.suit[s] >> r & 1u)) continue;
      if (r < lows[0]) {
        lows[1] = lows[0];
        lows[0] = r;
      } else if (r < lows[1]) {
        lows[1] = r;
      }
    }
  }
  const double lowRisk = Clamp01((lows[0] - 1) / 9.0);
  const double nextRisk = Clamp01((lows[1] - 2) / 9.0);
  double highs = 0;
  for (int s = 0; s < 4; ++s) highs += std::max(0, h.Count(s) - 4) * 0.04;
  return -20.0 * Clamp01(lowRisk + highs) - 10.0 * Clamp01(nextRisk + highs);
}

double TrumpsEstimate(const Holding& h, int trump) {
  double tricks = 0;
  const int n = h.Count(trump);
  const double trumpHonour[13] = {0, 0, 0, 0, 0, 0, 0, 0, 0.1, 0.4, 0.65, 0.85, 1.0};
  for (int r = 0; r < 13; ++r) {
    if (h.suit[trump] >> r & 1u) tricks += trumpHonour[r] * (r >= 9 && r < 11 && n < 3 ? 0.5 : 1.0);
  }
  tricks += std::max(0, n - 3) * 0.9;
  for (int s = 0; s < 4; ++s) {
    if (s == trump) continue;
    const int len = h.Count(s);
    if (h.Has(s * 13 + 12)) tricks += len <= 5 ? 0.9 : 0.7;
    if (h.Has(s * 13 + 11)) tricks += len >= 2 && len <= 5 ? 0.55 : 0.25;
    if (len <= 1 && n >= 2) tricks += (2 - len) * 0.35;  // ruffs
  }
  return 5.0 * tricks;
}

double DominoesEstimate(const Holding& h, int start) {
  // Every card of others that must go down before one of mine can is a
  // delay; cards of the starting rank that I hold open rows myself.
  double delay = 0;
  for (int s = 0; s < 4; ++s) {
    int othersBetween = h.suit[s] >> start & 1u ? 0 : 1;
    for (int r = start + 1; r < 13; ++r) {
      if (h.suit[s] >> r & 1u) delay += othersBetween;
      else ++othersBetween;
    }
    othersBetween = h.suit[s] >> start & 1u ? 0 : 1;
    for (int r = start - 1; r >= 0; --r) {
      if (h.suit[s] >> r & 1u) delay += othersBetween;
      else ++othersBetween;
    }
  }
  return 40.0 - 0.9 * delay;
}

// Thirteen different cards drawn from `rng`.
Holding RandomHolding(Random& rng) {
  bool dealt[52] = {};
  uint8_t cards[13];
  for (int k = 0; k < 13;) {
    const int c = rng.Next() % 52;
    if (dealt[c]) continue;
    dealt[c] = true;
    cards[k++] = static_cast<uint8_t>(c);
  }
  return Holding::Of(cards);
}

std::array<double, LastContract + 1> ComputeCodeBaselines() {
  std::array<double, LastContract + 1> sums{};
  Random rng(12345);
  constexpr int samples = 3000;
  for (int i = 0; i < samples; ++i) {
    const Holding h = RandomHolding(rng);
    for (int code = 1; code <= LastContract; ++code) sums[code] += EstimateHand(h, code);
  }
  for (double& s : sums) s /= samples;
  return sums;
}

std::array<double, KindCount> ComputeKindBaselines() {
  std::array<double, KindCount> sums{};
  Random rng(54321);
  constexpr int samples = 3000;
  for (int i = 0; i < samples; ++i) {
    const Holding h = RandomHolding(rng);
    for (int kind = 0; kind < KindCount; ++kind) {
      double e = 0;
      BestCodeOfKind(h, kind, &e);
      sums[kind] += e;
    }
  }
  for (double& s : sums) s /= samples;
  return sums;
}

}  // namespace

double TrickRisk(const Holding& h, int s, int r) {
  // Own lower cards of the suit can be played first, so each one makes the
  // card safer; outside cards above it can still beat it.
  const int ownLower = h.Below(s, r);
  const int outsideHigher = (12 - r) - h.Above(s, r);
  double risk = (r - 2.0 * ownLower - 3.0) / 7.0;
  if (outsideHigher == 0) risk += 0.25;
  // A short suit runs out early, and the card can then be thrown away.
  if (h.Count(s) == 1) risk -= 0.15;
  return Clamp01(risk);
}

double EstimateHand(const Holding& h, int code) {
  switch (code) {
    case Misere: return MisereEstimate(h);
    case NoQueens: return NoQueensEstimate(h);
    case NoLastTwo: return NoLastTwoEstimate(h);
    case NoHearts: return NoHeartsEstimate(h);
    case Zelbo: return ZelboEstimate(h);
    default: break;
  }
  if (IsTrumps(code)) return TrumpsEstimate(h, code - FirstTrumps);
  if (IsDominoes(code)) return DominoesEstimate(h, code - FirstDominoes);
  return 0;
}

int BestCodeOfKind(const Holding& h, int kind, double* estimate) {
  int first = 0, last = 0;
  if (kind == KindTrumps) {
    first = FirstTrumps;
    last = FirstDominoes - 1;
  } else if (kind == KindDominoes) {
    first = FirstDominoes;
    last = LastContract;
  } else {
    first = last = kind - 1;  // the negative codes 1..5 follow the kinds 2..6
  }
  int best = first;
  double bestValue = EstimateHand(h, first);
  for (int code = first + 1; code <= last; ++code) {
    const double v = EstimateHand(h, code);
    if (v > bestValue) {
      bestValue = v;
      best = code;
    }
  }
  if (estimate) *estimate = bestValue;
  return best;
}

double KindBaseline(int kind) {
  static const std::array<double, KindCount> baselines = ComputeKindBaselines();
  return kind >= 0 && kind < KindCount ? baselines[kind] : 0;
}

double CodeBaseline(int code) {
  static const std::array<double, LastContract + 1> baselines = ComputeCodeBaselines();
  return IsContract(code) ? baselines[code] : 0;
}

}  // namespace zelbo
