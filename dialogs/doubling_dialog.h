// The "Action" dialog: three boxes placed where the other three players sit
// as seen from the acting player (left, top, right) and OK. DoublingModel
// decides enabling, the forced double and the labels; OK hands the decision
// byte to `onChosen` and hides the dialog, or only hides it outside the
// choosing phase.
#pragma once

#include <QCheckBox>
#include <QPushButton>
#include <array>
#include <functional>

#include "dialogs/decision_dialog_frame.h"
#include "dialogs/doubling_model.h"

namespace zelbo {

class DoublingDialog : public DecisionDialogFrame {
  Q_OBJECT
 public:
  explicit DoublingDialog(QWidget* owner);

  std::function<bool()> isChoosing;
  std::function<void(int bits)> onChosen;

  // Shows the dialog without taking the focus, rebuilt for own seat `self`.
  void OpenFor(const GameState& g, int self, const std::string handles[4]);
  void PressOk();

  const DoublingModel& model() const { return model_; }
  QCheckBox* box(int i) const { return boxes_[static_cast<std::size_t>(i)]; }
  QPushButton* okButton() const { return ok_; }

 private:
  DoublingModel model_;
  std::array<QCheckBox*, DoublingModel::BoxCount> boxes_{};
  QPushButton* ok_ = nullptr;
};

}  // namespace zelbo
