// The autosave "temp.zelbo", written after every action, durably (synced to
// the disk, so that even a crash of the system keeps it). A failing autosave
// is reported once, not after every action: the first failure after a
// success gives one pane line, later failures stay quiet until a save works
// again.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "engine/game_state.h"
#include "records/file_io.h"

namespace zelbo {

class Autosave {
 public:
  // The file `name` lies in `folder`; the default is the current directory.
  explicit Autosave(std::filesystem::path folder = {}, std::string_view name = "temp.zelbo")
      : path_(std::move(folder) / name) {}

  const std::filesystem::path& path() const { return path_; }
  // Durable: the autosave is what a table comes back from after any crash.
  static constexpr FileDurability Durability = FileDurability::Durable;

  // Saves `g`. Returns true when the file was written; otherwise false with
  // the line to show in `error`.
  bool Save(const GameState& g, std::string& error);
  // Takes the outcome of a save written elsewhere (through a FileWriter).
  // Returns true when it is to be shown, with the line in `error` (on
  // entry the reason the write gave).
  bool NoteOutcome(bool ok, std::string& error);
  // Whether the last Save failed after a success (or as the first save):
  // only such a failure is shown, so a run of failures gives one line.
  bool FailureIsNew() const { return failureIsNew_; }

 private:
  std::filesystem::path path_;
  bool failing_ = false;
  bool failureIsNew_ = false;
};

}  // namespace zelbo
