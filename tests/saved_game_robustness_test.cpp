// Every state whole games pass through is saved and loaded back exactly
// (or an autosave or undo would fail in a real game). Many mutated and
// truncated copies of such files are either accepted as a state that
// encodes back to the same bytes, or refused with a reason and without
// touching the game; under the sanitizers a bad read fails the test.
#include <gtest/gtest.h>

#include "records/hand_records.h"
#include "records/saved_game.h"
#include "tests/records_fixtures.h"

namespace zelbo {
namespace {

using namespace zelbo::testing;

TEST(SavedGameRobustnessTest, EveryStateOfWholeGamesRoundTrips) {
  for (uint32_t seed : {3u, 2024u}) {
    RecordsHost host;
    auto g = NewSeededGame(host, seed);
    std::mt19937 rng(seed * 31);
    auto copy = std::make_unique<GameState>();
    do {
      std::string error;
      std::memcpy(copy->finalHandles, g->finalHandles, sizeof g->finalHandles);  // not in the file
      ASSERT_TRUE(DecodeSavedGame(EncodeSavedGame(*g), *copy, error)) << "deal " << g->dealNumber << ": " << error;
      ASSERT_TRUE(SameGame(*copy, *g));
    } while (RandomStep(*g, host, rng));
    EXPECT_EQ(g->phase, PhaseGameOver) << "seed " << seed;
  }
}

TEST(SavedGameRobustnessTest, MutatedAndTruncatedFilesAreLoadedOrRefused) {
  // Valid files: the start, mid-play of a trick contract and of Dominoes, the end.
  std::vector<std::vector<uint8_t>> files;
  RecordsHost host;
  auto game = NewSeededGame(host, 99);
  std::mt19937 rng(5);
  files.push_back(EncodeSavedGame(*game));
  bool seen[2] = {false, false};
  PlayUntil(*game, host, rng, [&](const GameState& s) {
    if (s.phase == PhasePlaying && s.playRound == 6 && !seen[IsDominoes(s.contract)])
      files.push_back(EncodeSavedGame(s)), seen[IsDominoes(s.contract)] = true;
    return false;
  });
  files.push_back(EncodeSavedGame(*game));
  ASSERT_EQ(files.size(), 4u);

  const auto before = std::make_unique<GameState>();
  int accepted = 0, refused = 0;
  for (int round = 0; round < 2500; ++round) {
    std::vector<uint8_t> bytes = files[rng() % files.size()];
    const int kind = static_cast<int>(rng() % 4);
    if (kind == 0) {  // a few random bytes changed
      for (int i = 0, n = 1 + static_cast<int>(rng() % 4); i < n; ++i) bytes[rng() % bytes.size()] = static_cast<uint8_t>(rng());
    } else if (kind == 1) {  // cut short anywhere
      bytes.resize(rng() % bytes.size());
    } else if (kind == 2) {  // a 32-bit field set to an extreme value
      const std::size_t at = (rng() % (bytes.size() / 4)) * 4 + rng() % 4;
      const uint32_t values[] = {0x80000000u, 0x7FFFFFFFu, 0xFFFFFFFFu, 256u, 255u}, v = values[rng() % 5];
      for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
    } else {  // bytes added at the end
      bytes.insert(bytes.end(), 1 + rng() % 300, static_cast<uint8_t>(rng()));
    }
    auto g = std::make_unique<GameState>(*before);
    std::string error;
    if (DecodeSavedGame(bytes, *g, error)) {
      ++accepted;
      EXPECT_EQ(EncodeSavedGame(*g), bytes);
      HandRecordsText(*g, HandRecordsContext{});  // an accepted state is safe to read
    } else {
      ++refused;
      EXPECT_FALSE(error.empty());
      EXPECT_TRUE(SameGame(*g, *before));
    }
    if (HasFailure()) FAIL() << "round " << round;
  }
  // Both outcomes occur: byte changes in score fields are still valid files.
  EXPECT_GT(accepted, 50);
  EXPECT_GT(refused, 1000);
}

}  // namespace
}  // namespace zelbo
