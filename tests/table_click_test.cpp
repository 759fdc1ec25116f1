#include "display/table_click.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <tuple>

#include "tests/table_fixture.h"

namespace zelbo {
namespace {

// Expects the hand slot (-1 for none) that each click {x, y, slot} hits.
void ExpectSlots(const TableView& v, std::initializer_list<std::array<int, 3>> clicks) {
  for (auto [x, y, slot] : clicks) {
    EXPECT_EQ(ClickTable(v, x, y).slot, slot) << x << "," << y << " spacing " << v.CardSpacing;
  }
}

TEST(TableClick, HitsTheCardsWhereTheyAreDrawn) {
  TableView v = Playing(West, Misere, East, West);
  for (int i = 0; i < 12; ++i) ExpectSlots(v, {{300 + 16 * i, 450, i}, {315 + 16 * i, 450, i}});
  // The last card over its whole width; nothing outside rows 400..497.
  ExpectSlots(v, {{492, 400, 12}, {565, 497, 12}, {566, 450, -1}, {299, 450, -1}, {400, 399, -1},
                  {400, 498, -1}});
  EXPECT_EQ(ClickTable(v, 565, 450).card, West + 4 * 12);
  v.CardSpacing = 73;
  ExpectSlots(v, {{-70, 450, 0}, {2, 450, 0}, {3, 450, 1}});
  v.CardSpacing = 0;  // all on one spot: only the last card counts
  ExpectSlots(v, {{404, 450, 12}, {477, 450, 12}});
  v.CardSpacing = INT32_MAX;  // 64-bit edges: slot 6's strip spans the middle
  ExpectSlots(v, {{450, 450, 6}});
  // A card before an empty slot counts whole, the lower slot where both do.
  v.CardSpacing = 16;
  v.game.hands[West][0] = 200;  // a byte that is no card is an empty slot
  v.game.hands[West][5] = v.game.hands[West][6] = NoCard;
  v.game.hands[West][12] = DomClosed;
  ExpectSlots(v, {{300, 450, -1}, {364, 450, 4}, {437, 450, 4}, {438, 450, 8}, {476, 450, 11},
                  {549, 450, 11}, {550, 450, -1}});
}

TEST(TableClick, OnlyTheLocalSeatPlaysOnItsTurn) {
  TableView v = Playing(North, Misere, East, North);
  v.game.phase = PhaseFirstLead;
  EXPECT_EQ(ClickTable(v, 300, 450).card, North);
  for (int phase : {PhaseIdle, PhaseChoosing, PhaseChoosingSuspended, PhasePlayingSuspended,
                    PhaseGameOver, PhaseFirstLeadSuspended}) {
    v.game.phase = phase;
    EXPECT_EQ(ClickTable(v, 300, 450).slot, -1) << phase;
  }
  v.game.phase = PhasePlaying;
  v.game.turn = East;
  EXPECT_EQ(ClickTable(v, 300, 450).slot, -1);
  for (int position = 4; position <= 8; ++position) {  // kibitzers never play,
    v.LocalPosition = v.game.turn = position;          // even if a mirror says so
    EXPECT_EQ(ClickTable(v, 300, 450).slot, -1) << position;
  }
}

TEST(TableClick, HiddenUndoSpotOnlyForThePrivilegedUser) {
  TableView v = Playing(West, Misere, East, West);
  EXPECT_FALSE(ClickTable(v, 400, 520).undo);
  v.Privileged = true;
  const std::tuple<int, int, bool> spots[] = {{350, 507, true},  {500, 550, true},
                                              {349, 520, false}, {501, 520, false},
                                              {400, 506, false}, {400, 551, false}};
  for (auto [x, y, hit] : spots) EXPECT_EQ(ClickTable(v, x, y).undo, hit) << x << "," << y;
  v.LocalPosition = TableView::WatchingAll;  // a privileged kibitzer keeps it
  EXPECT_TRUE(ClickTable(v, 400, 520).undo);
  v.LocalPosition = TableView::Unplaced;  // without a position nothing counts
  v.game.turn = -1;
  EXPECT_FALSE(ClickTable(v, 400, 520).undo);
  EXPECT_EQ(ClickTable(v, 300, 450).slot, -1);
}

}  // namespace
}  // namespace zelbo
