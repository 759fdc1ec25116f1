#include "records/autosave.h"

#include "records/saved_game.h"

namespace zelbo {

bool Autosave::Save(const GameState& g, std::string& error) {
  std::string reason;
  // Durable: the autosave is what a table comes back from after any crash.
  if (SaveGame(path_, g, reason, {}, FileDurability::Durable)) {
    failing_ = failureIsNew_ = false;
    return true;
  }
  error = "Autosave failed (reported once until it works again). " + reason;
  failureIsNew_ = !failing_;
  failing_ = true;
  return false;
}

}  // namespace zelbo
