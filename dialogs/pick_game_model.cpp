#include "dialogs/pick_game_model.h"

#include "engine/cards.h"

namespace zelbo {
namespace {

constexpr const char* BoxLabels[PickGameModel::BoxCount] = {
    "Trumps", "Dominoes", "Misere", "No Queens", "No Last Two", "No Hearts", "Zelbo"};
constexpr const char* SuitEntries[PickGameModel::SuitCount] = {"Spades", "Hearts", "Diamonds",
                                                              "Clubs"};
constexpr int SuitOfEntry[PickGameModel::SuitCount] = {Spades, Hearts, Diamonds, Clubs};
constexpr const char* RankEntries[PickGameModel::RankCount] = {
    "Ace", "King", "Queen", "Jack", "Ten", "Nine", "Eight", "Seven", "Six", "Five", "Four", "Three",
    "Two"};

}  // namespace

const char* PickGameModel::BoxLabel(int box) { return BoxLabels[box]; }
const char* PickGameModel::SuitEntry(int index) { return SuitEntries[index]; }
const char* PickGameModel::RankEntry(int index) { return RankEntries[index]; }

void PickGameModel::Open(const uint8_t offered[BoxCount]) {
  int count = 0;
  int last = -1;
  for (int i = 0; i < BoxCount; ++i) {
    if (offered[i] == 1) {
      ++count;
      last = i;
    }
  }
  for (int i = 0; i < BoxCount; ++i) {
    checked_[i] = count == 1 && i == last;
    enabled_[i] = offered[i] != 0;
  }
  suit_ = NoSelection;
  rank_ = NoSelection;
}

void PickGameModel::ClickBox(int box, bool nowChecked) {
  if (box < 0 || box >= BoxCount) return;
  checked_[box] = nowChecked;
  if (!nowChecked) return;
  for (int i = 0; i < BoxCount; ++i) {
    if (i != box) checked_[i] = false;
  }
}

int PickGameModel::Code() const {
  int code = 0;
  if (checked_[KindTrumps] && suit_ != NoSelection) code = FirstTrumps + SuitOfEntry[suit_];
  if (checked_[KindDominoes] && rank_ != NoSelection) code = LastContract - rank_;
  if (checked_[KindMisere]) code = Misere;
  if (checked_[KindNoQueens]) code = NoQueens;
  if (checked_[KindNoLastTwo]) code = NoLastTwo;
  if (checked_[KindNoHearts]) code = NoHearts;
  if (checked_[KindZelbo]) code = Zelbo;
  return code;
}

}  // namespace zelbo
