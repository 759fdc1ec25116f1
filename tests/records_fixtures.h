// Helpers for the records tests: a random but legal player that drives the
// engine through whole games, a host that routes snapshots and autosaves to
// the records code and logs broadcasts, and a scratch folder per test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "records/autosave.h"
#include "records/undo_ring.h"

namespace zelbo::testing {

// A fresh empty folder under the system's temporary folder, removed at the
// end of the test.
class ScratchFolder {
 public:
  ScratchFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::random_device device;
    path_ = std::filesystem::temp_directory_path() /
            ("zelbo_records_" + std::string(info ? info->name() : "x") + "_" +
             std::to_string(device()));
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& p, const std::vector<uint8_t>& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Logs the broadcasts; when given a ring or an autosave, the engine's
// snapshot and save requests go to them.
class RecordsHost : public EngineHost {
 public:
  UndoRing* ring = nullptr;
  Autosave* autosave = nullptr;
  std::vector<std::string> calls;
  std::vector<std::string> paneLines;
  std::string handles[4] = {"Ann", "Bob", "Cyd", "Dee"};

  void SendStatus(const GameState&) override { calls.push_back("Status"); }
  void SendHand(const GameState&, int seat) override { calls.push_back("Hand " + std::to_string(seat)); }
  void SendContract(const GameState&) override { calls.push_back("Contract"); }
  void SendTurn(const GameState&) override { calls.push_back("Turn"); }
  void SendDealDecision(const GameState&) override { calls.push_back("DealDecision"); }
  void SendDoubleFactors(const GameState&) override { calls.push_back("DoubleFactors"); }
  void SendTableCards(const GameState&) override { calls.push_back("TableCards"); }
  void SendTally(const GameState&) override { calls.push_back("Tally"); }
  void SendDoublesOwed(const GameState&) override { calls.push_back("DoublesOwed"); }
  void SendScoreClear() override { calls.push_back("ScoreClear"); }
  void SendScoreLine(int index, std::string_view) override {
    calls.push_back("ScoreLine " + std::to_string(index));
  }
  void TakeUndoSnapshot(const GameState& g) override {
    if (!ring) return;
    std::string error;
    if (!ring->TakeUndoSnapshot(g, error)) paneLines.push_back(error);
  }
  void SaveGame(const GameState& g) override {
    if (!autosave) return;
    std::string line;
    autosave->Save(g, line);
    if (!line.empty()) paneLines.push_back(line);
  }
  std::string SeatHandle(int seat) const override { return handles[seat & 3]; }
};

// A legal player that picks at random: any allowed contract, the forced
// doubles plus now and then a random choice of the allowed ones (so that
// some negative contracts go undoubled and are scored without play), any
// playable card.
// Returns false when nobody is to act.
inline bool RandomStep(GameState& g, EngineHost& host, std::mt19937& rng) {
  if (g.phase == PhaseChoosing) {
    int value = 0;
    if (g.turn == 0) {
      std::vector<int> codes;
      const uint32_t allowed = AllowedContracts(g);
      for (int c = 1; c <= LastContract; ++c)
        if (allowed >> c & 1u) codes.push_back(c);
      if (codes.empty()) return false;
      value = codes[rng() % codes.size()];
    } else {
      const DoublingOffer offer = OfferedDoubles(g);
      const int extra = rng() % 3 == 0 ? offer.allowed & static_cast<int>(rng() % 8) : 0;
      value = DoublingByte(offer, offer.forced | extra);
    }
    if (!IsDecisionAllowed(g, value)) return false;
    ApplyDecision(g, host, value);
    return true;
  }
  if (g.phase == PhaseFirstLead || g.phase == PhasePlaying) {
    std::vector<int> cards;
    for (int i = 0; i < 13; ++i) {
      const int c = g.hands[g.turn][i];
      if (IsCard(c) && MayPlayCard(g, g.turn, c)) cards.push_back(c);
    }
    if (cards.empty()) return false;
    PlayCard(g, host, g.turn, cards[rng() % cards.size()]);
    return true;
  }
  return false;
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
