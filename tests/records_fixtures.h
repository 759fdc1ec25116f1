// Helpers for the records tests: the engine tests' recording host with
// snapshots and autosaves routed to the records code, a random but legal
// player that drives whole games, and a scratch folder per test.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "records/autosave.h"
#include "records/undo_ring.h"
#include "tests/engine_fixtures.h"

namespace zelbo::testing {

// A fresh empty folder under the temporary folder, removed at the end.
struct ScratchFolder {
  std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("zelbo_records_" + std::to_string(std::random_device{}()));
  ScratchFolder() { std::filesystem::create_directories(path); }
  ~ScratchFolder() { std::error_code ec; std::filesystem::remove_all(path, ec); }
  std::filesystem::path operator/(const std::string& name) const { return path / name; }
};

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& p, const std::vector<uint8_t>& bytes) {
  std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                           static_cast<std::streamsize>(bytes.size()));
}

// Records the broadcasts; snapshots and saves go to the ring and the
// autosave when given, and their failure lines to paneLines.
struct RecordsHost : RecordingHost {
  UndoRing* ring = nullptr;
  Autosave* autosave = nullptr;
  std::vector<std::string> paneLines;
  void TakeUndoSnapshot(const GameState& g) override {
    std::string error;
    if (ring && !ring->TakeUndoSnapshot(g, error)) paneLines.push_back(error);
  }
  void SaveGame(const GameState& g) override {
    std::string line;
    if (autosave) autosave->Save(g, line);
    if (!line.empty()) paneLines.push_back(line);
  }
};

// One random legal action: any allowed contract, the forced doubles plus
// now and then some of the allowed ones (so some negative contracts go
// undoubled and are scored without play), any playable card. Returns false
// when nobody is to act.
inline bool RandomStep(GameState& g, EngineHost& host, std::mt19937& rng) {
  if (g.phase == PhaseChoosing) {
    int value = 0;
    if (g.turn == 0) {
      std::vector<int> codes;
      for (int c = 1; c <= LastContract; ++c)
        if (AllowedContracts(g) >> c & 1u) codes.push_back(c);
      if (codes.empty()) return false;
      value = codes[rng() % codes.size()];
    } else {
      const DoublingOffer offer = OfferedDoubles(g);
      value = DoublingByte(offer, offer.forced | (rng() % 3 == 0 ? offer.allowed & static_cast<int>(rng() % 8) : 0));
    }
    if (!IsDecisionAllowed(g, value)) return false;
    ApplyDecision(g, host, value);
    return true;
  }
  if (g.phase != PhaseFirstLead && g.phase != PhasePlaying) return false;
  std::vector<int> cards;
  for (int c : g.hands[g.turn])
    if (IsCard(c) && MayPlayCard(g, g.turn, c)) cards.push_back(c);
  if (cards.empty()) return false;
  PlayCard(g, host, g.turn, cards[rng() % cards.size()]);
  return true;
}

// A new game dealt from `seed` (phase 1, deal 1).
inline std::unique_ptr<GameState> NewSeededGame(EngineHost& host, uint32_t seed) {
  auto g = std::make_unique<GameState>();
  ResetGameState(*g);
  g->randomSeed = seed;
  NewGame(*g, host, 0);
  return g;
}

// Plays until `stop` holds or nobody is to act; at most a whole game.
template <class Stop>
inline void PlayUntil(GameState& g, EngineHost& host, std::mt19937& rng, Stop stop) {
  for (int steps = 0; steps < 28 * 60 && !stop(g) && RandomStep(g, host, rng); ++steps) {
  }
}

}  // namespace zelbo::testing
