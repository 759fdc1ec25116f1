// The "Pick a game" dialog: seven kind boxes, a suit list for Trumps, a rank
// list for Dominoes and OK. The choice logic is PickGameModel; this widget
// only mirrors it. OK hands the contract code to `onChosen` and hides the
// dialog; outside the choosing phase it only hides it.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <array>
#include <functional>

#include "dialogs/decision_dialog_frame.h"
#include "dialogs/pick_game_model.h"

namespace zelbo {

class PickGameDialog : public DecisionDialogFrame {
  Q_OBJECT
 public:
  explicit PickGameDialog(QWidget* owner);

  // True while the game is in the choosing phase (asked on OK).
  std::function<bool()> isChoosing;
  // Receives a usable contract code on OK.
  std::function<void(int code)> onChosen;

  // Shows the dialog, activated, rebuilt from the 7 offered bytes.
  void OpenFor(const uint8_t offered[PickGameModel::BoxCount]);
  // What the OK button does.
  void PressOk();

  const PickGameModel& model() const { return model_; }
  QCheckBox* box(int i) const { return boxes_[static_cast<std::size_t>(i)]; }
  QComboBox* suitList() const { return suits_; }
  QComboBox* rankList() const { return ranks_; }
  QPushButton* okButton() const { return ok_; }

 private:
  void SyncBoxes();

  PickGameModel model_;
  std::array<QCheckBox*, PickGameModel::BoxCount> boxes_{};
  QComboBox* suits_ = nullptr;
  QComboBox* ranks_ = nullptr;
  QPushButton* ok_ = nullptr;
};

}  // namespace zelbo
