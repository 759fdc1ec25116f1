// The message pane along the bottom of the main window: a one-line chat
// entry, the "Send" button and the list of the last 65 lines. Return in the
// chat line or Send hands the typed text (at most 1022 characters) to
// `onSend` and empties the line.
#pragma once

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <string>
#include <string_view>

class QKeyEvent;

namespace zelbo {

class MessagePaneWidget : public QWidget {
  Q_OBJECT
 public:
  static constexpr int MaxLines = 65;
  static constexpr int MaxChatInput = 1022;
  static constexpr int PaneHeight = 140;

  explicit MessagePaneWidget(QWidget* parent);

  // Shows a line; the oldest goes once 65 are shown, and the view moves on
  // so the newest line stays visible.
  void AddLine(std::string_view line);
  // Sends what the chat line holds, as the Send button does.
  void SendTyped();
  // Puts a key press made elsewhere (the table, the Score window) into the
  // chat line and gives it the focus.
  void TypeKey(QKeyEvent* event);
  // Places the pane 4 pixels in from the left, right and bottom edges of an
  // area `width` x `height`, and its list inside it.
  void LayoutIn(int width, int height);

  QLineEdit* chatLine() const { return chat_; }
  QListWidget* list() const { return list_; }
  QPushButton* sendButton() const { return send_; }

  std::function<void(const std::string&)> onSend;

 private:
  QLineEdit* chat_ = nullptr;
  QListWidget* list_ = nullptr;
  QPushButton* send_ = nullptr;
};

}  // namespace zelbo
