#include "dialogs/doubling_model.h"

#include <gtest/gtest.h>

namespace zelbo {
namespace {

TEST(DoublingDialog, BoxesLabelsAndBitsForEachStep) {
  const std::string handles[4] = {"Sam", "Wanda", "Ned", "Eve"};
  struct Case {
    int dealer, turn, contract, self;
    std::vector<int> doubledWith;  // seats that already have a double with `self`
    bool forced;
    const char *enabled, *checked;    // boxes LHO, OO, RHO
    std::vector<std::string> labels;  // "" = not looked at
    std::vector<int> clicks, bits;    // bits before the clicks, then after each
  };
  const Case cases[] = {
      // A positive contract (Dominoes too) offers only the dealer: steps
      // 1, 2, 3 see the dealer as RHO, OO, LHO.
      {South, 1, 8, West, {}, false, "001", "000", {"", "", "Double Sam"}, {}, {0}},
      {South, 2, 8, North, {}, false, "010", "000", {"", "Double Sam", ""}, {}, {0}},
      {South, 3, 8, East, {}, false, "100", "000", {"Double Sam", "", ""}, {}, {0}},
      {North, 1, 15, East, {}, false, "001", "000", {"", "", "Double Ned"}, {}, {0}},
      // Negative: everyone; the answer to a double is a redouble.
      {South, 2, NoQueens, North, {West}, false, "111", "000",
       {"Double Eve", "Double Sam", "Redouble Wanda"}, {2, 0}, {0, 36, 37}},
      // The dealer's step offers only those who doubled.
      {South, 4, 7, South, {West}, false, "100", "000", {"Redouble Wanda", "", ""}, {0}, {0, 9}},
      {South, 4, 1, South, {West, North, East}, false, "111", "000", {}, {0, 1, 2}, {0, 9, 27, 63}},
      // A forced double is checked and locked, and still counts.
      {South, 3, 7, East, {}, true, "000", "100", {}, {}, {1}},
      {South, 1, 2, West, {}, true, "110", "001", {}, {}, {4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "turn " << c.turn << " contract " << c.contract);
    GameState g;
    g.phase = PhaseChoosing, g.dealNumber = 1, g.dealer = c.dealer, g.turn = c.turn;
    g.dealDecisions[1][0] = static_cast<uint8_t>(c.contract);
    for (auto& row : g.doubleFactor) std::fill(std::begin(row), std::end(row), 1);
    for (int s : c.doubledWith) g.doubleFactor[c.self][s] = g.doubleFactor[s][c.self] = 2;
    g.forcedDouble = c.forced;
    DoublingModel m;
    m.Open(g, c.self, handles);
    std::string enabled, checked;
    for (int b = 0; b < DoublingModel::BoxCount; ++b) {
      enabled += m.enabled(b) ? '1' : '0', checked += m.checked(b) ? '1' : '0';
      EXPECT_TRUE(c.labels.empty() || c.labels[b].empty() || m.label(b) == c.labels[b]) << b;
    }
    EXPECT_EQ(enabled + " " + checked, std::string(c.enabled) + " " + c.checked);
    EXPECT_EQ(m.Bits(), c.bits[0]);
    for (std::size_t i = 0; i < c.clicks.size(); ++i) {
      m.SetChecked(c.clicks[i], true);
      EXPECT_EQ(m.Bits(), c.bits[i + 1]);
    }
    m.Open(g, c.self, handles);
    EXPECT_EQ(m.Bits(), c.bits[0]) << "reopening unchecks what was clicked";
  }
}

}  // namespace
}  // namespace zelbo
