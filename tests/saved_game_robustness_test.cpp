// Many mutated and truncated copies of valid files: every one is either
// accepted as a state that encodes back to the same bytes, or refused with
// a reason and without touching the game. Runs under the sanitizers, so an
// out-of-bounds read or an overflow fails the test.
#include <gtest/gtest.h>

#include <random>

#include "records/hand_records.h"
#include "records/saved_game.h"
#include "tests/records_fixtures.h"

namespace zelbo {
namespace {

using namespace zelbo::testing;

// Valid files from several points of a game: the start, mid-play of a trick
// contract and of Dominoes, and the end.
std::vector<std::vector<uint8_t>> SampleFiles() {
  std::vector<std::vector<uint8_t>> files;
  RecordsHost host;
  auto g = NewSeededGame(host, 99);
  std::mt19937 rng(5);
  files.push_back(EncodeSavedGame(*g));
  bool trick = false, domino = false;
  PlayUntil(*g, host, rng, [&](const GameState& s) {
    if (s.phase == PhasePlaying && s.playRound == 6) {
      if (!trick && !IsDominoes(s.contract)) files.push_back(EncodeSavedGame(s)), trick = true;
      if (!domino && IsDominoes(s.contract)) files.push_back(EncodeSavedGame(s)), domino = true;
    }
    return false;
  });
  files.push_back(EncodeSavedGame(*g));
  return files;
}

// Decodes `bytes` and checks the all-or-nothing promise. Returns true when
// the file was accepted.
bool CheckOne(const std::vector<uint8_t>& bytes, const GameState& before) {
  auto g = std::make_unique<GameState>(before);
  std::string error;
  if (!DecodeSavedGame(bytes, *g, error)) {
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(SameGame(*g, before));
    return false;
  }
  EXPECT_EQ(EncodeSavedGame(*g), bytes);
  // An accepted state is safe for the code that reads it next.
  HandRecordsText(*g, HandRecordsContext{});
  return true;
}

TEST(SavedGameRobustnessTest, MutatedAndTruncatedFilesAreLoadedOrRefused) {
  const auto files = SampleFiles();
  ASSERT_EQ(files.size(), 4u);
  const auto before = std::make_unique<GameState>();
  std::mt19937 rng(12345);
  int accepted = 0, refused = 0;
  for (int round = 0; round < 2500; ++round) {
    std::vector<uint8_t> bytes = files[rng() % files.size()];
    switch (rng() % 4) {
      case 0: {  // a few random bytes changed
        const int n = 1 + static_cast<int>(rng() % 4);
        for (int i = 0; i < n; ++i) bytes[rng() % bytes.size()] = static_cast<uint8_t>(rng());
        break;
      }
      case 1:  // cut short anywhere
        bytes.resize(rng() % bytes.size());
        break;
      case 2: {  // a 32-bit field set to an extreme value
        const std::size_t at = (rng() % (bytes.size() / 4)) * 4 + rng() % 4;
        const uint32_t values[] = {0x80000000u, 0x7FFFFFFFu, 0xFFFFFFFFu, 256u, 255u};
        const uint32_t v = values[rng() % 5];
        for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i)
          bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
        break;
      }
      default:  // bytes added at the end
        bytes.insert(bytes.end(), 1 + rng() % 300, static_cast<uint8_t>(rng()));
        break;
    }
    (CheckOne(bytes, *before) ? accepted : refused) += 1;
    if (::testing::Test::HasFailure()) FAIL() << "round " << round;
  }
  // Both outcomes occur: byte changes in score fields are still valid files.
  EXPECT_GT(accepted, 50);
  EXPECT_GT(refused, 1000);
}

}  // namespace
}  // namespace zelbo
