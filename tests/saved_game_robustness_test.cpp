// Every state of a whole game survives the round trip (or an autosave or
// undo would fail). Spoilt copies are accepted as a state that encodes back
// to the same bytes, or refused untouched; the sanitizers catch bad reads.
#include <gtest/gtest.h>

#include "records/hand_records.h"
#include "records/saved_game.h"
#include "tests/records_fixtures.h"

namespace zelbo::testing {
namespace {

TEST(SavedGameRobustnessTest, WholeGameRoundTripsAndSpoiltCopiesAreLoadedOrRefused) {
  std::vector<std::vector<uint8_t>> files;  // every tenth state and the end
  auto copy = std::make_unique<GameState>();
  int states = 0;
  RecordingHost host;
  const auto game = PlayedGame(host, 2024, [&](const GameState& g) {
    std::string error;
    std::memcpy(copy->finalHandles, g.finalHandles, sizeof g.finalHandles);  // not in the file
    files.push_back(EncodeSavedGame(g));
    EXPECT_TRUE(DecodeSavedGame(files.back(), *copy, error) && *copy == g) << g.dealNumber << error;
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
    const uint32_t extremes[] = {0x80000000u, 0x7FFFFFFFu, 0xFFFFFFFFu, 256u, 255u}, v = extremes[rng() % 5];
    const uint32_t kind = rng() % 4;
    if (kind == 0) bytes[at] = static_cast<uint8_t>(rng());  // a byte changed
    if (kind == 1) bytes.resize(at);                          // cut short
    for (std::size_t i = at & ~std::size_t{3}, k = 0; kind == 2 && k < 4 && i < bytes.size(); ++i, ++k)
      bytes[i] = static_cast<uint8_t>(v >> (8 * k));  // a 32-bit field set to an extreme value
    if (kind == 3) bytes.insert(bytes.end(), 1 + rng() % 300, static_cast<uint8_t>(rng()));  // added bytes
    auto g = std::make_unique<GameState>(*before);
    std::string error;
    if (DecodeSavedGame(bytes, *g, error)) {
      ++accepted;
      EXPECT_EQ(EncodeSavedGame(*g), bytes);
      HandRecordsText(*g, HandRecordsContext{});  // an accepted state is safe to read
    } else {
      ++refused;
      EXPECT_TRUE(!error.empty() && *g == *before) << error;
    }
    if (HasFailure()) FAIL() << "round " << round;
  }
  EXPECT_GT(accepted, 50);  // changes in score fields still make valid files
  EXPECT_GT(refused, 1000);
}

}  // namespace
}  // namespace zelbo::testing
