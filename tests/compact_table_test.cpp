// The compact table, painted into a map of which card owns each pixel: its
// own hand is hit exactly where it is painted, each card leaves a finger's
// room, and nothing it draws collides, at phone and larger sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "display/compact_layout.h"
#include "display/table_click.h"
#include "display/table_layout.h"
#include "display/table_painter.h"
#include "tests/table_fixture.h"

namespace zelbo {
namespace {

struct Text {
  PaintRect at;
  std::string text;
  TableFont font;
  Rgb background;
};

struct PixelCanvas : Canvas {
  explicit PixelCanvas(TableSize s) : size(s), owner(static_cast<std::size_t>(s.width * s.height), -1) {}
  void FillRect(const PaintRect&, Rgb) override {}
  void DrawText(int x, int y, std::string_view text, TableFont font, Rgb, Rgb back) override {
    const std::string s(text);
    texts.push_back({{x, y, CharCount(s) * FaceMetrics(font).averageWidth, FaceMetrics(font).lineHeight},
                     s, font, back});
  }
  void CopyCard(int card, const PaintRect& s, int x, int y) override {
    for (int row = y; row < y + s.height; ++row) {
      for (int col = x; col < x + s.width; ++col) {
        if (col < 0 || row < 0 || col >= size.width || row >= size.height) {
          ++outside;
        } else {
          owner[static_cast<std::size_t>(row * size.width + col)] = card;
        }
      }
    }
  }
  int At(int x, int y) const { return owner[static_cast<std::size_t>(y * size.width + x)]; }
  TableSize size;
  std::vector<int> owner;
  std::vector<Text> texts;
  int outside = 0;
};

bool Overlap(const PaintRect& a, const PaintRect& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

TableView Compact(int width, int height) {
  TableView v = Playing(South, Misere, East, South);
  v.layout = TableLayout::Compact, v.compactWidth = width, v.compactHeight = height;
  v.seatNames = {"Sam", "A rather long handle for West", "Nora", "Eddie"};
  return v;
}

TEST(CompactTable, TheOwnHandIsHitWherePaintedWithAFingersRoomPerCard) {
  const TableSize sizes[] = {{390, 780}, {844, 330}, {320, 280}, {1600, 1600}, {100, 5000}};
  for (const TableSize requested : sizes) {
    for (const bool fewRaised : {false, true}) {
      TableView v = Compact(requested.width, requested.height);
      if (fewRaised) {  // five cards left, with gaps, and one chosen
        for (const int slot : {0, 2, 3, 6, 7, 9, 10, 11}) v.game.hands[South][slot] = NoCard;
        v.raisedSlot = 8;
      }
      const TableSize size = LayoutSize(v);
      ASSERT_EQ(size.width, std::clamp(requested.width, MinCompactWidth, MaxCompactWidth));
      ASSERT_GE(size.height, std::min(requested.height, MaxCompactHeight));
      PixelCanvas c(size);
      PaintTable(v, {0, 0, size.width, size.height}, c);
      EXPECT_EQ(c.outside, 0);
      const HandPlaces hand = TableHandPlaces(v);
      ASSERT_EQ(hand.count, fewRaised ? 5 : 13);
      const std::string where = std::to_string(size.width) + "x" + std::to_string(size.height);
      // Only the cards' cut corners (a pixel each) may be hit but not painted.
      int cutCorners = 0;
      for (int y = CompactHandTop(v); y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
          const int slot = HandSlotAt(v, x, y);
          cutCorners += (slot >= 0 ? v.game.hands[South][slot] : -1) != c.At(x, y);
        }
      }
      EXPECT_LE(cutCorners, 4 * hand.count) << where;
      for (int k = 0; k < hand.count; ++k) {
        const HandPlace& p = hand.places[static_cast<std::size_t>(k)];
        const PaintRect& r = p.visible;
        // The visible part is the card's own, and is what a tap in its middle hits.
        EXPECT_EQ(c.At(r.x + r.width / 2, r.y + r.height / 2), v.game.hands[South][p.slot]) << where;
        EXPECT_EQ(ClickTable(v, r.x + r.width / 2, r.y + r.height / 2).slot, p.slot) << where;
        if (size.width >= 360 && size.width <= 844) {
          EXPECT_TRUE(r.width >= 44 && r.height >= 60) << where << " slot " << p.slot;
        }
      }
      v.game.turn = West;  // not the own turn: nothing is played
      EXPECT_EQ(ClickTable(v, hand.places[0].visible.x + 1, hand.places[0].visible.y + 1).slot, -1);
    }
  }
}

TEST(CompactTable, SeatsTrickAndTurnMarkStayApartAndReadable) {
  for (const TableSize s : {TableSize{390, 780}, TableSize{844, 330}, TableSize{320, 280}}) {
    TableView v = Compact(s.width, s.height);
    v.game.turn = North;
    v.game.tableCards[East] = 13, v.game.tableCards[South] = 0, v.game.tableCards[West] = 1;
    v.game.hands[South][0] = NoCard;  // South has played to the trick
    const TableSize size = LayoutSize(v);
    PixelCanvas c(size);
    PaintTable(v, {0, 0, size.width, size.height}, c);
    const std::string where = std::to_string(size.width) + "x" + std::to_string(size.height);
    // The trick's three cards and the whole hand are drawn; nothing else.
    std::vector<PaintRect> cards;
    const TrickPlaces t = CompactTrick(v);
    for (int p = 0; p < 4; ++p) {
      const auto at = static_cast<std::size_t>(p);
      if (p != 2) cards.push_back({t.x[at], t.y[at], CardWidth, CardHeight});
    }
    const HandPlaces hand = TableHandPlaces(v);
    for (int k = 0; k < hand.count; ++k) cards.push_back(hand.places[static_cast<std::size_t>(k)].card);
    int marked = 0;
    for (std::size_t i = 0; i < c.texts.size(); ++i) {
      const Text& a = c.texts[i];
      EXPECT_TRUE(a.at.x >= 0 && a.at.x + a.at.width <= size.width) << a.text << " at " << where;
      EXPECT_GE(FaceMetrics(a.font).typeSize, 12);
      for (std::size_t j = 0; j < i; ++j) {
        EXPECT_FALSE(Overlap(a.at, c.texts[j].at)) << a.text << " / " << c.texts[j].text;
      }
      for (const PaintRect& card : cards) EXPECT_FALSE(Overlap(a.at, card)) << a.text << " at " << where;
      if (a.background == TurnMark) {
        ++marked;
        EXPECT_EQ(a.text, "Nora 3");  // the seat to act: North, with its tricks
        EXPECT_EQ(a.font, TableFont::LargeUnderlined);
        const PaintRect told = NameRect(v, 2);  // the rectangle the page is told
        EXPECT_TRUE(told.x == a.at.x && told.y == a.at.y && told.width == a.at.width) << where;
      }
    }
    EXPECT_EQ(marked, 1) << where;
    // West and North hold one card more than South and East, who have played.
    const auto held = [&c](const std::string& text) {
      int n = 0;
      for (const Text& x : c.texts) n += x.text == text;
      return n;
    };
    EXPECT_EQ(held("13 cards"), 1) << where;
    EXPECT_EQ(held("12 cards"), 2) << where;
  }
  TableView all = Compact(390, 780);  // watching every hand needs the classic room
  all.localPosition = KibitzAll;
  EXPECT_EQ(LayoutSize(all).width, TableWidth);
}

}  // namespace
}  // namespace zelbo
