// The frame shared by the two decision dialogs: a modeless tool dialog with
// a caption but no close box, which neither Escape nor a close request can
// dismiss; only the dialog's own OK (or the program) hides it.
#pragma once

#include <QCloseEvent>
#include <QDialog>

namespace zelbo {

class DecisionDialogFrame : public QDialog {
 public:
  explicit DecisionDialogFrame(QWidget* owner) : QDialog(owner) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(false);
  }

  // Escape comes here: the dialog stays open.
  void reject() override {}

 protected:
  // Puts the dialog at its place over the owner's table the first time it
  // is shown; afterwards the program never moves it.
  void PlaceOnce(QPoint offset) {
    if (placed_ || !parentWidget()) return;
    placed_ = true;
    move(parentWidget()->mapToGlobal(offset));
  }

  void closeEvent(QCloseEvent* event) override { event->ignore(); }

 private:
  bool placed_ = false;
};

}  // namespace zelbo
