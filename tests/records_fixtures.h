// Helpers for the records tests: the engine tests' recording host with
// snapshots and autosaves routed to the records code, a random but legal
// player that drives whole games, and a scratch folder per test.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "records/autosave.h"
#include "records/file_io.h"
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
  void AutosaveGame(const GameState& g) override {
    std::string error;
    if (autosave && !autosave->Save(g, error) && autosave->FailureIsNew())
      paneLines.push_back(error);
  }
};

// One random legal action: any allowed contract, the forced doubles plus
// now and then some of the allowed ones (so some negative contracts go
// undoubled and are scored without play), any playable card. Returns false
// when nobody is to act.
inline bool RandomStep(GameState& g, EngineHost& host, std::mt19937& rng) {
  std::vector<int> moves;
  if (g.phase == PhaseChoosing && g.turn == 0) {
    for (int c = 1; c <= LastContract; ++c)
      if (AllowedContracts(g) >> c & 1u) moves.push_back(c);
  } else if (g.phase == PhaseChoosing) {
    const DoublingOffer offer = OfferedDoubles(g);
    const int extra = rng() % 3 ? 0 : offer.allowed & static_cast<int>(rng() % 8);
    moves.push_back(DoublingByte(offer, offer.forced | extra));
  } else if (g.phase == PhaseFirstLead || g.phase == PhasePlaying) {
    for (int c : g.hands[g.turn])
      if (IsCard(c) && MayPlayCard(g, g.turn, c)) moves.push_back(c);
  }
  if (moves.empty()) return false;
  const int move = moves[rng() % moves.size()];
  if (g.phase == PhaseChoosing && !IsDecisionAllowed(g, move)) return false;
  g.phase == PhaseChoosing ? ApplyDecision(g, host, move) : PlayCard(g, host, g.turn, move);
  return true;
}

// A new game dealt from `seed`, then played at random (moves drawn from
// `seed` too) until `stop` holds or nobody is to act.
template <class Stop>
std::unique_ptr<GameState> PlayedGame(EngineHost& host, uint32_t seed, Stop stop) {
  auto g = std::make_unique<GameState>();
  ResetGameState(*g);
  g->randomSeed = seed;
  NewGame(*g, host, 0);
  for (std::mt19937 rng(seed); !stop(*g) && RandomStep(*g, host, rng);) {
  }
  return g;
}

}  // namespace zelbo::testing
