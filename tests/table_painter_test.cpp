// The table painter, recorded as one line per drawing operation.
#include "display/table_painter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "display/decision_words.h"
#include "tests/table_fixture.h"

namespace zelbo {
namespace {

using Lines = std::vector<std::string>;
using std::to_string;

// A card with its top-left corner at (x, y), and the columns and rows it
// shows when it is not whole (a whole card's last row is copied apart).
std::string Card(int card, int x, int y, int width = 73, int rows = 96) {
  return to_string(x) + "," + to_string(y) + " #" + to_string(card) +
         (width != 73 ? " w" + to_string(width) : "") + (rows != 96 ? " h" + to_string(rows) : "");
}

// Lines: "fill x,y,width,height,red,green,blue"; "x,y:text" with {flags} for
// the underlined (_) or small (s) font and red (r), magenta (m) or green (g);
// cards as Card() writes them, told by the copy of their body.
struct Recorder : Canvas {
  void FillRect(const PaintRect& r, Rgb c) override {
    ops.push_back("fill " + to_string(r.x) + "," + to_string(r.y) + "," + to_string(r.width) + "," +
                  to_string(r.height) + "," + to_string(c.red) + "," + to_string(c.green) + "," +
                  to_string(c.blue));
    table = c;
  }
  void DrawText(int x, int y, std::string_view text, TableFont f, Rgb c, Rgb back) override {
    std::string flags = f == TableFont::LargeUnderlined ? "_" : f == TableFont::Small ? "s" : "";
    flags += c == Red ? "r" : c == Magenta ? "m" : c == Green ? "g" : c == Black ? "" : "?";
    ops.push_back(to_string(x) + "," + to_string(y) + ":" + std::string(text) +
                  (flags.empty() ? "" : " {" + flags + "}"));
    faults += back != table;  // texts stand opaque on the table colour
  }
  void CopyCard(int card, const PaintRect& s, int x, int y) override {
    faults += !IsCard(card) || s.x < 0 || s.y < 0 || s.x + s.width > 73 || s.y + s.height > 97;
    if (s.y != 1) return;  // the body
    rows[y - 1].push_back(ops.emplace_back(Card(card, x, y - 1, s.width, s.height + 1)));
  }
  const std::string* Find(const std::string& prefix) const {  // the first line so starting
    for (const std::string& op : ops)
      if (op.rfind(prefix, 0) == 0) return &op;
    return nullptr;
  }
  Lines ops;
  std::map<int, Lines> rows;  // the cards by their top edge
  Rgb table;
  int faults = 0;
};

// Whether the lines hold `facts` in this order; "!prefix" wants no line starting so.
testing::AssertionResult Has(const Recorder& c, std::initializer_list<std::string> facts) {
  auto from = c.ops.begin();
  for (const std::string& f : facts) {
    if (f[0] == '!' ? c.Find(f.substr(1)) != nullptr
                    : (from = std::find(from, c.ops.end(), f)) == c.ops.end())
      return testing::AssertionFailure() << "wrong: " << f;
    if (f[0] != '!') ++from;
  }
  return testing::AssertionSuccess();
}

// The four names from the bottom clockwise: "own|left|top|right|".
std::string Names(const Recorder& c) {
  std::string out;
  for (std::string at : {"400,507:", "50,228:", "400,28:", "750,228:"})
    out += (c.Find(at) ? c.Find(at)->substr(at.size()) : "") + "|";
  return out;
}

// A full hand of Playing() for `seat`, laid out from x at `step`.
Lines Hand(int seat, int x, int y, int step = 16) {
  Lines out;
  for (int i = 0; i < 13; ++i)
    out.push_back(Card(seat + 4 * i, x + step * i, y, i < 12 ? std::min(step, 73) : 73));
  return out;
}

Recorder Paint(const TableView& v, PaintRect area = {0, 0, 900, 720}) {
  Recorder c;
  PaintTable(v, area, c);
  EXPECT_EQ(c.faults, 0);
  return c;
}

TEST(TablePainter, WithoutRoleOnlyTheBackgroundWithoutSeatOnlyNames) {
  TableView v = Playing(South);
  v.open = false;
  v.backgroundRed = 0x1FF;  // only the low 8 bits count
  EXPECT_EQ(Paint(v, {10, 20, 30, 40}).ops, (Lines{"fill 10,20,30,40,255,230,230"}));
  v.open = true;
  EXPECT_TRUE(Paint(v, {0, 0, 0, 10}).ops.empty());  // nothing to update
  v.localPosition = NoPosition;  // unseated: the taken seats' names, no cards
  v.seatTaken = {true, true, false, true};
  const Recorder c = Paint(v);
  EXPECT_EQ(Lines(c.ops.begin() + 4, c.ops.end()),
            (Lines{"400,428:Sam", "50,228:Wendy", "750,228:Eddie"}));
}

TEST(TablePainter, StatusLinesComeFirst) {
  TableView v = Playing(South, 0, West);
  const std::tuple<Phase, int, int, Lines> cases[] = {
      {PhasePlaying, 5, FirstDominoes + 12,
       {"2,2:Deal 5", "2,28:Dealer Wendy", "2,54:Dominoes from the Ace"}},
      {PhaseIdle, 0, 0, {"2,2:Deal", "2,28:Dealer", "400,507:Sam"}},  // no contract line
      {PhaseGameOver, 28, 99, {"2,2:Deal 28", "2,28:Dealer", "400,507:Sam"}}};  // nor a bad one
  for (const auto& [phase, deal, contract, want] : cases) {
    v.game.phase = phase, v.game.dealNumber = deal, v.game.contract = contract;
    const Recorder c = Paint(v);
    EXPECT_EQ(Lines(c.ops.begin() + 1, c.ops.begin() + 4), want);
  }
}

TEST(TablePainter, OwnHandAtAnySpacing) {
  TableView v = Playing(South);
  for (int spacing : {16, 73, 90}) {  // x 300..565 at 16; side by side at 73
    v.cardSpacing = spacing;
    EXPECT_EQ(Paint(v).rows[400], Hand(South, 404 - 13 * spacing / 2, 400, spacing));
  }
  v.cardSpacing = 0;  // all on one spot, the last card whole on top
  EXPECT_EQ(Paint(v).rows[400], (Lines{Card(48, 404, 400)}));
  v.cardSpacing = INT32_MAX;  // far off any screen; no overflow brings it back
  EXPECT_TRUE(Paint(v).rows[400].empty());
}

TEST(TablePainter, KibitzersSeeOneSeatFromBelowOrAllFourHandsAndTricksTurn) {
  TableView v = Playing(4 + West, NoQueens, South, North);
  Recorder c = Paint(v);
  EXPECT_EQ(c.rows[400], Hand(West, 300, 400));
  EXPECT_EQ(Names(c) + to_string(c.rows.size()), "Wendy 2|Nora 3 {_}|Eddie 4|1 Sam|1")
      << "the watched player's name at the bottom; no other hands";
  v.localPosition = KibitzAll;
  for (int s = 0; s < 4; ++s) v.game.tableCards[s] = static_cast<uint8_t>(s);
  c = Paint(v);
  Lines sides = Hand(West, 0, 176), east = Hand(East, 650, 176);
  sides.insert(sides.end(), east.begin(), east.end());
  EXPECT_TRUE(c.rows[176] == sides && c.rows[8] == Hand(North, 300, 8));
  EXPECT_EQ(Names(c), "Sam 1|Wendy 2||4 Eddie|");  // North's name moves below its hand
  EXPECT_TRUE(Has(c, {"400,48:Nora 3 {_}", "400,280 #0", "325,206 #1", "400,132 #2",
                      "475,206 #3"}));
  v = Playing(North, FirstTrumps, South, East);  // trick and last trick turn with the viewer
  const uint8_t cards[8] = {10, NoCard, 12, 13, 20, 21, 22, 23};  // West yet to play
  std::memcpy(v.game.tableCards, cards, 8);
  EXPECT_TRUE(Has(Paint(v), {"400,280 #12", "325,176 #13", "400,72 #10", "!475,176",  // last:
                             "715,400 #23 w36", "734,375 #20 h60", "749,400 #21", "727,432 #22"}));
}

TEST(TablePainter, DominoesNeverShowTheOwnTrickCard) {
  TableView v = Playing(South, FirstDominoes + 5, West, South);
  // Each seat's last card (the Sevens), then the rows' low and high ends by suit:
  // Diamonds only the Eight, Hearts Five to Jack, Spades closed (no card to draw).
  const uint8_t t[16] = {5, 18, 31, 44, NoCard, NoCard, NoCard, NoCard,
                         NoCard, 6, NoCard, NoCard, 29, 35, NoCard, DomClosed};
  std::memcpy(v.game.tableCards, t, 16);
  EXPECT_TRUE(Has(Paint(v), {"70,260 #18", "400,72 #31", "730,260 #44", "350,216 #35",
                             "366,216 #29", "550,216 #6", "!400,280"}));  // the Jack first
  v.localPosition = KibitzAll;  // no trick at all
  EXPECT_TRUE(Has(Paint(v), {"350,216 #35", "!70,260", "!400,72", "!730,260"}));
}

TEST(TablePainter, NamesWithCountersUnderlineAndDoublingColours) {
  TableView v = Playing(South, NoLastTwo, West, West);
  GameState& g = v.game;
  EXPECT_EQ(Names(Paint(v)), "Sam|Wendy {_}|Nora|Eddie|");  // no tricks counted here
  g.contract = NoHearts;  // the right-hand counter stands before the name
  EXPECT_EQ(Names(Paint(v)), "Sam 1|Wendy 2 {_}|Nora 3|4 Eddie|");
  g.phase = PhaseChoosing, g.turn = 2;  // East decides; owed doubles count, not the dealer's
  const uint8_t owed[4] = {2, 1, 2, 0};
  std::memcpy(g.doublesOwed, owed, sizeof owed);
  g.doubleFactor[West][South] = 2, g.doubleFactor[North][South] = 4;
  EXPECT_EQ(Names(Paint(v)), "Sam 2|Wendy {r}|Nora 2 {m}|0 Eddie {_}|");
  g.phase = PhaseFirstLead, g.turn = South;
  EXPECT_EQ(Names(Paint(v)), "Sam {_}|Wendy {r}|Nora {m}|Eddie|");
  g.phase = PhaseIdle;  // between games nobody acts and nothing is doubled
  EXPECT_EQ(Names(Paint(v)), "Sam|Wendy|Nora|Eddie|");
}

TEST(TablePainter, DoublingTextsStandAtTheActorsPlace) {
  TableView v = Playing(East, Misere, North, 3);  // seen from East: North right, South left
  GameState& g = v.game;
  g.phase = PhaseChoosing;  // the contract, North's LHO and OO have decided
  const uint8_t decisions[5] = {Misere, 4, 0, 0, 9};  // East doubles North, South passes,
  std::memcpy(g.dealDecisions[5], decisions, 5);      // West passes, North redoubles East
  EXPECT_TRUE(Has(Paint(v), {"600,260:Misere", "350,340:Double Nora {r}", "50,260:Pass {g}",
                             "!350,60:"}));
  g.phase = PhaseFirstLeadSuspended, g.roundSteps = 5;  // dealer's 2nd line lower
  EXPECT_TRUE(Has(Paint(v), {"350,60:Pass {g}", "600,286:Redouble Eddie {r}"}));
  g.phase = PhasePlaying;  // small, in a block at the top right
  EXPECT_TRUE(Has(Paint(v), {"775,50:Misere {s}", "675,95:Double Nora {sr}", "575,50:Pass {sg}",
                             "675,5:Pass {sg}", "775,64:Redouble Eddie {sr}", "!350,340:"}));
  v.localPosition = KibitzAll, g.phase = PhaseFirstLead;  // North's lower
  EXPECT_TRUE(Has(Paint(v), {"350,80:Misere"}));
  // An empty seat's name shows in the decision texts but not beside the table.
  v.localPosition = South;
  v.seatNames = {"Host", "Wendy", "crashee", "Eddie"}, v.seatTaken = {true, true, false, true};
  std::string text;
  EXPECT_EQ(DecisionWords(v, 1, text), Red);
  EXPECT_EQ(text, "Double crashee");
  EXPECT_EQ(DecisionWords(v, 4, text), Red);
  EXPECT_EQ(text, "Redouble Eddie");
  EXPECT_EQ(Names(Paint(v)), "Host|Wendy||Eddie {_}|");
}

TEST(TablePainter, HostileMirrorValuesDrawNothingOutOfRange) {
  TableView v = Playing(South, 255, -77, 99);
  v.game.dealNumber = v.game.roundSteps = 1000;
  std::memset(v.game.hands, 0xEE, sizeof v.game.hands);
  std::memset(v.game.tableCards, 0xEE, sizeof v.game.tableCards);
  for (Phase phase : {PhaseFirstLead, PhasePlaying, PhaseChoosing})  // only background, status, names
    EXPECT_EQ((v.game.phase = phase, Paint(v).ops.size()), 7u) << phase;
}

}  // namespace
}  // namespace zelbo
