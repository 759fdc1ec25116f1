// Which autosave `zelbowin-server --resume` continues or starts afresh in.
#include <gtest/gtest.h>

#include <fstream>

#include "records/saved_game.h"
#include "tests/records_fixtures.h"
#include "tools/server/resume_plan.h"

namespace zelbo {
namespace {

using testing::ScratchFolder;

void WriteGame(const std::filesystem::path& path, bool finished) {
  testing::RecordingHost host;
  auto g = testing::PlayedGame(host, 7, [finished](const GameState& s) {
    return !finished && s.dealNumber >= 3 && s.phase == PhasePlaying;
  });
  ASSERT_EQ(g->phase == PhaseGameOver, finished);
  std::string error;
  ASSERT_TRUE(SaveGame(path, *g, error)) << error;
}

void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(ResumePlan, ResumesOnlyAnUnfinishedGame) {
  ScratchFolder dir;
  ResumePlan plan = PlanResume(dir.path);  // no autosave yet
  EXPECT_TRUE(plan.usable && !plan.resume && plan.refused.empty());
  EXPECT_EQ(plan.autosaveName, "temp.zelbo");

  WriteGame(dir / "temp.zelbo", false);
  plan = PlanResume(dir.path);
  EXPECT_TRUE(plan.usable && plan.resume && !plan.finished && plan.refused.empty());
  EXPECT_EQ(plan.autosaveName, "temp.zelbo");

  WriteGame(dir / "temp.zelbo", true);  // a finished game is not continued
  plan = PlanResume(dir.path);
  EXPECT_TRUE(plan.usable && !plan.resume && plan.finished);
  EXPECT_EQ(plan.autosaveName, "temp.zelbo");
}

TEST(ResumePlan, ACorruptAutosaveIsSkippedAndNamedInAMessage) {
  ScratchFolder dir;
  WriteBytes(dir / "temp.zelbo", std::string(100, '\x07'));  // cut short
  ResumePlan plan = PlanResume(dir.path);
  EXPECT_TRUE(plan.usable && !plan.resume);
  EXPECT_EQ(plan.autosaveName, "temp-1.zelbo");  // beside it, not over it
  ASSERT_EQ(plan.refused.size(), 1u);
  EXPECT_NE(plan.refused[0].find((dir / "temp.zelbo").string()), std::string::npos);
  EXPECT_EQ(testing::ReadBytes(dir / "temp.zelbo").size(), 100u);  // left as it was

  // The next restart continues the game the new table autosaved.
  WriteGame(dir / "temp-1.zelbo", false);
  plan = PlanResume(dir.path);
  EXPECT_TRUE(plan.usable && plan.resume);
  EXPECT_EQ(plan.autosaveName, "temp-1.zelbo");
  EXPECT_EQ(plan.refused.size(), 1u);

  // A folder where the file is a folder is refused like a corrupt file.
  std::filesystem::remove(dir / "temp-1.zelbo");
  std::filesystem::create_directory(dir / "temp-1.zelbo");
  plan = PlanResume(dir.path);
  EXPECT_EQ(plan.autosaveName, "temp-2.zelbo");
  EXPECT_EQ(plan.refused.size(), 2u);
}

TEST(ResumePlan, EveryNameSpoiltLeavesNoAutosave) {
  ScratchFolder dir;
  for (int n = 0; n < 100; ++n) WriteBytes(dir / AutosaveName(n), "x");
  const ResumePlan plan = PlanResume(dir.path);
  EXPECT_FALSE(plan.usable);
  EXPECT_EQ(plan.refused.size(), 100u);
}

}  // namespace
}  // namespace zelbo
