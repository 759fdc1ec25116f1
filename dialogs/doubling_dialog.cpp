#include "dialogs/doubling_dialog.h"

#include <QSignalBlocker>

#include "dialogs/dialog_units.h"

namespace zelbo {

DoublingDialog::DoublingDialog(QWidget* owner) : DecisionDialogFrame(owner) {
  setWindowTitle("Action");
  setAttribute(Qt::WA_ShowWithoutActivating);
  DialogUnits du(font());
  setFixedSize(du.X(177), du.Y(64));
  // Left, top and right of the dialog: LHO, OO, RHO.
  const QRect places[DoublingModel::BoxCount] = {
      du.Rect(6, 23, 83, 17), du.Rect(55, 7, 95, 14), du.Rect(91, 23, 79, 16)};
  const char* texts[DoublingModel::BoxCount] = {"Double LHO", "Double OO", "Double RHO"};
  for (int i = 0; i < DoublingModel::BoxCount; ++i) {
    auto* b = new QCheckBox(texts[i], this);
    b->setGeometry(places[i]);
    connect(b, &QCheckBox::toggled, this, [this, i](bool on) { model_.SetChecked(i, on); });
    boxes_[static_cast<std::size_t>(i)] = b;
  }
  ok_ = new QPushButton("OK", this);
  ok_->setGeometry(du.Rect(130, 42, 41, 16));
  ok_->setAutoDefault(false);
  ok_->setDefault(false);
  connect(ok_, &QPushButton::clicked, this, [this] { PressOk(); });
}

void DoublingDialog::OpenFor(const GameState& g, int self, const std::string handles[4]) {
  model_.Open(g, self, handles);
  for (int i = 0; i < DoublingModel::BoxCount; ++i) {
    QCheckBox* b = boxes_[static_cast<std::size_t>(i)];
    QSignalBlocker block(b);
    b->setText(QString::fromStdString(model_.label(i)));
    b->setChecked(model_.checked(i));
    b->setEnabled(model_.enabled(i));
  }
  DialogUnits du(font());
  PlaceOnce(QPoint(du.X(155), du.Y(61)));
  show();
  raise();
}

void DoublingDialog::PressOk() {
  if (isChoosing && !isChoosing()) {
    hide();
    return;
  }
  int bits = model_.Bits();
  if (onChosen) onChosen(bits);
  hide();
}

}  // namespace zelbo
