#include "records/undo_ring.h"

#include "records/saved_game.h"

namespace zelbo {

std::filesystem::path UndoRing::SlotPath(int slot) const {
  return folder_ / (std::to_string(slot) + "undo.zelbo");
}

bool UndoRing::TakeUndoSnapshot(const GameState& g, std::string& error) {
  if (!SaveGame(SlotPath(undoSlot_), g, error)) {
    BreakChain();
    return false;
  }
  ClaimSlot();
  return true;
}

std::filesystem::path UndoRing::ClaimSlot() {
  std::filesystem::path path = SlotPath(undoSlot_);
  undoSlot_ = (undoSlot_ + 1) % Slots;
  if (undoDepth_ < Slots) ++undoDepth_;
  return path;
}

bool UndoRing::UndoLastAction(GameState& g, std::string& error) {
  if (undoDepth_ == 0) {
    error = "Can't undo";
    return false;
  }
  const int newest = (undoSlot_ + Slots - 1) % Slots;
  std::string reason;
  if (!LoadGame(SlotPath(newest), g, reason)) {
    error = "Undo failed. " + reason;
    return false;
  }
  undoDepth_ -= 1;
  undoSlot_ = newest;
  return true;
}

}  // namespace zelbo
