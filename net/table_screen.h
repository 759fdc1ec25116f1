// TableScreen: what either role, server or client, asks of the screen in
// front of it. ServerUi and ClientUi add what only their role asks. Every
// method has a default that does nothing.
#pragma once

#include <string_view>

namespace zelbo {

class TableScreen {
 public:
  virtual ~TableScreen() = default;
  // Hide both decision dialogs (suspension, undo).
  virtual void HideDecisionDialogs() {}
  virtual void RedrawTable() {}
  // A line was added to the message pane.
  virtual void PaneLineAdded(std::string_view line) { (void)line; }
  // The score sheet changed (cleared, line added, replaced or deleted).
  virtual void ScoreSheetChanged() {}
};

}  // namespace zelbo
