// The undo ring: the states before the last four actions, kept as saved-game
// files "0undo.zelbo" .. "3undo.zelbo" in one folder. A snapshot is taken
// just before every applied decision and every accepted card; undo reloads
// the newest one. There is no redo: the next snapshot overwrites the file
// just restored. The ring is not emptied between games.
#pragma once

#include <filesystem>
#include <string>

#include "engine/game_state.h"

namespace zelbo {

class UndoRing {
 public:
  static constexpr int Slots = 4;

  // The files lie in `folder`; the default is the current directory.
  explicit UndoRing(std::filesystem::path folder = {}) : folder_(std::move(folder)) {}

  // The file of a slot: folder / "<slot>undo.zelbo".
  std::filesystem::path SlotPath(int slot) const;

  // The slot the next snapshot goes to (0..3) and how many snapshots can
  // still be undone (0..4).
  int undoSlot() const { return undoSlot_; }
  int undoDepth() const { return undoDepth_; }

  // Saves `g` into the current slot, then moves the slot on and deepens the
  // ring (at most 4). A snapshot that cannot be written breaks the chain of
  // states, so the depth drops to 0 (undo then says "Can't undo" instead of
  // restoring an older state than the one before the last action); `error`
  // tells why and false is returned.
  bool TakeUndoSnapshot(const GameState& g, std::string& error);

  // For a snapshot written elsewhere (through a FileWriter): the file the
  // snapshot goes to, with the slot moved on and the ring deepened at once.
  std::filesystem::path ClaimSlot();
  // A snapshot could not be written: nothing before it can be undone.
  void BreakChain() { undoDepth_ = 0; }

  // Restores the newest snapshot into `g` (through LoadGame, so the phase
  // comes back suspended; the caller then announces the game to the table
  // and resumes it when the table is full). Returns false, with `g`, the
  // slot and the depth as they were, when there is nothing to undo (`error`
  // is "Can't undo") or the snapshot cannot be loaded (`error` tells why);
  // either line is for the requester only.
  bool UndoLastAction(GameState& g, std::string& error);

 private:
  std::filesystem::path folder_;
  int undoSlot_ = 0;
  int undoDepth_ = 0;
};

}  // namespace zelbo
