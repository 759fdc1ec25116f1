#include "dialogs/score_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace zelbo {

ScoreWindow::ScoreWindow(QWidget* owner) : QWidget(owner, Qt::Window) {
  setWindowTitle("Score");
  list_ = new QListWidget(this);
  QFont fixed("Courier New");
  fixed.setStyleHint(QFont::TypeWriter);
  fixed.setFixedPitch(true);
  if (!QFontInfo(fixed).fixedPitch()) fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  list_->setFont(fixed);
  list_->setSelectionMode(QAbstractItemView::NoSelection);
  list_->installEventFilter(this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(list_);
}

void ScoreWindow::ShowSheet(const ScoreSheet& sheet) {
  list_->clear();
  for (const std::string& line : sheet.lines()) list_->addItem(QString::fromStdString(line));
}

void ScoreWindow::ShowBeside(const QRect& mainFrame) {
  setGeometry(mainFrame.left() + 900, mainFrame.top() + 100, 500, 600);
  show();
}

void ScoreWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  hide();
}

void ScoreWindow::keyPressEvent(QKeyEvent* event) {
  if (onKey) onKey(event);
}

bool ScoreWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::KeyPress && onKey) {
    auto* key = static_cast<QKeyEvent*>(event);
    // Keys that move in the list stay with it; anything that types goes to the chat.
    if (!key->text().isEmpty() && key->text().at(0).isPrint()) {
      onKey(key);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace zelbo
