#include "tools/server/resume_plan.h"

#include <system_error>

#include "engine/game_state.h"
#include "records/saved_game.h"

namespace zelbo {

namespace {

constexpr int MaxAutosaveNames = 100;

// A game that was dealt and has not ended, suspended or not.
bool Unfinished(int phase) { return phase != PhaseIdle && phase != PhaseGameOver; }

}  // namespace

std::string AutosaveName(int n) {
  return n == 0 ? "temp.zelbo" : "temp-" + std::to_string(n) + ".zelbo";
}

ResumePlan PlanResume(const std::filesystem::path& folder) {
  ResumePlan plan;
  for (int n = 0; n < MaxAutosaveNames; ++n) {
    const std::filesystem::path path = folder / AutosaveName(n);
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) {
      plan.usable = true;
      plan.autosaveName = AutosaveName(n);
      return plan;
    }
    GameState game;
    std::string error;
    if (LoadGame(path, game, error)) {
      plan.usable = true;
      plan.autosaveName = AutosaveName(n);
      plan.resume = Unfinished(game.phase);
      plan.finished = game.phase == PhaseGameOver;
      return plan;
    }
    plan.refused.push_back("not resuming " + path.string() + ", which is left as it is: " + error);
  }
  return plan;
}

}  // namespace zelbo
