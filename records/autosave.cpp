#include "records/autosave.h"

#include "records/saved_game.h"

namespace zelbo {

bool Autosave::Save(const GameState& g, std::string& error) {
  const bool ok = SaveGame(path_, g, error, {}, Durability);
  NoteOutcome(ok, error);
  return ok;
}

bool Autosave::NoteOutcome(bool ok, std::string& error) {
  if (ok) {
    failing_ = failureIsNew_ = false;
    return false;
  }
  error = "Autosave failed (reported once until it works again). " + error;
  failureIsNew_ = !failing_;
  failing_ = true;
  return failureIsNew_;
}

}  // namespace zelbo
