// The saved-game file: its byte layout, the round trip through a file, the
// checks that refuse a bad file without touching the running game, the
// phase rule of a load and the announcing that follows it.
#include "records/saved_game.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "records/file_io.h"
#include "tests/records_fixtures.h"

namespace zelbo {
namespace {

using namespace zelbo::testing;
namespace sg = saved_game;

uint32_t U32At(const std::vector<uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// A game in the middle of the play of deal 3, with a few scores behind it.
std::unique_ptr<GameState> MidGame(uint32_t seed = 7) {
  RecordsHost host;
  auto g = NewSeededGame(host, seed);
  std::mt19937 rng(seed);
  PlayUntil(*g, host, rng, [](const GameState& s) {
    return s.dealNumber == 3 && s.phase == PhasePlaying && s.playRound == 4;
  });
  return g;
}

TEST(SavedGameTest, FieldsLieAtTheirOffsetsLittleEndian) {
  auto g = MidGame();
  ASSERT_EQ(g->phase, PhasePlaying);
  g->dealScores[1][2] = -1234567;  // a negative number shows the byte order
  g->randomSeed = 0xA1B2C3D4;
  const std::vector<uint8_t> b = EncodeSavedGame(*g, {1, 0, 1, 1});

  EXPECT_EQ(U32At(b, 0), static_cast<uint32_t>(PhasePlaying));
  EXPECT_EQ(U32At(b, 4), static_cast<uint32_t>(g->contract));
  EXPECT_EQ(U32At(b, 8), 3u);
  EXPECT_EQ(U32At(b, 12), static_cast<uint32_t>(g->dealer));
  EXPECT_EQ(U32At(b, 16), static_cast<uint32_t>(g->turn));
  EXPECT_EQ(U32At(b, 24), 4u);
  EXPECT_EQ(b[34], g->trickDone);
  EXPECT_EQ((std::vector<uint8_t>(b.begin() + 35, b.begin() + 39)), (std::vector<uint8_t>{1, 0, 1, 1}));
  // deal 2, seat 3, slot 5: row by row from offset 39
  EXPECT_EQ(b[39 + (2 * 4 + 3) * 13 + 5], g->dealRecords[2][3][5]);
  EXPECT_EQ(b[1547 + 1 * 13 + 0], g->hands[1][0]);
  EXPECT_EQ(b[1599 + 3 * 5 + 0], g->dealDecisions[3][0]);
  // deal 3, round 2, seat 1
  EXPECT_EQ(b[1744 + (3 * 52 + 2) * 4 + 1], g->playRecords[3][2][1]);
  EXPECT_EQ(b[7811 + 1 * 4 + 2], g->doubleFactor[1][2]);
  EXPECT_EQ(b[7843 + 5], g->tableCards[5]);
  EXPECT_EQ(U32At(b, 7867 + 4), static_cast<uint32_t>(g->domUp[1]));
  EXPECT_EQ(U32At(b, 7899 + (1 * 4 + 2) * 4), static_cast<uint32_t>(-1234567));
  EXPECT_EQ(U32At(b, 8363 + 12), static_cast<uint32_t>(g->totalScores[3]));
  EXPECT_EQ(U32At(b, 8411), 0xA1B2C3D4u);
  EXPECT_EQ(b[8411], 0xD4);
  EXPECT_EQ(U32At(b, 8415), g->gameSeed);

  // The score sheet: count, then per line its length, text and a zero byte.
  ASSERT_EQ(g->scoreSheet.size(), 36u);
  EXPECT_EQ(U32At(b, 8419), 36u);
  const std::string& first = g->scoreSheet.line(0);
  EXPECT_EQ(U32At(b, 8423), first.size());
  EXPECT_EQ(std::string(b.begin() + 8427, b.begin() + 8427 + static_cast<long>(first.size())), first);
  EXPECT_EQ(b[8427 + first.size()], 0);
  std::size_t expected = sg::FixedSize;
  for (const std::string& line : g->scoreSheet.lines()) expected += 4 + line.size() + 1;
  EXPECT_EQ(b.size(), expected);
}

TEST(SavedGameTest, LoadSuspendsAndSavingAgainGivesTheSameBytesButThePhase) {
  ScratchFolder dir;
  auto g = MidGame();
  std::string error;
  ASSERT_TRUE(SaveGame(dir / "a.zelbo", *g, error)) << error;

  auto loaded = std::make_unique<GameState>();
  ASSERT_TRUE(LoadGame(dir / "a.zelbo", *loaded, error)) << error;
  EXPECT_EQ(loaded->phase, PhasePlayingSuspended);
  loaded->phase = PhasePlaying;
  EXPECT_TRUE(SameGame(*loaded, *g));

  loaded->phase = PhasePlayingSuspended;
  ASSERT_TRUE(SaveGame(dir / "b.zelbo", *loaded, error)) << error;
  std::vector<uint8_t> a = ReadBytes(dir / "a.zelbo"), b = ReadBytes(dir / "b.zelbo");
  ASSERT_EQ(a.size(), b.size());
  EXPECT_EQ(U32At(b, 0), static_cast<uint32_t>(PhasePlayingSuspended));
  std::memset(a.data(), 0, 4);
  std::memset(b.data(), 0, 4);
  EXPECT_EQ(a, b);
  // Nothing but the two files: the temporaries are gone.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

TEST(SavedGameTest, EveryStateOfWholeGamesSurvivesTheRoundTrip) {
  // Whatever the engine produces must be saved and loaded back exactly, or
  // an autosave or an undo would fail in a real game.
  for (uint32_t seed : {3u, 11u, 2024u}) {
    RecordsHost host;
    auto g = NewSeededGame(host, seed);
    std::mt19937 rng(seed * 31);
    auto copy = std::make_unique<GameState>();
    int states = 0;
    do {
      std::string error;
      const std::vector<uint8_t> bytes = EncodeSavedGame(*g);
      std::memcpy(copy->finalHandles, g->finalHandles, sizeof g->finalHandles);  // not in the file
      ASSERT_TRUE(DecodeSavedGame(bytes, *copy, error)) << "seed " << seed << " deal " << g->dealNumber << ": " << error;
      ASSERT_TRUE(SameGame(*copy, *g));
      ++states;
    } while (RandomStep(*g, host, rng));
    EXPECT_EQ(g->phase, PhaseGameOver) << "seed " << seed;
    EXPECT_GT(states, 28 * 5);
  }
}

TEST(SavedGameTest, PhaseRuleOfALoad) {
  ScratchFolder dir;
  const std::pair<int, int> cases[] = {
      {PhaseIdle, PhaseIdle},           {PhaseChoosing, PhaseChoosingSuspended},
      {PhasePlaying, PhasePlayingSuspended}, {PhaseGameOver, PhaseGameOver},
      {PhaseFirstLead, PhaseFirstLeadSuspended}, {PhasePlayingSuspended, PhasePlayingSuspended},
  };
  auto g = MidGame();
  for (auto [saved, loaded] : cases) {
    g->phase = saved;
    g->dealNumber = saved == PhaseIdle || saved == PhaseGameOver ? 0 : 3;
    std::string error;
    ASSERT_TRUE(SaveGame(dir / "p.zelbo", *g, error)) << error;
    auto out = std::make_unique<GameState>();
    ASSERT_TRUE(LoadGame(dir / "p.zelbo", *out, error)) << error;
    EXPECT_EQ(out->phase, loaded) << "saved in phase " << saved;
  }
}

TEST(SavedGameTest, AnnouncingResumesOnlySuspendedGamesAtAFullTable) {
  auto g = MidGame();
  g->phase = PhasePlayingSuspended;
  RecordsHost full;
  EXPECT_TRUE(AnnounceLoadedGame(*g, full, true));
  EXPECT_EQ(full.calls, (std::vector<std::string>{"Status"}));

  // A seat is empty: the whole state goes out and the game waits.
  RecordsHost waiting;
  EXPECT_FALSE(AnnounceLoadedGame(*g, waiting, false));
  std::vector<std::string> expected = {"Status", "Hand 0", "Hand 1", "Hand 2", "Hand 3", "Contract",
                                       "DoubleFactors", "TableCards", "Tally", "DoublesOwed", "ScoreClear"};
  for (int i = 0; i < 36; ++i) expected.push_back("ScoreLine " + std::to_string(i));
  expected.push_back("Turn");
  expected.push_back("DealDecision");
  EXPECT_EQ(waiting.calls, expected);

  // A finished game at a full table stays over; no contract means no MsgContract.
  g->phase = PhaseGameOver;
  g->contract = 0;
  RecordsHost over;
  EXPECT_FALSE(AnnounceLoadedGame(*g, over, true));
  EXPECT_EQ(std::count(over.calls.begin(), over.calls.end(), "Contract"), 0);
  EXPECT_EQ(over.calls.back(), "DealDecision");
}

TEST(SavedGameTest, EmptyScoreSheetAndFieldsOutsideTheFile) {
  ScratchFolder dir;
  auto g = std::make_unique<GameState>();
  ResetGameState(*g);
  std::string error;
  ASSERT_TRUE(SaveGame(dir / "idle.zelbo", *g, error)) << error;
  const std::vector<uint8_t> b = ReadBytes(dir / "idle.zelbo");
  ASSERT_EQ(b.size(), sg::FixedSize);
  EXPECT_EQ(U32At(b, sg::LineCountOffset), 0u);

  // The load replaces the sheet (now empty) but keeps the handles captured
  // by the running program.
  auto running = MidGame();
  std::strcpy(running->finalHandles[2], "Cyd");
  ASSERT_TRUE(LoadGame(dir / "idle.zelbo", *running, error)) << error;
  EXPECT_TRUE(running->scoreSheet.empty());
  EXPECT_STREQ(running->finalHandles[2], "Cyd");
  EXPECT_EQ(running->dealNumber, 0);
}

// Each broken file is refused with a message naming it, and the running game
// is left exactly as it was.
TEST(SavedGameTest, BadFilesAreRefusedAndLeaveTheGameAlone) {
  ScratchFolder dir;
  auto g = MidGame();
  const std::vector<uint8_t> good = EncodeSavedGame(*g);
  auto set32 = [](std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  struct Case {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> spoil;
    const char* says;
  };
  const std::size_t firstLine = sg::FixedSize;
  const Case cases[] = {
      {"short", [](auto& b) { b.resize(8422); }, "shorter"},
      {"phase", [&](auto& b) { set32(b, 0, 8); }, "phase"},
      {"dealer", [&](auto& b) { set32(b, 12, static_cast<uint32_t>(-1)); }, "dealer"},
      {"dealNumber", [&](auto& b) { set32(b, 8, 29); }, "dealNumber"},
      {"card", [](auto& b) { b[39 + 60] = 53; }, "dealRecords"},
      {"factor", [](auto& b) { b[7811 + 1] = 3; }, "doubleFactor"},
      {"asymmetric", [](auto& b) { b[7811 + 1] = b[7811 + 4] == 4 ? 2 : 4; }, "symmetric"},
      {"decision", [](auto& b) { b[1599 + 3 * 5 + 1] = 8; }, "decision"},
      {"contract byte", [](auto& b) { b[1599 + 5] = 23; }, "contract"},
      {"score", [&](auto& b) { set32(b, 7899 + 4 * 5, 0x7FFFFFFF); }, "dealScores"},
      {"play turn", [&](auto& b) { set32(b, 16, 4); }, "turn"},
      {"line count", [&](auto& b) { set32(b, sg::LineCountOffset, 256); }, "line count"},
      {"line length", [&](auto& b) { set32(b, firstLine, 300); }, "length"},
      {"no terminator", [&](auto& b) { b[firstLine + 4 + U32At(b, firstLine)] = 'x'; }, "zero byte"},
      {"cut line", [](auto& b) { b.resize(b.size() - 3); }, "ends inside"},
      {"trailing", [](auto& b) { b.push_back(0); }, "unexpected bytes"},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = good;
    c.spoil(bytes);
    const auto path = dir / (std::string(c.name) + ".zelbo");
    WriteBytes(path, bytes);
    auto running = std::make_unique<GameState>(*g);
    std::string error;
    EXPECT_FALSE(LoadGame(path, *running, error)) << c.name;
    EXPECT_NE(error.find(path.string()), std::string::npos) << error;
    EXPECT_NE(error.find(c.says), std::string::npos) << c.name << ": " << error;
    EXPECT_TRUE(SameGame(*running, *g)) << c.name;
  }
  auto running = std::make_unique<GameState>(*g);
  std::string error;
  EXPECT_FALSE(LoadGame(dir / "missing.zelbo", *running, error));
  EXPECT_NE(error.find("missing.zelbo"), std::string::npos);
  EXPECT_FALSE(LoadGame(dir.path(), *running, error));
  EXPECT_FALSE(LoadGame("/dev/zero", *running, error));  // endless: refused, not read
  EXPECT_NE(error.find("/dev/zero"), std::string::npos);
  EXPECT_TRUE(SameGame(*running, *g));
}

TEST(SavedGameTest, FailedSavesSayWhyAndKeepTheOldFile) {
  ScratchFolder dir;
  auto g = MidGame();
  std::string error;
  EXPECT_FALSE(SaveGame(dir / "no" / "such" / "folder.zelbo", *g, error));
  EXPECT_NE(error.find("folder.zelbo"), std::string::npos);

  // The target is a folder: the rename fails, the temporary file goes away.
  std::filesystem::create_directories(dir / "taken.zelbo" / "inside");
  error.clear();
  EXPECT_FALSE(SaveGame(dir / "taken.zelbo", *g, error));
  EXPECT_NE(error.find("taken.zelbo"), std::string::npos);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

  // A state the loader would refuse is not written over a good file.
  ASSERT_TRUE(SaveGame(dir / "keep.zelbo", *g, error)) << error;
  const std::vector<uint8_t> before = ReadBytes(dir / "keep.zelbo");
  auto broken = std::make_unique<GameState>(*g);
  broken->dealer = 7;
  error.clear();
  EXPECT_FALSE(SaveGame(dir / "keep.zelbo", *broken, error));
  EXPECT_NE(error.find("dealer"), std::string::npos) << error;
  EXPECT_EQ(ReadBytes(dir / "keep.zelbo"), before);
}

}  // namespace
}  // namespace zelbo
