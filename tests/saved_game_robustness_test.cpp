// Every state of a whole game is saved and loaded back exactly (or an
// autosave or undo would fail in a real game). Mutated and truncated copies
// of such files are either accepted as a state that encodes back to the same
// bytes, or refused with a reason and without touching the game; under the
// sanitizers a bad read fails the test.
#include <gtest/gtest.h>

#include "records/hand_records.h"
#include "records/saved_game.h"
#include "tests/records_fixtures.h"

namespace zelbo {
namespace {

using namespace zelbo::testing;

TEST(SavedGameRobustnessTest, WholeGameRoundTripsAndSpoiltCopiesAreLoadedOrRefused) {
  std::vector<std::vector<uint8_t>> files;  // every tenth state and the end
  int states = 0;
  auto copy = std::make_unique<GameState>();
  RecordingHost host;
  auto game = PlayedGame(host, 2024, [&](const GameState& g) {
    std::string error;
    std::memcpy(copy->finalHandles, g.finalHandles, sizeof g.finalHandles);  // not in the file
    files.push_back(EncodeSavedGame(g));
    EXPECT_TRUE(DecodeSavedGame(files.back(), *copy, error)) << "deal " << g.dealNumber << ": " << error;
    EXPECT_TRUE(SameGame(*copy, g)) << "deal " << g.dealNumber;
    if (++states % 10 && g.phase != PhaseGameOver) files.pop_back();
    return ::testing::Test::HasFailure();
  });
  ASSERT_EQ(game->phase, PhaseGameOver);

  const auto before = std::make_unique<GameState>();
  std::mt19937 rng(5);
  int accepted = 0, refused = 0;
  for (int round = 0; round < 2500; ++round) {
    std::vector<uint8_t> bytes = files[rng() % files.size()];
    const std::size_t at = rng() % bytes.size();
    const uint32_t extremes[] = {0x80000000u, 0x7FFFFFFFu, 0xFFFFFFFFu, 256u, 255u};
    switch (rng() % 4) {
      case 0:  // random bytes
        for (std::size_t i = at, n = 1 + rng() % 4; i < bytes.size() && i < at + n; ++i) bytes[i] = rng() & 0xFF;
        break;
      case 1:  // cut short
        bytes.resize(at);
        break;
      case 2:  // a 32-bit field set to an extreme value
        for (std::size_t i = 0, v = extremes[rng() % 5]; i < 4 && at / 4 * 4 + i < bytes.size(); ++i)
          bytes[at / 4 * 4 + i] = static_cast<uint8_t>(v >> (8 * i));
        break;
      default:  // bytes added at the end
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
  EXPECT_GT(accepted, 50);  // changes in score fields still make valid files
  EXPECT_GT(refused, 1000);
}

}  // namespace
}  // namespace zelbo
