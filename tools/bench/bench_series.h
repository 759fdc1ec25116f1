// A fixed workload for the bench: whole games from consecutive seeds with
// four simple players, and a signature of every deal's settled scores that
// changes whenever the rules' results change.
#pragma once

#include <cstdint>

#include "engine/game_state.h"

namespace zelbo {

struct SeriesResult {
  int games = 0;         // games played
  int unfinished = 0;    // games that did not reach the end (an engine fault)
  long long cards = 0;   // cards played in all games
  uint64_t signature = 0;
};

// 64-bit FNV-1a: start value, and the fold of one finished game's settled
// scores (deals 1..28, seats 0..3, each as 4 bytes little-endian).
constexpr uint64_t SignatureStart = 0xcbf29ce484222325ull;
uint64_t AddGameToSignature(uint64_t signature, const GameState& g);

// Plays `games` games from seeds firstSeed, firstSeed + 1, ... through the
// engine with a host that does no I/O.
SeriesResult PlaySimpleSeries(uint32_t firstSeed, int games);

}  // namespace zelbo
