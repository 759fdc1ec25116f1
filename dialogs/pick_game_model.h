// The Pick-a-game dialog without its widgets: seven mutually exclusive kind
// boxes (enabled for the kinds the dealer has left, the last one pre-checked),
// a suit list for Trumps and a rank list for Dominoes, and the contract code
// that OK produces.
#pragma once

#include <array>
#include <cstdint>

namespace zelbo {

class PickGameModel {
 public:
  static constexpr int BoxCount = 7;
  static constexpr int SuitCount = 4;
  static constexpr int RankCount = 13;
  static constexpr int NoSelection = -1;

  // Box labels in column order of `offeredContracts`.
  static const char* BoxLabel(int box);
  // List entries in display order: "Spades", "Hearts", "Diamonds", "Clubs"
  // and "Ace" .. "Two".
  static const char* SuitEntry(int index);
  static const char* RankEntry(int index);

  // Rebuilds everything from the 7 offered bytes (1 = still to be chosen).
  void Open(const uint8_t offered[BoxCount]);

  // A click on box `box` that left it `nowChecked`.
  void ClickBox(int box, bool nowChecked);
  void SelectSuit(int index) { suit_ = Clamp(index, SuitCount); }
  void SelectRank(int index) { rank_ = Clamp(index, RankCount); }

  bool checked(int box) const { return checked_[box]; }
  bool enabled(int box) const { return enabled_[box]; }
  int suit() const { return suit_; }
  int rank() const { return rank_; }

  // The contract code of the current choice, 0 when nothing usable is
  // chosen (no box, or Trumps / Dominoes without a list selection).
  int Code() const;

 private:
  static int Clamp(int index, int count) { return index >= 0 && index < count ? index : NoSelection; }

  std::array<bool, BoxCount> checked_{};
  std::array<bool, BoxCount> enabled_{};
  int suit_ = NoSelection;
  int rank_ = NoSelection;
};

}  // namespace zelbo
