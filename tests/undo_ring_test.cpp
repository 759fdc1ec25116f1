// The undo ring driven by real engine actions: snapshots before each action,
// restores newest first, no redo, honest reports when files fail. Also the
// autosave's once-only failure line.
#include "records/undo_ring.h"

#include <gtest/gtest.h>

#include "records/saved_game.h"
#include "tests/records_fixtures.h"

namespace zelbo {
namespace {

using namespace zelbo::testing;

struct UndoTable {
  ScratchFolder dir;
  UndoRing ring{dir.path};
  RecordsHost host;
  std::unique_ptr<GameState> g;
  std::mt19937 rng{17};
  std::string text;

  UndoTable() {
    host.ring = &ring;
    g = NewSeededGame(host, 4242);
  }
  // Takes one action; returns the state before it.
  std::unique_ptr<GameState> Act() {
    auto before = std::make_unique<GameState>(*g);
    EXPECT_TRUE(RandomStep(*g, host, rng));
    return before;
  }
  UndoRing::Result Undo() { return ring.UndoLastAction(*g, "Ann", text); }
  // The game came back as `expected` but suspended; the full table resumes it.
  void ExpectRestored(const GameState& expected) {
    EXPECT_EQ(text, "Last action undone [Ann]");
    EXPECT_EQ(g->phase, SuspendedPhase(expected.phase));
    g->phase = ResumedPhase(g->phase);
    EXPECT_TRUE(SameGame(*g, expected));
  }
};

TEST(UndoRingTest, FiveActionsThenFiveUndos) {
  UndoTable t;
  std::vector<std::unique_ptr<GameState>> before;
  for (int i = 0; i < 5; ++i) before.push_back(t.Act());
  EXPECT_EQ(t.ring.undoDepth(), 4);
  EXPECT_EQ(t.ring.undoSlot(), 1);
  for (int k = 4; k >= 1; --k) {
    ASSERT_EQ(t.Undo(), UndoRing::Result::Undone);
    t.ExpectRestored(*before[static_cast<std::size_t>(k)]);
    if (k == 4) {  // snapshots went to slots 0,1,2,3,0; the newest was restored
      EXPECT_EQ(t.ring.undoSlot(), 0);
      EXPECT_EQ(t.ring.undoDepth(), 3);
    }
  }
  auto last = std::make_unique<GameState>(*t.g);
  EXPECT_EQ(t.Undo(), UndoRing::Result::NothingToUndo);
  EXPECT_EQ(t.text, "Can't undo");
  EXPECT_TRUE(SameGame(*t.g, *last));
}

TEST(UndoRingTest, UndoNewActionUndoHasNoRedo) {
  UndoTable t;
  t.Act();
  auto beforeSecond = t.Act();
  ASSERT_EQ(t.Undo(), UndoRing::Result::Undone);
  t.ExpectRestored(*beforeSecond);
  auto beforeNew = t.Act();
  ASSERT_EQ(t.Undo(), UndoRing::Result::Undone);
  t.ExpectRestored(*beforeNew);  // the undone action is gone
  EXPECT_EQ(t.ring.undoDepth(), 1);
}

TEST(UndoRingTest, FailuresAreReportedAndNeverRestoreAWrongState) {
  UndoTable t;
  t.Act();
  t.Act();
  // A snapshot that cannot be written breaks the chain: nothing is undone past it.
  std::filesystem::remove_all(t.dir.path);
  t.Act();
  ASSERT_EQ(t.host.paneLines.size(), 1u);
  EXPECT_NE(t.host.paneLines[0].find("2undo.zelbo"), std::string::npos) << t.host.paneLines[0];
  EXPECT_EQ(t.Undo(), UndoRing::Result::NothingToUndo);
  // A snapshot spoilt on disk: the undo fails; game, slot and depth stay.
  std::filesystem::create_directories(t.dir.path);
  t.Act();
  std::vector<uint8_t> bytes = ReadBytes(t.ring.SlotPath(2));
  bytes[0] = 9;  // no such phase
  WriteBytes(t.ring.SlotPath(2), bytes);
  auto now = std::make_unique<GameState>(*t.g);
  EXPECT_EQ(t.Undo(), UndoRing::Result::Failed);
  EXPECT_NE(t.text.find("2undo.zelbo"), std::string::npos) << t.text;
  EXPECT_TRUE(SameGame(*t.g, *now));
  EXPECT_EQ(t.ring.undoDepth(), 1);
  EXPECT_EQ(t.ring.undoSlot(), 3);
}

TEST(AutosaveTest, AFailingAutosaveIsReportedOnceUntilItWorksAgain) {
  ScratchFolder dir;
  Autosave autosave(dir / "gone");
  RecordsHost host;
  host.autosave = &autosave;
  auto g = NewSeededGame(host, 8);  // the start of a deal saves too
  std::mt19937 rng(1);
  for (int i = 0; i < 5; ++i) RandomStep(*g, host, rng);
  ASSERT_EQ(host.paneLines.size(), 1u);
  EXPECT_NE(host.paneLines[0].find("temp.zelbo"), std::string::npos);

  std::filesystem::create_directories(dir / "gone");
  RandomStep(*g, host, rng);
  auto loaded = std::make_unique<GameState>();
  std::string error;
  ASSERT_TRUE(LoadGame(dir / "gone" / "temp.zelbo", *loaded, error)) << error;
  loaded->phase = ResumedPhase(loaded->phase);
  EXPECT_TRUE(SameGame(*loaded, *g));

  std::filesystem::remove_all(dir / "gone");
  RandomStep(*g, host, rng);
  RandomStep(*g, host, rng);
  EXPECT_EQ(host.paneLines.size(), 2u);  // a new run of failures: one more line
}

}  // namespace
}  // namespace zelbo
