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
  void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

}  // namespace zelbo
