#include "dialogs/pick_game_model.h"

#include <gtest/gtest.h>

#include "engine/cards.h"

namespace zelbo {
namespace {

constexpr int SpadesEntry = 0, HeartsEntry = 1, DiamondsEntry = 2, ClubsEntry = 3;

PickGameModel Opened(std::initializer_list<int> offered) {
  uint8_t row[7];
  int i = 0;
  for (int v : offered) row[i++] = static_cast<uint8_t>(v);
  PickGameModel m;
  m.Open(row);
  return m;
}

TEST(PickGame, FirstDealOfABoatOffersAllUnchecked) {
  auto m = Opened({1, 1, 1, 1, 1, 1, 1});
  for (int b = 0; b < 7; ++b) {
    EXPECT_TRUE(m.enabled(b)) << b;
    EXPECT_FALSE(m.checked(b)) << b;
  }
  EXPECT_EQ(m.suit(), PickGameModel::NoSelection);
  EXPECT_EQ(m.rank(), PickGameModel::NoSelection);
  EXPECT_EQ(m.Code(), 0);
}

TEST(PickGame, LastKindLeftIsPrecheckedOthersDisabled) {
  auto m = Opened({0, 0, 0, 0, 0, 1, 0});
  for (int b = 0; b < 7; ++b) {
    EXPECT_EQ(m.enabled(b), b == KindNoHearts) << b;
    EXPECT_EQ(m.checked(b), b == KindNoHearts) << b;
  }
  EXPECT_EQ(m.Code(), NoHearts);
}

TEST(PickGame, LastKindTrumpsStillNeedsASuit) {
  auto m = Opened({1, 0, 0, 0, 0, 0, 0});
  EXPECT_TRUE(m.checked(KindTrumps));
  EXPECT_EQ(m.Code(), 0);
  m.SelectSuit(HeartsEntry);
  EXPECT_EQ(m.Code(), 8);
}

TEST(PickGame, LastKindDominoesStillNeedsARank) {
  auto m = Opened({0, 1, 0, 0, 0, 0, 0});
  EXPECT_EQ(m.Code(), 0);
  m.SelectRank(4);  // "Ten"
  EXPECT_EQ(m.Code(), 18);
}

TEST(PickGame, SuitEntriesGiveTrumpsCodes) {
  auto m = Opened({1, 1, 1, 1, 1, 1, 1});
  m.ClickBox(KindTrumps, true);
  const std::pair<int, int> cases[] = {
      {HeartsEntry, 8}, {ClubsEntry, 7}, {SpadesEntry, 9}, {DiamondsEntry, 6}};
  for (auto [entry, code] : cases) {
    m.SelectSuit(entry);
    EXPECT_EQ(m.Code(), code) << PickGameModel::SuitEntry(entry);
  }
  EXPECT_STREQ(PickGameModel::SuitEntry(0), "Spades");
  EXPECT_STREQ(PickGameModel::SuitEntry(3), "Clubs");
}

TEST(PickGame, RankEntriesGiveDominoesCodes) {
  auto m = Opened({1, 1, 1, 1, 1, 1, 1});
  m.ClickBox(KindDominoes, true);
  m.SelectRank(0);
  EXPECT_EQ(m.Code(), 22);
  EXPECT_STREQ(PickGameModel::RankEntry(0), "Ace");
  m.SelectRank(12);
  EXPECT_EQ(m.Code(), 10);
  EXPECT_STREQ(PickGameModel::RankEntry(12), "Two");
}

TEST(PickGame, ListSelectionIgnoredForOtherKinds) {
  auto m = Opened({1, 1, 1, 1, 1, 1, 1});
  m.SelectSuit(HeartsEntry);
  m.SelectRank(3);
  m.ClickBox(KindMisere, true);
  EXPECT_EQ(m.Code(), Misere);
  m.ClickBox(KindZelbo, true);
  EXPECT_EQ(m.Code(), Zelbo);
  m.ClickBox(KindNoQueens, true);
  EXPECT_EQ(m.Code(), NoQueens);
  m.ClickBox(KindNoLastTwo, true);
  EXPECT_EQ(m.Code(), NoLastTwo);
}

TEST(PickGame, BoxesAreMutuallyExclusiveAndCanAllBeCleared) {
  auto m = Opened({1, 1, 1, 1, 1, 1, 1});
  m.ClickBox(KindTrumps, true);
  m.ClickBox(KindNoHearts, true);
  EXPECT_FALSE(m.checked(KindTrumps));
  EXPECT_TRUE(m.checked(KindNoHearts));
  m.ClickBox(KindNoHearts, false);
  for (int b = 0; b < 7; ++b) EXPECT_FALSE(m.checked(b));
  EXPECT_EQ(m.Code(), 0);
}

TEST(PickGame, ReopeningClearsChoicesAndSelections) {
  auto m = Opened({1, 1, 1, 1, 1, 1, 1});
  m.ClickBox(KindTrumps, true);
  m.SelectSuit(SpadesEntry);
  uint8_t row[7] = {1, 1, 0, 0, 1, 1, 1};
  m.Open(row);
  EXPECT_FALSE(m.checked(KindTrumps));
  EXPECT_EQ(m.suit(), PickGameModel::NoSelection);
  EXPECT_FALSE(m.enabled(KindMisere));
}

TEST(PickGame, OutOfRangeSelectionMeansNone) {
  auto m = Opened({1, 1, 1, 1, 1, 1, 1});
  m.ClickBox(KindTrumps, true);
  m.SelectSuit(4);
  EXPECT_EQ(m.Code(), 0);
}

}  // namespace
}  // namespace zelbo
