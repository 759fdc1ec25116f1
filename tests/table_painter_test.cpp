#include "display/table_painter.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "display/card_drawing.h"
#include "tests/recording_canvas.h"

namespace zelbo {
namespace {

const PaintRect Window{0, 0, 900, 720};

// A client seated at `position` with all four seats taken.
TableView ClientView(int position) {
  TableView v;
  v.role = TableRole::Client;
  v.LocalPosition = position;
  v.SeatHandles = {"Sam", "Wendy", "Nora", "Eddie"};
  v.SeatTaken = {true, true, true, true};
  v.Handle = v.SeatHandles[position % 4];
  return v;
}

// Full sorted hands: seat s holds the cards s, s + 4, s + 8, ...
void DealFullHands(GameState& g) {
  for (int s = 0; s < 4; ++s) {
    for (int i = 0; i < 13; ++i) g.hands[s][i] = static_cast<uint8_t>(s + 4 * i);
  }
}

void StartPlay(GameState& g, int contract, int dealer, int turn) {
  g.phase = PhasePlaying;
  g.dealNumber = 5;
  g.dealer = dealer;
  g.contract = contract;
  g.turn = turn;
  g.roundSteps = 4;
  DealFullHands(g);
}

RecordingCanvas Paint(const TableView& v) {
  RecordingCanvas canvas;
  PaintTable(v, Window, canvas);
  return canvas;
}

TEST(CardDrawing, WholeCardLeavesTheFourCornerPixelsOut) {
  RecordingCanvas c;
  DrawCard(c, 7, 100, 50);
  ASSERT_EQ(c.ops.size(), 3u);
  EXPECT_EQ(c.ops[0].rect.x, 1);
  EXPECT_EQ(c.ops[0].rect.width, 71);
  EXPECT_EQ(c.ops[0].rect.height, 1);
  EXPECT_EQ(c.ops[0].x, 101);
  EXPECT_EQ(c.ops[0].y, 50);
  EXPECT_EQ(c.ops[1].rect.width, 73);
  EXPECT_EQ(c.ops[1].rect.height, 95);
  EXPECT_EQ(c.ops[1].x, 100);
  EXPECT_EQ(c.ops[1].y, 51);
  EXPECT_EQ(c.ops[2].rect.y, 96);
  EXPECT_EQ(c.ops[2].rect.width, 71);
  EXPECT_EQ(c.ops[2].x, 101);
  EXPECT_EQ(c.ops[2].y, 146);
  for (const CanvasOp& op : c.ops) EXPECT_EQ(op.card, 7);
}

TEST(CardDrawing, StripCutsOnlyItsLeftCornersAndClampsItsWidth) {
  RecordingCanvas c;
  DrawCardStrip(c, 3, 0, 0, 16);
  ASSERT_EQ(c.ops.size(), 3u);
  EXPECT_EQ(c.ops[0].rect.width, 15);  // row 0, columns 1..15
  EXPECT_EQ(c.ops[1].rect.width, 16);
  EXPECT_EQ(c.ops[2].rect.width, 15);

  RecordingCanvas wide;
  DrawCardStrip(wide, 3, 0, 0, 500);  // never beyond the picture
  ASSERT_EQ(wide.ops.size(), 3u);
  EXPECT_EQ(wide.ops[1].rect.width, 73);
  EXPECT_EQ(wide.ops[0].rect.width, 71);

  RecordingCanvas none;
  DrawCardStrip(none, 3, 0, 0, 0);
  DrawCardStrip(none, 3, 0, 0, -5);
  DrawCard(none, NoCard, 0, 0);
  DrawCard(none, 200, 0, 0);
  EXPECT_TRUE(none.ops.empty());
}

TEST(TablePainter, WithoutRoleOnlyTheBackgroundIsFilled) {
  TableView v;
  v.BackgroundRed = 0x1FF;  // only the low 8 bits count
  v.BackgroundGreen = 10;
  v.BackgroundBlue = 0x120;
  v.LocalPosition = 0;
  DealFullHands(v.game);
  RecordingCanvas c;
  PaintTable(v, PaintRect{10, 20, 30, 40}, c);
  ASSERT_EQ(c.ops.size(), 1u);
  EXPECT_EQ(c.ops[0].kind, CanvasOp::Fill);
  EXPECT_EQ(c.ops[0].rect.x, 10);
  EXPECT_EQ(c.ops[0].rect.height, 40);
  EXPECT_EQ(c.ops[0].colour, (Rgb{255, 10, 0x20}));

  RecordingCanvas nothing;
  PaintTable(ClientView(0), PaintRect{0, 0, 0, 10}, nothing);
  EXPECT_TRUE(nothing.ops.empty());
}

TEST(TablePainter, StatusLines) {
  TableView v = ClientView(0);
  v.game.phase = PhaseIdle;
  v.game.dealer = West;
  RecordingCanvas idle = Paint(v);
  ASSERT_GE(idle.ops.size(), 3u);
  EXPECT_EQ(idle.ops[1].text, "Deal");
  EXPECT_EQ(idle.ops[1].x, 2);
  EXPECT_EQ(idle.ops[1].y, 2);
  EXPECT_EQ(idle.ops[2].text, "Dealer");
  EXPECT_EQ(idle.ops[2].y, 28);
  EXPECT_EQ(idle.TextAt(2, 54), nullptr);  // no contract yet

  v.game.phase = PhaseGameOver;
  v.game.dealNumber = 28;
  RecordingCanvas over = Paint(v);
  EXPECT_EQ(over.ops[1].text, "Deal 28");
  EXPECT_EQ(over.ops[2].text, "Dealer");

  StartPlay(v.game, FirstDominoes + 12, West, North);
  RecordingCanvas play = Paint(v);
  EXPECT_EQ(play.ops[1].text, "Deal 5");
  EXPECT_EQ(play.ops[2].text, "Dealer Wendy");
  ASSERT_NE(play.TextAt(2, 54), nullptr);
  EXPECT_EQ(play.TextAt(2, 54)->text, "Dominoes from the Ace");
  for (int i = 1; i <= 3; ++i) {
    EXPECT_EQ(play.ops[i].font, TableFont::Large);
    EXPECT_EQ(play.ops[i].colour, Black);
    EXPECT_EQ(play.ops[i].background, (Rgb{230, 230, 230}));
  }

  v.game.contract = 99;  // a mirror can hold any code: no name, no garbage
  EXPECT_EQ(Paint(v).TextAt(2, 54), nullptr);
}

TEST(TablePainter, FullHandAtDefaultSpacingSpans300To565) {
  TableView v = ClientView(0);
  StartPlay(v.game, Misere, East, West);
  const std::vector<DrawnCard> hand = Paint(v).CardsAtRow(400);
  ASSERT_EQ(hand.size(), 13u);
  for (int i = 0; i < 13; ++i) {
    EXPECT_EQ(hand[i].card, 4 * i);
    EXPECT_EQ(hand[i].x, 300 + 16 * i);
    EXPECT_EQ(hand[i].width, i < 12 ? 16 : 73);
  }
  EXPECT_EQ(hand[12].x + hand[12].width, 565);
}

TEST(TablePainter, SpacingOf73LaysTheCardsSideBySide) {
  TableView v = ClientView(0);
  v.CardSpacing = 73;
  StartPlay(v.game, Misere, East, West);
  const std::vector<DrawnCard> hand = Paint(v).CardsAtRow(400);
  ASSERT_EQ(hand.size(), 13u);
  for (int i = 0; i < 13; ++i) {
    EXPECT_EQ(hand[i].width, 73);
    EXPECT_EQ(hand[i].x, 404 + 73 * i - 474);
    if (i > 0) {
      EXPECT_EQ(hand[i].x, hand[i - 1].x + 73);  // touching, not overlapping
    }
  }
}

TEST(TablePainter, PlayedSlotsKeepTheHandInPlace) {
  TableView v = ClientView(0);
  StartPlay(v.game, Misere, East, West);
  v.game.hands[0][4] = NoCard;
  v.game.hands[0][12] = NoCard;
  v.game.hands[0][0] = 200;  // a byte that is no card is an empty slot
  const std::vector<DrawnCard> hand = Paint(v).CardsAtRow(400);
  ASSERT_EQ(hand.size(), 10u);
  EXPECT_EQ(hand[0].x, 316);
  EXPECT_EQ(hand[2].x, 348);       // slot 3, whole: slot 4 is empty
  EXPECT_EQ(hand[2].width, 73);
  EXPECT_EQ(hand[3].x, 380);       // slot 5
  EXPECT_EQ(hand[9].x, 476);       // slot 11 is now the last card
  EXPECT_EQ(hand[9].width, 73);
}

TEST(TablePainter, AbsurdSpacingsDrawWhatFitsAndNeverOverflow) {
  TableView v = ClientView(0);
  StartPlay(v.game, Misere, East, West);
  v.CardSpacing = INT32_MAX;
  for (const DrawnCard& c : Paint(v).CardsAtRow(400)) EXPECT_LE(c.width, 73);
  v.CardSpacing = 0;  // all cards on one spot, the last one whole on top
  const std::vector<DrawnCard> stacked = Paint(v).CardsAtRow(400);
  ASSERT_EQ(stacked.size(), 1u);
  EXPECT_EQ(stacked[0].card, 48);
  EXPECT_EQ(stacked[0].x, 404);
}

TEST(TablePainter, KibitzerOfOneSeatSeesThatSeatFromBelow) {
  TableView v = ClientView(4 + West);
  v.Handle = "Kim";
  StartPlay(v.game, FirstTrumps + Spades, South, North);
  v.game.tally[West] = 3;
  v.game.tally[North] = 1;
  v.game.tally[East] = 2;
  v.game.tally[South] = 4;
  RecordingCanvas c = Paint(v);
  const std::vector<DrawnCard> hand = c.CardsAtRow(400);
  ASSERT_EQ(hand.size(), 13u);
  EXPECT_EQ(hand[0].card, West);
  ASSERT_NE(c.TextAt(400, 507), nullptr);
  EXPECT_EQ(c.TextAt(400, 507)->text, "Wendy 3");  // the watched player, not "Kim"
  EXPECT_EQ(c.TextAt(50, 228)->text, "Nora 1");    // left of West sits North
  EXPECT_EQ(c.TextAt(400, 28)->text, "Eddie 2");
  EXPECT_EQ(c.TextAt(750, 228)->text, "4 Sam");    // the right-hand counter comes first
  EXPECT_EQ(c.TextAt(50, 228)->font, TableFont::LargeUnderlined);  // North to play
  EXPECT_TRUE(c.CardsAtRow(176).empty());  // no other hands
}

TEST(TablePainter, KibitzerOfAllSeesFourHands) {
  TableView v = ClientView(TableView::WatchingAll);
  StartPlay(v.game, NoQueens, South, West);
  v.game.tableCards[South] = 0;
  v.game.tableCards[West] = 1;
  v.game.tableCards[North] = 2;
  v.game.tableCards[East] = 3;
  RecordingCanvas c = Paint(v);

  const std::vector<DrawnCard> row176 = c.CardsAtRow(176);
  ASSERT_EQ(row176.size(), 26u);  // West and East hands; the trick moved to 206
  for (int i = 0; i < 13; ++i) {
    EXPECT_EQ(row176[i].x, 16 * i);
    EXPECT_EQ(row176[i].card, West + 4 * i);
    EXPECT_EQ(row176[13 + i].x, 650 + 16 * i);
    EXPECT_EQ(row176[13 + i].card, East + 4 * i);
    EXPECT_EQ(row176[i].width, i < 12 ? 16 : 73);
  }
  const std::vector<DrawnCard> north = c.CardsAtRow(8);
  ASSERT_EQ(north.size(), 13u);
  EXPECT_EQ(north[0].x, 300);
  EXPECT_EQ(north[12].x, 492);
  EXPECT_EQ(c.CardsAtRow(400).front().card, South);  // South at the bottom
  EXPECT_NE(c.TextAt(400, 48), nullptr);              // partner's name moves down
  EXPECT_EQ(c.TextAt(400, 28), nullptr);

  // The trick moves inwards, clear of the extra hands.
  const std::vector<DrawnCard> trick206 = c.CardsAtRow(206);
  ASSERT_EQ(trick206.size(), 2u);
  EXPECT_EQ(trick206[0].x, 325);
  EXPECT_EQ(trick206[0].card, 1);
  EXPECT_EQ(trick206[1].x, 475);
  ASSERT_EQ(c.CardsAtRow(132).size(), 1u);
  EXPECT_EQ(c.CardsAtRow(280).size(), 1u);
}

TEST(TablePainter, TrickAndLastTrickTurnWithTheViewer) {
  TableView v = ClientView(North);
  StartPlay(v.game, FirstTrumps, South, East);
  for (int s = 0; s < 4; ++s) {
    v.game.tableCards[s] = static_cast<uint8_t>(10 + s);
    v.game.tableCards[4 + s] = static_cast<uint8_t>(20 + s);
  }
  v.game.tableCards[West] = NoCard;  // West has not played yet
  RecordingCanvas c = Paint(v);
  const std::vector<DrawnCard> cards = c.Cards();
  auto at = [&](int x, int y) -> int {
    for (const DrawnCard& d : cards) {
      if (d.x == x && d.y == y) return d.card;
    }
    return -1;
  };
  EXPECT_EQ(at(400, 280), 10 + North);  // bottom: the viewer
  EXPECT_EQ(at(325, 176), 10 + East);   // left: North's LHO
  EXPECT_EQ(at(400, 72), 10 + South);
  EXPECT_EQ(at(475, 176), -1);          // West's NoCard is skipped
  // Last trick in miniature, in the order left strip, top part, right, bottom.
  std::vector<DrawnCard> last;
  for (const DrawnCard& d : cards) {
    if (d.x >= 700) last.push_back(d);
  }
  ASSERT_EQ(last.size(), 4u);
  EXPECT_EQ(last[0].card, 20 + East);
  EXPECT_EQ(last[0].x, 715);
  EXPECT_EQ(last[0].width, 36);
  EXPECT_EQ(last[1].card, 20 + South);
  EXPECT_EQ(last[1].x, 734);
  EXPECT_EQ(last[1].y, 375);
  EXPECT_EQ(last[1].rows, 60);
  EXPECT_EQ(last[2].card, 20 + West);
  EXPECT_EQ(last[2].x, 749);
  EXPECT_EQ(last[3].card, 20 + North);
  EXPECT_EQ(last[3].x, 727);
  EXPECT_EQ(last[3].y, 432);

  v.game.phase = PhaseFirstLead;  // the current trick shows only in play phases
  EXPECT_EQ(Paint(v).CardsAtRow(72).size(), 0u);
}

TEST(TablePainter, DominoesNeverShowTheOwnTrickCard) {
  TableView v = ClientView(South);
  StartPlay(v.game, FirstDominoes + 5, West, South);
  for (int s = 0; s < 4; ++s) v.game.tableCards[s] = static_cast<uint8_t>(s * 13 + 5);
  v.game.tableCards[8 + 2 * Hearts] = 2 * 13 + 3;      // Hearts: Five ..
  v.game.tableCards[8 + 2 * Hearts + 1] = 2 * 13 + 9;  // .. Jack
  v.game.tableCards[8 + 2 * Diamonds + 1] = 6;         // Seven and Eight
  v.game.tableCards[8 + 2 * Spades + 1] = DomClosed;   // not a card: nothing drawn
  RecordingCanvas c = Paint(v);
  for (const DrawnCard& d : c.Cards()) EXPECT_NE(d.card, 5) << d.x;  // own entry
  EXPECT_EQ(c.CardsAtRow(280).size(), 0u);
  const std::vector<DrawnCard> sides = c.CardsAtRow(260);
  ASSERT_EQ(sides.size(), 2u);
  EXPECT_EQ(sides[0].x, 70);
  EXPECT_EQ(sides[0].card, West * 13 + 5);
  EXPECT_EQ(sides[1].x, 730);
  EXPECT_EQ(c.CardsAtRow(72).front().card, North * 13 + 5);
  // Rows: highest card first, the lowest over it 16 pixels to the right.
  const std::vector<DrawnCard> rows = c.CardsAtRow(216);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].card, 2 * 13 + 9);
  EXPECT_EQ(rows[0].x, 350);
  EXPECT_EQ(rows[1].card, 2 * 13 + 3);
  EXPECT_EQ(rows[1].x, 366);
  EXPECT_EQ(rows[2].card, 6);
  EXPECT_EQ(rows[2].x, 550);
  for (const CanvasOp& op : c.ops) {
    if (op.kind == CanvasOp::Copy) {
      EXPECT_TRUE(IsCard(op.card));
    }
  }

  TableView all = ClientView(TableView::WatchingAll);
  all.game = v.game;
  RecordingCanvas ca = Paint(all);
  EXPECT_TRUE(ca.CardsAtRow(260).empty());
  EXPECT_TRUE(ca.CardsAtRow(72).empty());
}

TEST(TablePainter, CountersFollowTheirNamesExceptOnTheRight) {
  TableView v = ClientView(South);
  StartPlay(v.game, NoLastTwo, South, West);
  v.game.tally[West] = 7;
  RecordingCanvas uncounted = Paint(v);
  EXPECT_EQ(uncounted.TextAt(400, 507)->text, "Sam");
  EXPECT_EQ(uncounted.TextAt(750, 228)->text, "Eddie");

  v.game.contract = NoHearts;
  for (int s = 0; s < 4; ++s) v.game.tally[s] = static_cast<uint8_t>(s * 4);
  RecordingCanvas counted = Paint(v);
  EXPECT_EQ(counted.TextAt(400, 507)->text, "Sam 0");
  EXPECT_EQ(counted.TextAt(50, 228)->text, "Wendy 4");
  EXPECT_EQ(counted.TextAt(400, 28)->text, "Nora 8");
  EXPECT_EQ(counted.TextAt(750, 228)->text, "12 Eddie");

  v.game.phase = PhaseChoosingSuspended;
  v.game.dealer = North;
  v.game.turn = 1;
  v.game.doublesOwed[South] = 2;
  v.game.doublesOwed[West] = 1;
  v.game.doublesOwed[North] = 2;
  v.game.doublesOwed[East] = 0;
  RecordingCanvas choosing = Paint(v);
  EXPECT_EQ(choosing.TextAt(400, 507)->text, "Sam 2");
  EXPECT_EQ(choosing.TextAt(50, 228)->text, "Wendy 1");
  EXPECT_EQ(choosing.TextAt(400, 28)->text, "Nora");  // the dealer owes nothing
  EXPECT_EQ(choosing.TextAt(750, 228)->text, "0 Eddie");
}

TEST(TablePainter, PlayerToActIsUnderlinedAndDoublesColourTheNames) {
  TableView v = ClientView(South);
  v.game.phase = PhaseChoosing;
  v.game.dealNumber = 3;
  v.game.dealer = West;
  v.game.turn = 2;  // East decides
  v.game.doubleFactor[West][South] = 2;
  v.game.doubleFactor[North][South] = 4;
  v.game.doubleFactor[East][West] = 2;  // not between East and the viewer
  RecordingCanvas c = Paint(v);
  EXPECT_EQ(c.TextAt(750, 228)->font, TableFont::LargeUnderlined);
  EXPECT_EQ(c.TextAt(750, 228)->colour, Black);
  EXPECT_EQ(c.TextAt(50, 228)->font, TableFont::Large);
  EXPECT_EQ(c.TextAt(50, 228)->colour, Red);
  EXPECT_EQ(c.TextAt(400, 28)->colour, Magenta);
  EXPECT_EQ(c.TextAt(400, 507)->colour, Black);

  v.game.phase = PhaseFirstLead;
  v.game.turn = South;
  RecordingCanvas lead = Paint(v);
  EXPECT_EQ(lead.TextAt(400, 507)->font, TableFont::LargeUnderlined);
  EXPECT_EQ(lead.TextAt(750, 228)->font, TableFont::Large);
  EXPECT_EQ(lead.TextAt(50, 228)->colour, Red);

  v.game.phase = PhaseIdle;  // between games nobody acts and nothing is doubled
  RecordingCanvas idle = Paint(v);
  for (const CanvasOp& t : idle.Texts()) {
    EXPECT_EQ(t.font, TableFont::Large) << t.text;
    EXPECT_EQ(t.colour, Black) << t.text;
  }
}

TEST(TablePainter, DoublingTextsStandAtTheActorsPlace) {
  TableView v = ClientView(East);
  GameState& g = v.game;
  g.phase = PhaseChoosing;
  g.dealNumber = 6;
  g.dealer = North;
  g.turn = 3;  // contract, North's LHO and OO have decided
  g.dealDecisions[6][0] = Misere;
  g.dealDecisions[6][1] = 4;  // East doubles its RHO, North
  g.dealDecisions[6][2] = 0;  // South passes
  g.dealDecisions[6][3] = 0;  // not yet shown: step 3 is pending
  RecordingCanvas c = Paint(v);
  // Seen from East: North sits right (600), East bottom (350, 340), South left (50).
  ASSERT_NE(c.TextAt(600, 260), nullptr);
  EXPECT_EQ(c.TextAt(600, 260)->text, "Misere");
  EXPECT_EQ(c.TextAt(350, 340)->text, "Double Nora");
  EXPECT_EQ(c.TextAt(350, 340)->colour, Red);
  EXPECT_EQ(c.TextAt(50, 260)->text, "Pass");
  EXPECT_EQ(c.TextAt(50, 260)->colour, Green);
  EXPECT_EQ(c.TextAt(350, 60), nullptr);

  g.phase = PhaseFirstLeadSuspended;
  g.roundSteps = 5;
  g.dealDecisions[6][4] = 9;  // North redoubles its LHO, East
  RecordingCanvas lead = Paint(v);
  EXPECT_EQ(lead.TextAt(350, 60)->text, "Pass");  // West, at the top
  ASSERT_NE(lead.TextAt(600, 286), nullptr);      // the dealer's second line
  EXPECT_EQ(lead.TextAt(600, 286)->text, "Redouble Eddie");
  EXPECT_EQ(lead.TextAt(600, 286)->font, TableFont::Large);

  g.phase = PhasePlaying;
  DealFullHands(g);
  RecordingCanvas play = Paint(v);
  EXPECT_EQ(play.TextAt(775, 50)->text, "Misere");
  EXPECT_EQ(play.TextAt(775, 50)->font, TableFont::Small);
  EXPECT_EQ(play.TextAt(675, 95)->text, "Double Nora");
  EXPECT_EQ(play.TextAt(575, 50)->text, "Pass");
  EXPECT_EQ(play.TextAt(675, 5)->text, "Pass");
  EXPECT_EQ(play.TextAt(775, 64)->text, "Redouble Eddie");
  EXPECT_EQ(play.TextAt(350, 340), nullptr);

  TableView all = ClientView(TableView::WatchingAll);
  all.game = g;
  all.game.phase = PhaseFirstLead;
  EXPECT_EQ(Paint(all).TextAt(350, 80)->text, "Misere");  // North's own top line moved down
}

TEST(TablePainter, HostileMirrorValuesDrawNothingOutOfRange) {
  TableView v = ClientView(South);
  GameState& g = v.game;
  g.phase = PhaseFirstLead;
  g.dealNumber = 1000;
  g.dealer = -77;
  g.turn = 99;
  g.roundSteps = 1000;
  g.contract = 255;
  std::memset(g.hands, 0xEE, sizeof g.hands);
  std::memset(g.tableCards, 0xEE, sizeof g.tableCards);
  RecordingCanvas c = Paint(v);
  EXPECT_TRUE(c.Cards().empty());
  g.dealNumber = 28;
  g.phase = PhasePlaying;
  EXPECT_EQ(Paint(v).Texts().size(), 2u + 4u);  // deal, dealer and the four names
}

TEST(TablePainter, UnseatedViewerSeesOnlyTheNames) {
  TableView v = ClientView(0);
  v.LocalPosition = TableView::Unplaced;
  v.SeatTaken = {false, true, false, true};
  StartPlay(v.game, FirstTrumps, South, West);
  v.game.doubleFactor[East][East] = 2;  // colour of a seat seen from itself
  v.game.tableCards[4] = 1;
  RecordingCanvas c = Paint(v);
  EXPECT_TRUE(c.Cards().empty());
  EXPECT_EQ(c.TextAt(400, 428)->text, "Sam");
  EXPECT_EQ(c.TextAt(50, 228)->text, "Wendy");
  EXPECT_EQ(c.TextAt(400, 28), nullptr);
  EXPECT_EQ(c.TextAt(750, 228)->text, "Eddie");
  EXPECT_EQ(c.TextAt(750, 228)->colour, Red);
  EXPECT_EQ(c.Texts().size(), 3u + 3u);
}

TEST(TablePainter, ServerNamesComeFromItsConnections) {
  TableView v;
  v.role = TableRole::Server;
  v.LocalPosition = South;
  v.Handle = "Host";
  v.SeatOccupant = {TableView::ServerUser, 3, TableView::EmptySeat, 0};
  v.SeatHandles = {"", "Wendy", "stale", "Eddie"};
  StartPlay(v.game, FirstTrumps, North, South);
  v.game.phase = PhasePlayingSuspended;  // North left
  RecordingCanvas c = Paint(v);
  EXPECT_EQ(c.ops[2].text, "Dealer crashee");
  EXPECT_EQ(c.TextAt(400, 507)->text, "Host 0");
  EXPECT_EQ(c.TextAt(400, 507)->font, TableFont::LargeUnderlined);
  EXPECT_EQ(c.TextAt(50, 228)->text, "Wendy 0");
  EXPECT_EQ(c.TextAt(400, 28), nullptr);
  EXPECT_EQ(c.TextAt(750, 228)->text, "0 Eddie");
}

}  // namespace
}  // namespace zelbo
