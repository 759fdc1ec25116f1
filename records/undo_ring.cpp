#include "records/undo_ring.h"

#include "records/saved_game.h"

namespace zelbo {

std::filesystem::path UndoRing::SlotPath(int slot) const {
  return folder_ / (std::to_string(slot) + "undo.zelbo");
}

bool UndoRing::TakeUndoSnapshot(const GameState& g, std::string& error) {
  if (!SaveGame(SlotPath(undoSlot_), g, error)) {
    undoDepth_ = 0;
    return false;
  }
  undoSlot_ = (undoSlot_ + 1) % Slots;
  if (undoDepth_ < Slots) ++undoDepth_;
  return true;
}

UndoRing::Result UndoRing::UndoLastAction(GameState& g, std::string_view requesterHandle,
                                          std::string& paneText) {
  if (undoDepth_ == 0) {
    paneText = "Can't undo";
    return Result::NothingToUndo;
  }
  const int newest = (undoSlot_ + Slots - 1) % Slots;
  std::string error;
  if (!LoadGame(SlotPath(newest), g, error)) {
    paneText = "Undo failed. " + error;
    return Result::Failed;
  }
  undoDepth_ -= 1;
  undoSlot_ = newest;
  paneText = "Last action undone [" + std::string(requesterHandle) + "]";
  return Result::Undone;
}

}  // namespace zelbo
