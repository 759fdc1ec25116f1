#include "records/autosave.h"

#include "records/saved_game.h"

namespace zelbo {

bool Autosave::Save(const GameState& g, std::string& paneLine) {
  paneLine.clear();
  std::string error;
  // Durable: the autosave is what a table comes back from after any crash.
  if (SaveGame(path_, g, error, {}, FileDurability::Durable)) {
    failing_ = false;
    return true;
  }
  if (!failing_) paneLine = "Autosave failed (reported once until it works again). " + error;
  failing_ = true;
  return false;
}

}  // namespace zelbo
