#include "dialogs/pick_game_model.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/cards.h"

namespace zelbo {
namespace {

PickGameModel Opened(const char* offered) {
  uint8_t row[PickGameModel::BoxCount];
  for (int b = 0; b < PickGameModel::BoxCount; ++b) row[b] = offered[b] == '1';
  PickGameModel m;
  m.Open(row);
  return m;
}

TEST(PickGame, OpeningEnablesTheKindsLeftAndPrechecksTheLastOne) {
  // Trumps or Dominoes left alone still need a list choice before OK sends.
  const struct {
    const char* offered;
    int prechecked, code, suit, rank, codeAfterList;
  } cases[] = {{"1111111", -1, 0, -1, -1, 0},
               {"0000010", KindNoHearts, NoHearts, -1, -1, NoHearts},
               {"1000000", KindTrumps, 0, 1, -1, 8},
               {"0100000", KindDominoes, 0, -1, 4, 18}};
  for (const auto& c : cases) {
    PickGameModel m = Opened(c.offered);
    for (int b = 0; b < PickGameModel::BoxCount; ++b) {
      EXPECT_EQ(m.enabled(b), c.offered[b] == '1') << c.offered << " box " << b;
      EXPECT_EQ(m.checked(b), b == c.prechecked) << c.offered << " box " << b;
    }
    EXPECT_TRUE(m.suit() == PickGameModel::NoSelection && m.rank() == PickGameModel::NoSelection);
    EXPECT_EQ(m.Code(), c.code) << c.offered;
    m.SelectSuit(c.suit), m.SelectRank(c.rank);
    EXPECT_EQ(m.Code(), c.codeAfterList) << c.offered;
  }
}

TEST(PickGame, BoxAndListChoiceGiveTheContractCode) {
  // A list selection counts only for its own kind; one out of range is none.
  const struct {
    int box, suit, rank, code;
  } cases[] = {{KindTrumps, 1, 3, 8},       {KindTrumps, 3, -1, 7},   {KindTrumps, 0, -1, 9},
               {KindTrumps, 2, -1, 6},      {KindTrumps, 4, 0, 0},    {KindDominoes, 1, 0, 22},
               {KindDominoes, -1, 12, 10},  {KindDominoes, -1, 13, 0}, {KindMisere, 1, 3, Misere},
               {KindZelbo, 1, 3, Zelbo},    {KindNoQueens, 1, 3, NoQueens},
               {KindNoLastTwo, 1, 3, NoLastTwo}};
  for (const auto& c : cases) {
    PickGameModel m = Opened("1111111");
    m.SelectSuit(c.suit), m.SelectRank(c.rank), m.ClickBox(c.box, true);
    EXPECT_EQ(m.Code(), c.code) << "box " << c.box << " suit " << c.suit << " rank " << c.rank;
  }
  // The lists show the entries in the order the codes above assume.
  std::string lists;
  for (int i = 0; i < 17; ++i)
    lists += i < 4 ? PickGameModel::SuitEntry(i) : PickGameModel::RankEntry(i - 4), lists += ' ';
  EXPECT_EQ(lists, "Spades Hearts Diamonds Clubs Ace King Queen Jack Ten Nine Eight Seven Six Five "
                   "Four Three Two ");
  // Boxes are exclusive, clearable, and reset when the dialog opens again.
  PickGameModel m = Opened("1111111");
  m.ClickBox(KindTrumps, true), m.SelectSuit(0), m.ClickBox(KindNoHearts, true);
  EXPECT_TRUE(!m.checked(KindTrumps) && m.checked(KindNoHearts));
  m.ClickBox(KindNoHearts, false);
  for (int b = 0; b < PickGameModel::BoxCount; ++b) EXPECT_FALSE(m.checked(b));
  EXPECT_EQ(m.Code(), 0);
  m.ClickBox(KindTrumps, true);
  const uint8_t row[PickGameModel::BoxCount] = {1, 1, 0, 0, 1, 1, 1};
  m.Open(row);  // the same dialog opened again
  EXPECT_TRUE(!m.checked(KindTrumps) && !m.enabled(KindMisere));
  EXPECT_EQ(m.suit(), PickGameModel::NoSelection);
}

}  // namespace
}  // namespace zelbo
