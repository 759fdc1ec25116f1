// The saved-game file: layout and round trip, the phase rule and announcing
// of a load, and bad files and failed saves that harm nothing.
#include "records/saved_game.h"

#include <gtest/gtest.h>

#include "tests/records_fixtures.h"

namespace zelbo::testing {
namespace {

uint32_t U32At(const std::vector<uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

struct SavedGameTest : ::testing::Test {
  ScratchFolder dir;
  RecordingHost host;
  // A game in the middle of the play of deal 3, with a few scores behind it.
  std::unique_ptr<GameState> g = PlayedGame(host, 7, [](const GameState& s) {
    return s.dealNumber == 3 && s.phase == PhasePlaying && s.playRound == 4;
  });
  std::string error;
};

TEST_F(SavedGameTest, LayoutAndRoundTripThroughFiles) {
  ASSERT_EQ(g->phase, PhasePlaying);
  g->dealScores[1][2] = -123456;  // a negative number shows the byte order
  ASSERT_TRUE(SaveGame(dir / "a", *g, error, {1, 0, 1, 1})) << error;
  std::vector<uint8_t> a = ReadBytes(dir / "a");
  const std::pair<std::size_t, uint32_t> words[] = {
      {0, PhasePlaying}, {8, 3}, {24, 4}, {7899 + (1 * 4 + 2) * 4, static_cast<uint32_t>(-123456)},
      {8411, g->randomSeed}, {8415, g->gameSeed}, {8419, 36}, {8423, g->scoreSheet.line(0).size()}};
  for (auto [at, v] : words) EXPECT_EQ(U32At(a, at), v) << "offset " << at;
  EXPECT_EQ(a[35] + 2 * a[36] + 4 * a[37] + 8 * a[38], 1 + 4 + 8);
  EXPECT_EQ(a[39 + (2 * 4 + 3) * 13 + 5], g->dealRecords[2][3][5]);    // deal 2, seat 3, slot 5
  EXPECT_EQ(a[1744 + (3 * 52 + 2) * 4 + 1], g->playRecords[3][2][1]);  // deal 3, round 2, seat 1
  std::size_t size = saved_game::FixedSize;
  for (const std::string& line : g->scoreSheet.lines()) size += 4 + line.size() + 1;  // length, text, 0
  EXPECT_EQ(a.size(), size);
  EXPECT_EQ(std::string(a.begin() + 8427, a.begin() + 8428 + static_cast<long>(U32At(a, 8423))),
            g->scoreSheet.line(0) + '\0');

  // Loading suspends; saving again gives the same bytes but the phase, and
  // no temporary file is left behind.
  auto loaded = std::make_unique<GameState>();
  ASSERT_TRUE(LoadGame(dir / "a", *loaded, error)) << error;
  ASSERT_TRUE(SaveGame(dir / "b", *loaded, error, {1, 0, 1, 1})) << error;
  std::vector<uint8_t> b = ReadBytes(dir / "b");
  EXPECT_EQ(U32At(b, 0), static_cast<uint32_t>(PhasePlayingSuspended));
  a[0] = b[0] = 0;
  EXPECT_EQ(a, b);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 2);
}

TEST_F(SavedGameTest, OnlyPlayingPhasesComeBackSuspended) {
  const std::pair<Phase, Phase> cases[] = {
      {PhaseIdle, PhaseIdle}, {PhaseChoosing, PhaseChoosingSuspended}, {PhaseGameOver, PhaseGameOver},
      {PhaseFirstLead, PhaseFirstLeadSuspended}, {PhasePlayingSuspended, PhasePlayingSuspended}};
  for (auto [saved, loaded] : cases) {
    g->phase = saved;
    g->dealNumber = saved == PhaseIdle || saved == PhaseGameOver ? 0 : 3;
    auto out = std::make_unique<GameState>();
    ASSERT_TRUE(SaveGame(dir / "p", *g, error) && LoadGame(dir / "p", *out, error)) << error;
    EXPECT_EQ(out->phase, loaded) << "saved in phase " << saved;
  }
}

// A broken file is refused with a message naming it and the field, and the
// running game is left exactly as it was (cut and lengthened files are the
// robustness test's); a failed save says why and keeps the old file.
TEST_F(SavedGameTest, BadFilesAndFailedSavesHarmNothing) {
  const std::vector<uint8_t> good = EncodeSavedGame(*g);
  const std::size_t line = saved_game::FixedSize;
  const std::tuple<const char*, std::size_t, uint8_t> spoilt[] = {
      {"phase", 0, 8}, {"dealer", 15, 0xFF}, {"dealNumber", 8, 29}, {"turn", 16, 4},
      {"dealRecords", 39 + 60, 53}, {"doubleFactor", 7811 + 1, 3}, {"decision", 1599 + 3 * 5 + 1, 8},
      {"contract", 1599 + 5, 23}, {"dealScores", 7899 + 4 * 5 + 3, 0x7F}, {"line count", line - 3, 1},
      {"length", line + 1, 1}, {"zero byte", line + 4 + good[line], 'x'}};
  auto running = std::make_unique<GameState>(*g);
  for (auto [says, at, value] : spoilt) {
    std::vector<uint8_t> bytes = good;
    bytes[at] = value;
    ASSERT_TRUE(WriteFileAtomically(dir / "bad", bytes, error)) << error;
    EXPECT_FALSE(LoadGame(dir / "bad", *running, error)) << says;
    EXPECT_NE(error.find((dir / "bad").string()), std::string::npos) << error;
    EXPECT_NE(error.find(says), std::string::npos) << error;
  }
  EXPECT_FALSE(LoadGame(dir / "missing", *running, error));
  EXPECT_NE(error.find("missing"), std::string::npos);
  EXPECT_FALSE(LoadGame(dir.path, *running, error));
  EXPECT_FALSE(LoadGame("/dev/zero", *running, error));  // endless: refused, not read
  EXPECT_TRUE(*running == *g);
  // The target is a folder: the rename fails, the temporary file goes away.
  std::filesystem::create_directories(dir / "taken" / "inside");
  EXPECT_FALSE(SaveGame(dir / "taken", *g, error));
  EXPECT_NE(error.find("taken"), std::string::npos);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 2);  // "bad" and "taken"
  // A state the loader would refuse is not written over a good file.
  ASSERT_TRUE(SaveGame(dir / "keep", *g, error)) << error;
  const std::vector<uint8_t> before = ReadBytes(dir / "keep");
  g->dealer = 7;
  EXPECT_FALSE(SaveGame(dir / "keep", *g, error));
  EXPECT_NE(error.find("dealer"), std::string::npos) << error;
  EXPECT_EQ(ReadBytes(dir / "keep"), before);
}

}  // namespace
}  // namespace zelbo::testing
