// The drawn deck's recipe: every picture stays inside its card, the index
// stays in the strip a covering card leaves visible, and the two corners
// mirror each other.
#include <gtest/gtest.h>

#include "display/card_recipe.h"
#include "engine/cards.h"

namespace zelbo {
namespace {

// Points of a figure: ends and control points, ellipse bounds.
template <typename F>
void ForEachPoint(const CardShape& s, F f) {
  for (const CardPathStep& p : s.path) {
    switch (p.kind) {
      case CardPathStep::MoveTo:
      case CardPathStep::LineTo: f(p.v[0], p.v[1]); break;
      case CardPathStep::CubicTo: f(p.v[0], p.v[1]); f(p.v[2], p.v[3]); f(p.v[4], p.v[5]); break;
      case CardPathStep::Ellipse:
        f(p.v[0] - p.v[2], p.v[1] - p.v[3]);
        f(p.v[0] + p.v[2], p.v[1] + p.v[3]);
        break;
      case CardPathStep::Close: break;
    }
  }
}

TEST(CardRecipe, EveryCardIsInsideItsBoxAndStartsWithPaper) {
  for (int card = 0; card < 52; ++card) {
    const std::vector<CardShape> shapes = CardRecipe(card);
    ASSERT_GE(shapes.size(), 4u) << card;
    EXPECT_TRUE(shapes[0].filled);
    EXPECT_EQ(shapes[0].fill, White);
    for (const CardShape& s : shapes) {
      ForEachPoint(s, [&](double x, double y) {
        EXPECT_TRUE(x >= 0 && x <= CardWidth && y >= 0 && y <= CardHeight)
            << "card " << card << " point " << x << "," << y;
      });
    }
  }
}

TEST(CardRecipe, TheIndexFitsTheVisibleStripAndIsMirrored) {
  for (int card : {0, 8, 22, 38, 51}) {  // Two, Ten, Queen, King, Ace
    const std::vector<CardShape> shapes = CardRecipe(card);
    std::vector<const CardShape*> index;
    for (const CardShape& s : shapes)
      if (s.isText() && s.textSize < 20) index.push_back(&s);
    ASSERT_EQ(index.size(), 2u) << card;
    EXPECT_FALSE(index[0]->upsideDown);
    EXPECT_TRUE(index[1]->upsideDown);
    EXPECT_EQ(index[0]->text, index[1]->text);
    EXPECT_LE(index[0]->centreX + index[0]->maxWidth / 2, 16) << card;
    // The corner suit: the first figure after the top index, inside 16 columns.
    const CardShape& suit = shapes[3];
    ForEachPoint(suit, [&](double x, double) { EXPECT_LT(x, 16.0) << card; });
  }
}

TEST(CardRecipe, InkFollowsTheSuitAndCourtsHaveTheirLetter) {
  const auto ink = [](int card) { return CardRecipe(card)[2].fill; };
  EXPECT_EQ(ink(13 * Hearts + 3), ink(13 * Diamonds + 7));
  EXPECT_EQ(ink(13 * Spades + 3), ink(13 * Clubs + 7));
  EXPECT_NE(ink(13 * Hearts), ink(13 * Spades));
  int letters = 0;
  for (const CardShape& s : CardRecipe(13 * Spades + QueenRank))
    if (s.isText() && s.text == "Q") ++letters;
  EXPECT_EQ(letters, 3);  // two corners and the panel
  EXPECT_EQ(CardRecipe(-1).size(), CardRecipe(0).size());  // no card: the Two of Diamonds
}

}  // namespace
}  // namespace zelbo
