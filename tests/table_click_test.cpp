#include "display/table_click.h"

#include <gtest/gtest.h>

#include <climits>

namespace zelbo {
namespace {

// A client seated at `seat` on its turn in play, holding a full hand of
// cards 0..12.
TableView PlayerOnTurn(int seat) {
  TableView v;
  v.role = TableRole::Client;
  v.LocalPosition = seat;
  v.game.phase = PhasePlaying;
  v.game.turn = seat;
  for (int i = 0; i < 13; ++i) v.game.hands[seat][i] = static_cast<uint8_t>(i);
  return v;
}

int CardAt(const TableView& v, int x, int y) { return ClickTable(v, x, y).card; }

TEST(TableClick, FullHandAtDefaultSpacing) {
  const TableView v = PlayerOnTurn(West);
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(CardAt(v, 300 + 16 * i, 450), i);
    EXPECT_EQ(CardAt(v, 315 + 16 * i, 450), i);
  }
  EXPECT_EQ(CardAt(v, 492, 400), 12);
  EXPECT_EQ(CardAt(v, 565, 497), 12);  // the last card over its whole width
  EXPECT_EQ(CardAt(v, 566, 450), NoCard);
  EXPECT_EQ(CardAt(v, 299, 450), NoCard);
  EXPECT_EQ(CardAt(v, 400, 399), NoCard);
  EXPECT_EQ(CardAt(v, 400, 498), NoCard);
  EXPECT_EQ(ClickTable(v, 300, 450).slot, 0);
}

TEST(TableClick, CardBeforeAGapCountsOverItsWholeWidth) {
  TableView v = PlayerOnTurn(South);
  v.game.hands[South][5] = NoCard;
  v.game.hands[South][6] = NoCard;
  v.game.hands[South][12] = NoCard;
  // Slot 4 (left edge 364) is whole now; slot 7 starts at 412 underneath it.
  EXPECT_EQ(CardAt(v, 364, 450), 4);
  EXPECT_EQ(CardAt(v, 411, 450), 4);
  EXPECT_EQ(CardAt(v, 437, 450), 4);  // the lower slot wins where both count
  EXPECT_EQ(CardAt(v, 438, 450), 8);
  EXPECT_EQ(CardAt(v, 476, 450), 11);  // slot 11 is now the last card
  EXPECT_EQ(CardAt(v, 549, 450), 11);
  EXPECT_EQ(CardAt(v, 550, 450), NoCard);
}

TEST(TableClick, OtherSpacings) {
  TableView v = PlayerOnTurn(South);
  v.CardSpacing = 73;
  EXPECT_EQ(CardAt(v, -70, 450), 0);
  EXPECT_EQ(CardAt(v, 2, 450), 0);
  EXPECT_EQ(CardAt(v, 3, 450), 1);
  v.CardSpacing = 0;  // everything on one spot: only the last card counts
  EXPECT_EQ(CardAt(v, 404, 450), 12);
  EXPECT_EQ(CardAt(v, 477, 450), 12);
  v.CardSpacing = INT32_MAX;  // 64-bit edges: slot 6's strip spans the middle
  EXPECT_EQ(CardAt(v, 450, 450), 6);
}

TEST(TableClick, OnlyTheLocalSeatsTurnInPlayPhases) {
  TableView v = PlayerOnTurn(North);
  v.game.phase = PhaseFirstLead;
  EXPECT_EQ(CardAt(v, 300, 450), 0);
  for (int phase : {PhaseIdle, PhaseChoosing, PhaseChoosingSuspended, PhasePlayingSuspended,
                    PhaseGameOver, PhaseFirstLeadSuspended}) {
    v.game.phase = phase;
    EXPECT_EQ(CardAt(v, 300, 450), NoCard) << phase;
  }
  v.game.phase = PhasePlaying;
  v.game.turn = East;
  EXPECT_EQ(CardAt(v, 300, 450), NoCard);
}

TEST(TableClick, KibitzersNeverPlay) {
  for (int position = 4; position <= 8; ++position) {
    TableView v = PlayerOnTurn(South);
    v.LocalPosition = position;
    v.game.turn = position;  // even a mirror that says so
    EXPECT_EQ(CardAt(v, 300, 450), NoCard) << position;
  }
}

TEST(TableClick, UnplacedViewerClicksAreIgnoredEvenOnTheUndoSpot) {
  TableView v = PlayerOnTurn(South);
  v.role = TableRole::Server;
  v.Privileged = true;
  v.LocalPosition = TableView::Unplaced;
  v.game.turn = -1;
  const TableClick click = ClickTable(v, 400, 520);
  EXPECT_FALSE(click.undo);
  EXPECT_EQ(click.slot, -1);
  EXPECT_EQ(CardAt(v, 300, 450), NoCard);
}

TEST(TableClick, HiddenUndoSpotOnlyForThePrivilegedUser) {
  TableView v = PlayerOnTurn(West);
  v.game.phase = PhaseChoosing;
  EXPECT_FALSE(ClickTable(v, 400, 520).undo);
  v.Privileged = true;
  EXPECT_TRUE(ClickTable(v, 350, 507).undo);
  EXPECT_TRUE(ClickTable(v, 500, 550).undo);
  EXPECT_FALSE(ClickTable(v, 349, 520).undo);
  EXPECT_FALSE(ClickTable(v, 501, 520).undo);
  EXPECT_FALSE(ClickTable(v, 400, 506).undo);
  EXPECT_FALSE(ClickTable(v, 400, 551).undo);
  v.LocalPosition = TableView::WatchingAll;  // a privileged kibitzer still has the spot
  EXPECT_TRUE(ClickTable(v, 400, 520).undo);
}

TEST(TableClick, BytesThatAreNoCardsAreEmptySlots) {
  TableView v = PlayerOnTurn(South);
  v.game.hands[South][0] = 200;
  v.game.hands[South][12] = DomClosed;
  EXPECT_EQ(CardAt(v, 300, 450), NoCard);
  EXPECT_EQ(CardAt(v, 476, 450), 11);
  EXPECT_EQ(CardAt(v, 549, 450), 11);  // slot 11 counts whole: nothing lies right of it
}

}  // namespace
}  // namespace zelbo
