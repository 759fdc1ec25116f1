// What the browser page does for the web client: its WebSocket, and the
// parts of the screen that must follow the game. The bindings forward each
// call to a JavaScript object; tests record them.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace zelbo {

class PageHost {
 public:
  virtual ~PageHost() = default;
  // The WebSocket: open one to the page's own server, send one binary
  // message, close it (a close asked for here is not reported back).
  virtual void OpenSocket() = 0;
  virtual void SendBytes(std::span<const uint8_t> bytes) = 0;
  virtual void CloseSocket() = 0;
  // The screen.
  virtual void ShowPickGame() = 0;
  virtual void ShowAction() = 0;
  virtual void HideDialogs() = 0;
  virtual void Repaint() = 0;
  // A line for the message pane, to be appended to those already shown.
  virtual void PaneLineAdded(std::string_view line) = 0;
  virtual void ScoreChanged() = 0;
  virtual void ConnectionLost() = 0;
  // A command the player gave cannot be carried out; `why` says so.
  virtual void Refused(std::string_view why) = 0;
  // A trick was just won: the page shows the held table for a moment,
  // then calls ReleaseTrick.
  virtual void HoldTrick() = 0;
};

}  // namespace zelbo
