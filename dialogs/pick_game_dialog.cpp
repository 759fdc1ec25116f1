#include "dialogs/pick_game_dialog.h"

#include <QSignalBlocker>

#include "dialogs/dialog_units.h"

namespace zelbo {
namespace {

struct Place {
  int x, y, w, h;
};
constexpr Place BoxPlaces[PickGameModel::BoxCount] = {
    {15, 9, 43, 14}, {15, 29, 46, 10}, {16, 46, 40, 10}, {15, 62, 56, 10},
    {15, 80, 66, 10}, {15, 97, 53, 10}, {16, 114, 40, 10}};

}  // namespace

PickGameDialog::PickGameDialog(QWidget* owner) : DecisionDialogFrame(owner) {
  setWindowTitle("Pick a game");
  DialogUnits du(font());
  setFixedSize(du.X(138), du.Y(135));

  for (int i = 0; i < PickGameModel::BoxCount; ++i) {
    const Place& p = BoxPlaces[i];
    auto* b = new QCheckBox(PickGameModel::BoxLabel(i), this);
    b->setGeometry(du.Rect(p.x, p.y, p.w + 12, p.h + 2));
    connect(b, &QCheckBox::clicked, this, [this, i](bool checked) {
      model_.ClickBox(i, checked);
      SyncBoxes();
    });
    boxes_[static_cast<std::size_t>(i)] = b;
  }
  suits_ = new QComboBox(this);
  suits_->setGeometry(du.Rect(63, 10, 59, 12));
  connect(suits_, &QComboBox::currentIndexChanged, this,
          [this](int index) { model_.SelectSuit(index); });
  ranks_ = new QComboBox(this);
  ranks_->setGeometry(du.Rect(63, 27, 59, 12));
  connect(ranks_, &QComboBox::currentIndexChanged, this,
          [this](int index) { model_.SelectRank(index); });
  ok_ = new QPushButton("OK", this);
  ok_->setGeometry(du.Rect(75, 111, 40, 14));
  ok_->setAutoDefault(false);
  ok_->setDefault(false);
  connect(ok_, &QPushButton::clicked, this, [this] { PressOk(); });

}

void PickGameDialog::SyncBoxes() {
  for (int i = 0; i < PickGameModel::BoxCount; ++i) {
    QCheckBox* b = boxes_[static_cast<std::size_t>(i)];
    QSignalBlocker block(b);
    b->setChecked(model_.checked(i));
    b->setEnabled(model_.enabled(i));
  }
}

void PickGameDialog::OpenFor(const uint8_t offered[PickGameModel::BoxCount]) {
  model_.Open(offered);
  SyncBoxes();
  {
    QSignalBlocker blockSuits(suits_);
    QSignalBlocker blockRanks(ranks_);
    suits_->clear();
    for (int i = 0; i < PickGameModel::SuitCount; ++i) suits_->addItem(PickGameModel::SuitEntry(i));
    suits_->setCurrentIndex(-1);
    ranks_->clear();
    for (int i = 0; i < PickGameModel::RankCount; ++i) ranks_->addItem(PickGameModel::RankEntry(i));
    ranks_->setCurrentIndex(-1);
  }
  model_.SelectSuit(-1);
  model_.SelectRank(-1);
  DialogUnits du(font());
  PlaceOnce(QPoint(du.X(141), du.Y(45)));
  show();
  raise();
  activateWindow();
  // The focus ends on the first box, as after walking up from the last.
  for (int i = PickGameModel::BoxCount - 1; i >= 0; --i) {
    QCheckBox* b = boxes_[static_cast<std::size_t>(i)];
    if (b->isEnabled()) b->setFocus();
  }
}

void PickGameDialog::PressOk() {
  if (isChoosing && !isChoosing()) {
    hide();
    return;
  }
  int code = model_.Code();
  if (code == 0) return;  // nothing usable chosen: stay open
  if (onChosen) onChosen(code);
  hide();
}

}  // namespace zelbo
