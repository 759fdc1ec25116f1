#include "engine/decision_text.h"

#include "engine/cards.h"

namespace zelbo {

const SeatNames& SeatLetterNames() {
  static const SeatNames letters = {"S", "W", "N", "E"};
  return letters;
}

namespace {

DecisionSort DecisionByteText(std::string& destination, int e, int index, int actingSeat,
                              const SeatNames& names) {
  destination.clear();
  if (e == Undecided) return DecisionSort::Undecided;
  if (index == 0) {
    char buffer[32] = "";
    ContractLongName(buffer, e);
    destination = buffer;
    return DecisionSort::Contract;
  }
  if (e == 0) {
    destination = "Pass";
    return DecisionSort::Pass;
  }
  if ((e & 7) == 7) {
    destination = "Max";
    return DecisionSort::Doubles;
  }
  // Targets in the order LHO, OO, RHO; a redouble bit counts only on top of
  // its double bit.
  const std::string* doubled[3];
  const std::string* redoubled[3];
  int nd = 0, nr = 0;
  for (int t = 0; t < 3; ++t) {
    if (!(e & (1 << t))) continue;
    const std::string& name = names[SeatMod(actingSeat + t + 1)];
    if (e & (8 << t))
      redoubled[nr++] = &name;
    else
      doubled[nd++] = &name;
  }
  if (nd + nr == 0) return DecisionSort::Undecided;
  if (nr == 0)
    destination = nd == 1 ? "Double " + *doubled[0] : "Double " + *doubled[0] + " and " + *doubled[1];
  else if (nd == 0)
    destination =
        nr == 1 ? "Redouble " + *redoubled[0] : "Redouble " + *redoubled[0] + " and " + *redoubled[1];
  else
    destination = "D " + *doubled[0] + " and RD " + *redoubled[0];
  return DecisionSort::Doubles;
}

}  // namespace

DecisionSort DecisionText(std::string& destination, const GameState& g, int deal, int dealer,
                          int index, const SeatNames& names) {
  destination.clear();
  if (deal < 0 || deal >= DealRows || index < 0 || index > 4) return DecisionSort::Undecided;
  return DecisionByteText(destination, g.dealDecisions[deal][index], index, dealer + index, names);
}

}  // namespace zelbo
