#include "tools/bench/bench_series.h"

#include <memory>

#include "engine/engine.h"
#include "engine/simple_policy.h"

namespace zelbo {

namespace {

// Does nothing but name the seats.
class QuietHost : public EngineHost {
 public:
  std::string SeatHandle(int seat) const override { return SeatName(seat); }
};

}  // namespace

uint64_t AddGameToSignature(uint64_t signature, const GameState& g) {
  for (int deal = 1; deal <= DealCount; ++deal) {
    for (int seat = 0; seat < 4; ++seat) {
      const uint32_t v = static_cast<uint32_t>(g.dealScores[deal][seat]);
      for (int b = 0; b < 4; ++b) {
        signature ^= (v >> (8 * b)) & 0xFF;
        signature *= 0x100000001b3ull;
      }
    }
  }
  return signature;
}

SeriesResult PlaySimpleSeries(uint32_t firstSeed, int games) {
  SeriesResult r;
  r.signature = SignatureStart;
  QuietHost host;
  auto g = std::make_unique<GameState>();
  for (int i = 0; i < games; ++i) {
    ResetGameState(*g);
    g->randomSeed = firstSeed + static_cast<uint32_t>(i);
    NewGame(*g, host, 0);
    for (;;) {
      const bool card = g->phase == PhaseFirstLead || g->phase == PhasePlaying;
      if (!SimpleStep(*g, host)) break;
      r.cards += card;
    }
    if (g->phase != PhaseGameOver) r.unfinished += 1;
    r.signature = AddGameToSignature(r.signature, *g);
    r.games += 1;
  }
  return r;
}

}  // namespace zelbo
