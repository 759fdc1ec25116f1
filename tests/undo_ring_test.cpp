// The undo ring driven by engine actions: newest first, no redo, honest
// reports when files fail; and the autosave's once-only failure line.
#include "records/undo_ring.h"

#include <gtest/gtest.h>

#include "records/saved_game.h"
#include "tests/records_fixtures.h"

namespace zelbo::testing {
namespace {

struct UndoRingTest : ::testing::Test {
  ScratchFolder dir;
  UndoRing ring{dir.path};
  RecordsHost host;
  std::unique_ptr<GameState> g = PlayedGame(host, 4242, [](auto&) { return true; });
  std::mt19937 rng{17};
  std::string text;

  UndoRingTest() { host.ring = &ring; }
  std::pair<int, int> DepthAndSlot() const { return {ring.undoDepth(), ring.undoSlot()}; }
  std::unique_ptr<GameState> Act() {  // returns the state before the action
    auto before = std::make_unique<GameState>(*g);
    EXPECT_TRUE(RandomStep(*g, host, rng));
    return before;
  }
  // Undoes; the game must come back as `expected` but suspended (the full table resumes it).
  void ExpectUndoTo(const GameState& expected) {
    ASSERT_TRUE(ring.UndoLastAction(*g, text)) << text;
    EXPECT_EQ(g->phase, SuspendedPhase(expected.phase));
    g->phase = ResumedPhase(g->phase);
    EXPECT_TRUE(*g == expected);
  }
};

TEST_F(UndoRingTest, FiveActionsThenFiveUndos) {
  std::vector<std::unique_ptr<GameState>> before;
  for (int i = 0; i < 5; ++i) before.push_back(Act());
  EXPECT_EQ(DepthAndSlot(), std::pair(4, 1));
  ExpectUndoTo(*before[4]);
  EXPECT_EQ(DepthAndSlot(), std::pair(3, 0));  // snapshots went to slots 0,1,2,3,0
  for (int k = 3; k >= 1; --k) ExpectUndoTo(*before[static_cast<std::size_t>(k)]);
  auto last = std::make_unique<GameState>(*g);
  EXPECT_FALSE(ring.UndoLastAction(*g, text));
  EXPECT_EQ(text, "Can't undo");
  EXPECT_TRUE(*g == *last);
  Act();  // undo, new action, undo: no redo
  ExpectUndoTo(*Act());
  ExpectUndoTo(*Act());  // the state before the new action, not the undone one
  EXPECT_EQ(ring.undoDepth(), 1);
}

TEST_F(UndoRingTest, FailuresAreReportedAndNeverRestoreAWrongState) {
  Act();
  // A snapshot that cannot be written breaks the chain: nothing is undone past it.
  std::filesystem::remove_all(dir.path);
  Act();
  ASSERT_EQ(host.paneLines.size(), 1u);
  EXPECT_NE(host.paneLines[0].find("1undo.zelbo"), std::string::npos) << host.paneLines[0];
  EXPECT_FALSE(ring.UndoLastAction(*g, text));
  EXPECT_EQ(text, "Can't undo");
  // A snapshot spoilt on disk: the undo fails; game, slot and depth stay.
  std::filesystem::create_directories(dir.path);
  Act();
  ASSERT_TRUE(WriteFileAtomically(ring.SlotPath(1), std::vector<uint8_t>{9}, text)) << text;
  auto now = std::make_unique<GameState>(*g);
  EXPECT_FALSE(ring.UndoLastAction(*g, text));
  EXPECT_EQ(text.rfind("Undo failed. ", 0), 0u) << text;
  EXPECT_NE(text.find("1undo.zelbo"), std::string::npos) << text;
  EXPECT_TRUE(*g == *now && DepthAndSlot() == std::pair(1, 2));
}

TEST(AutosaveTest, AFailingAutosaveIsReportedOnceUntilItWorksAgain) {
  ScratchFolder dir;
  Autosave autosave(dir / "gone");
  RecordsHost host;
  host.autosave = &autosave;
  int steps = 0;  // the start of a deal saves too; then 5 failing steps, 1 good one, 2 failing
  PlayedGame(host, 8, [&](const GameState&) {
    if (steps == 5) std::filesystem::create_directories(dir / "gone");
    if (steps == 6 && host.paneLines.size() == 1u) std::filesystem::remove_all(dir / "gone");
    return ++steps > 8;
  });
  ASSERT_EQ(host.paneLines.size(), 2u);  // one line per run of failures
  EXPECT_NE(host.paneLines[0].find("temp.zelbo"), std::string::npos);
  EXPECT_EQ(host.paneLines[0].rfind("Autosave failed (reported once until it works again). ", 0),
            0u) << host.paneLines[0];
}

}  // namespace
}  // namespace zelbo::testing
