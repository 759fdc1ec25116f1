// The saved-game file: its byte layout and round trip, the phase rule of a
// load and the announcing after it, and the refusal of bad files and failed
// saves without harm to the running game or the old file.
#include "records/saved_game.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/records_fixtures.h"

namespace zelbo {
namespace {

using namespace zelbo::testing;
namespace sg = saved_game;

uint32_t U32At(const std::vector<uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// A game in the middle of the play of deal 3, with a few scores behind it.
std::unique_ptr<GameState> MidGame() {
  RecordsHost host;
  auto g = NewSeededGame(host, 7);
  std::mt19937 rng(7);
  PlayUntil(*g, host, rng, [](const GameState& s) {
    return s.dealNumber == 3 && s.phase == PhasePlaying && s.playRound == 4;
  });
  return g;
}

TEST(SavedGameTest, LayoutAndRoundTripThroughFiles) {
  ScratchFolder dir;
  auto g = MidGame();
  ASSERT_EQ(g->phase, PhasePlaying);
  g->dealScores[1][2] = -123456;  // a negative number shows the byte order
  g->randomSeed = 0xA1B2C3D4;
  std::string error;
  ASSERT_TRUE(SaveGame(dir / "a.zelbo", *g, error, {1, 0, 1, 1})) << error;
  std::vector<uint8_t> a = ReadBytes(dir / "a.zelbo");
  const std::pair<std::size_t, uint32_t> words[] = {
      {0, PhasePlaying}, {8, 3}, {24, 4}, {7899 + (1 * 4 + 2) * 4, static_cast<uint32_t>(-123456)},
      {8363 + 12, static_cast<uint32_t>(g->totalScores[3])}, {8411, 0xA1B2C3D4u}, {8415, g->gameSeed},
      {8419, 36}};
  for (auto [at, v] : words) EXPECT_EQ(U32At(a, at), v) << "offset " << at;
  EXPECT_EQ(a[8411], 0xD4);
  EXPECT_EQ((std::vector<uint8_t>(a.begin() + 35, a.begin() + 39)), (std::vector<uint8_t>{1, 0, 1, 1}));
  EXPECT_EQ(a[39 + (2 * 4 + 3) * 13 + 5], g->dealRecords[2][3][5]);  // deal 2, seat 3, slot 5
  EXPECT_EQ(a[1744 + (3 * 52 + 2) * 4 + 1], g->playRecords[3][2][1]);  // deal 3, round 2, seat 1
  EXPECT_EQ(a[7811 + 1 * 4 + 2], g->doubleFactor[1][2]);
  // The score sheet: per line its length, text and a zero byte.
  const std::string& first = g->scoreSheet.line(0);
  EXPECT_EQ(U32At(a, 8423), first.size());
  EXPECT_EQ(std::string(a.begin() + 8427, a.begin() + 8427 + static_cast<long>(first.size()) + 1), first + '\0');
  std::size_t size = sg::FixedSize;
  for (const std::string& line : g->scoreSheet.lines()) size += 4 + line.size() + 1;
  EXPECT_EQ(a.size(), size);

  // Loading suspends; saving again gives the same bytes but the phase, and
  // no temporary file is left behind.
  auto loaded = std::make_unique<GameState>();
  ASSERT_TRUE(LoadGame(dir / "a.zelbo", *loaded, error)) << error;
  EXPECT_EQ(loaded->phase, PhasePlayingSuspended);
  ASSERT_TRUE(SaveGame(dir / "b.zelbo", *loaded, error, {1, 0, 1, 1})) << error;
  loaded->phase = PhasePlaying;
  EXPECT_TRUE(SameGame(*loaded, *g));
  std::vector<uint8_t> b = ReadBytes(dir / "b.zelbo");
  EXPECT_EQ(U32At(b, 0), static_cast<uint32_t>(PhasePlayingSuspended));
  a[0] = b[0] = 0;
  EXPECT_EQ(a, b);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 2);
}

TEST(SavedGameTest, OnlyPlayingPhasesAreSuspendedAndOnlyThoseResumeAtAFullTable) {
  ScratchFolder dir;
  auto g = MidGame();
  const std::pair<int, int> cases[] = {
      {PhaseIdle, PhaseIdle}, {PhaseChoosing, PhaseChoosingSuspended}, {PhaseGameOver, PhaseGameOver},
      {PhaseFirstLead, PhaseFirstLeadSuspended}, {PhasePlayingSuspended, PhasePlayingSuspended}};
  for (auto [saved, loaded] : cases) {
    g->phase = saved;
    g->dealNumber = saved == PhaseIdle || saved == PhaseGameOver ? 0 : 3;
    std::string error;
    ASSERT_TRUE(SaveGame(dir / "p.zelbo", *g, error)) << error;
    auto out = std::make_unique<GameState>();
    ASSERT_TRUE(LoadGame(dir / "p.zelbo", *out, error)) << error;
    EXPECT_EQ(out->phase, loaded) << "saved in phase " << saved;
  }
  g->phase = PhasePlayingSuspended;
  RecordsHost full, waiting, over;
  EXPECT_TRUE(AnnounceLoadedGame(*g, full, true));
  EXPECT_EQ(full.calls, (std::vector<std::string>{"Status"}));
  // A seat is empty: the whole state goes out and the game waits.
  EXPECT_FALSE(AnnounceLoadedGame(*g, waiting, false));
  std::vector<std::string> expected = {"Status", "Hand 0", "Hand 1", "Hand 2", "Hand 3", "Contract",
                                       "DoubleFactors", "TableCards", "Tally", "DoublesOwed", "ScoreClear"};
  for (int i = 0; i < 36; ++i) expected.push_back("ScoreLine " + std::to_string(i));
  expected.insert(expected.end(), {"Turn", "DealDecision"});
  EXPECT_EQ(waiting.calls, expected);
  // A finished game at a full table stays over; no contract, no MsgContract.
  g->phase = PhaseGameOver;
  g->contract = 0;
  EXPECT_FALSE(AnnounceLoadedGame(*g, over, true));
  EXPECT_EQ(std::count(over.calls.begin(), over.calls.end(), "Contract"), 0);
}

// Each broken file is refused with a message naming it and the field, and
// the running game is left exactly as it was.
TEST(SavedGameTest, BadFilesAreRefusedAndLeaveTheGameAlone) {
  ScratchFolder dir;
  auto g = MidGame();
  std::strcpy(g->finalHandles[2], "Cyd");  // not in the file: a load keeps it
  const std::vector<uint8_t> good = EncodeSavedGame(*g);
  auto set32 = [](std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  const std::size_t line = sg::FixedSize;
  const std::tuple<const char*, std::function<void(std::vector<uint8_t>&)>> cases[] = {
      {"shorter", [](auto& b) { b.resize(8422); }},
      {"phase", [&](auto& b) { set32(b, 0, 8); }},
      {"dealer", [&](auto& b) { set32(b, 12, static_cast<uint32_t>(-1)); }},
      {"dealNumber", [&](auto& b) { set32(b, 8, 29); }},
      {"turn", [&](auto& b) { set32(b, 16, 4); }},
      {"dealRecords", [](auto& b) { b[39 + 60] = 53; }},
      {"doubleFactor", [](auto& b) { b[7811 + 1] = 3; }},
      {"symmetric", [](auto& b) { b[7811 + 1] = b[7811 + 4] == 4 ? 2 : 4; }},
      {"decision", [](auto& b) { b[1599 + 3 * 5 + 1] = 8; }},
      {"contract", [](auto& b) { b[1599 + 5] = 23; }},
      {"dealScores", [&](auto& b) { set32(b, 7899 + 4 * 5, 0x7FFFFFFF); }},
      {"line count", [&](auto& b) { set32(b, sg::LineCountOffset, 256); }},
      {"length", [&](auto& b) { set32(b, line, 300); }},
      {"zero byte", [&](auto& b) { b[line + 4 + U32At(b, line)] = 'x'; }},
      {"ends inside", [](auto& b) { b.resize(b.size() - 3); }},
      {"unexpected bytes", [](auto& b) { b.push_back(0); }}};
  auto running = std::make_unique<GameState>(*g);
  std::string error;
  for (const auto& [says, spoil] : cases) {
    std::vector<uint8_t> bytes = good;
    spoil(bytes);
    WriteBytes(dir / "bad.zelbo", bytes);
    EXPECT_FALSE(LoadGame(dir / "bad.zelbo", *running, error)) << says;
    EXPECT_NE(error.find((dir / "bad.zelbo").string()), std::string::npos) << error;
    EXPECT_NE(error.find(says), std::string::npos) << error;
  }
  EXPECT_FALSE(LoadGame(dir / "missing.zelbo", *running, error));
  EXPECT_NE(error.find("missing.zelbo"), std::string::npos);
  EXPECT_FALSE(LoadGame(dir.path, *running, error));
  EXPECT_FALSE(LoadGame("/dev/zero", *running, error));  // endless: refused, not read
  EXPECT_TRUE(SameGame(*running, *g));

  // An idle game's file has no score sheet; loading it empties the sheet.
  auto idle = std::make_unique<GameState>();
  ResetGameState(*idle);
  WriteBytes(dir / "idle.zelbo", EncodeSavedGame(*idle));
  ASSERT_TRUE(LoadGame(dir / "idle.zelbo", *running, error)) << error;
  EXPECT_TRUE(running->scoreSheet.empty());
  EXPECT_STREQ(running->finalHandles[2], "Cyd");
}

TEST(SavedGameTest, FailedSavesSayWhyAndKeepTheOldFile) {
  ScratchFolder dir;
  auto g = MidGame();
  std::string error;
  EXPECT_FALSE(SaveGame(dir / "no" / "folder.zelbo", *g, error));
  EXPECT_NE(error.find("folder.zelbo"), std::string::npos);
  // The target is a folder: the rename fails, the temporary file goes away.
  std::filesystem::create_directories(dir / "taken.zelbo" / "inside");
  EXPECT_FALSE(SaveGame(dir / "taken.zelbo", *g, error));
  EXPECT_NE(error.find("taken.zelbo"), std::string::npos);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 1);
  // A state the loader would refuse is not written over a good file.
  ASSERT_TRUE(SaveGame(dir / "keep.zelbo", *g, error)) << error;
  const std::vector<uint8_t> before = ReadBytes(dir / "keep.zelbo");
  g->dealer = 7;
  EXPECT_FALSE(SaveGame(dir / "keep.zelbo", *g, error));
  EXPECT_NE(error.find("dealer"), std::string::npos) << error;
  EXPECT_EQ(ReadBytes(dir / "keep.zelbo"), before);
}

}  // namespace
}  // namespace zelbo
