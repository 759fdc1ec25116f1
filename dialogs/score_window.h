// The "Score" window: the score sheet in a fixed-pitch font. Closing it only
// hides it; keys typed into it go to the chat line like those on the table.
#pragma once

#include <QListWidget>
#include <QWidget>
#include <functional>

#include "engine/score_sheet.h"

class QKeyEvent;

namespace zelbo {

class ScoreWindow : public QWidget {
  Q_OBJECT
 public:
  explicit ScoreWindow(QWidget* owner);

  // Replaces the shown lines with the sheet's.
  void ShowSheet(const ScoreSheet& sheet);
  // Places the window beside the main window (left + 900, top + 100),
  // 500 x 600, and shows it.
  void ShowBeside(const QRect& mainFrame);

  QListWidget* list() const { return list_; }
  // Receives key presses typed into the window.
  std::function<void(QKeyEvent*)> onKey;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QListWidget* list_ = nullptr;
};

}  // namespace zelbo
