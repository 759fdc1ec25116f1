#include "display/table_click.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <tuple>

#include "tests/table_fixture.h"

namespace zelbo {
namespace {

TEST(TableClick, HitsTheCardsWhereTheyAreDrawn) {
  TableView v = Playing(West, Misere, East, West);
  // {spacing, x, y, slot}: strips, the last card over its whole width, rows
  // 400..497 only; side by side; one spot; edges computed in 64 bits.
  const std::array<int, 4> clicks[] = {
      {16, 300, 450, 0},   {16, 315, 450, 0},   {16, 316, 450, 1},       {16, 491, 450, 11},
      {16, 492, 400, 12},  {16, 565, 497, 12},  {16, 566, 450, -1},      {16, 299, 450, -1},
      {16, 400, 399, -1},  {16, 400, 498, -1},  {73, -70, 450, 0},       {73, 2, 450, 0},
      {73, 3, 450, 1},     {0, 404, 450, 12},   {0, 477, 450, 12},       {INT32_MAX, 450, 450, 6}};
  for (auto [spacing, x, y, slot] : clicks) {
    v.cardSpacing = spacing;
    EXPECT_EQ(ClickTable(v, x, y).slot, slot) << x << "," << y << " spacing " << spacing;
  }
  // A card before an empty slot counts whole, the lower slot where both do.
  v.cardSpacing = 16;
  v.game.hands[West][0] = 200;  // a byte that is no card is an empty slot
  v.game.hands[West][5] = v.game.hands[West][6] = NoCard;
  v.game.hands[West][12] = DomClosed;
  const std::array<int, 2> gapped[] = {{300, -1}, {364, 4},  {437, 4}, {438, 8},
                                       {476, 11}, {549, 11}, {550, -1}};
  for (auto [x, slot] : gapped) EXPECT_EQ(ClickTable(v, x, 450).slot, slot) << x;
}

TEST(TableClick, OnlyOnTheLocalSeatsTurnAndTheUndoSpotOnlyWhenPrivileged) {
  TableView v = Playing(North, Misere, East, North);
  v.game.phase = PhaseFirstLead;
  EXPECT_EQ(ClickTable(v, 300, 450).card, North);
  for (Phase phase : {PhaseIdle, PhaseChoosing, PhaseChoosingSuspended, PhasePlayingSuspended,
                    PhaseGameOver, PhaseFirstLeadSuspended}) {
    v.game.phase = phase;
    EXPECT_EQ(ClickTable(v, 300, 450).slot, -1) << phase;
  }
  v.game.phase = PhasePlaying, v.game.turn = East;
  EXPECT_EQ(ClickTable(v, 300, 450).slot, -1);
  EXPECT_FALSE(ClickTable(v, 400, 520).undo);
  v.privileged = true;
  const std::tuple<int, int, bool> spots[] = {{350, 507, true},  {500, 550, true},
                                              {349, 520, false}, {501, 520, false},
                                              {400, 506, false}, {400, 551, false}};
  for (auto [x, y, hit] : spots) EXPECT_EQ(ClickTable(v, x, y).undo, hit) << x << "," << y;
  for (int position = 4; position <= 8; ++position) {  // kibitzers never play, even if a
    v.localPosition = v.game.turn = position;          // mirror says so; they keep the spot
    EXPECT_EQ(ClickTable(v, 300, 450).slot, -1) << position;
    EXPECT_TRUE(ClickTable(v, 400, 520).undo);
  }
  v.localPosition = v.game.turn = NoPosition;  // without a position nothing counts
  EXPECT_TRUE(ClickTable(v, 300, 450).slot == -1 && !ClickTable(v, 400, 520).undo);
}

}  // namespace
}  // namespace zelbo
