#include "display/card_recipe.h"

#include <initializer_list>

#include "engine/cards.h"

namespace zelbo {

namespace {

constexpr Rgb RedInk{200, 0, 0};
constexpr Rgb BlackInk{20, 20, 20};
constexpr Rgb Border{60, 60, 60};
constexpr Rgb Paper{255, 255, 255};

Rgb InkOf(int suit) { return suit == Hearts || suit == Diamonds ? RedInk : BlackInk; }

const char* RankText(int rank) {
  static const char* const Texts[13] = {"2", "3", "4",  "5", "6", "7", "8",
                                        "9", "10", "J", "Q", "K", "A"};
  return Texts[rank];
}

struct Point {
  double x, y;
};

// Builds a figure in the box -1..1 and places it: scaled by `half`, turned
// half round when `flip`, centred on `at`.
class Placed {
 public:
  Placed(Point at, double half, bool flip) : at_(at), k_(flip ? -half : half), half_(half) {}
  Point P(double x, double y) const { return {at_.x + k_ * x, at_.y + k_ * y}; }
  void Move(double x, double y) { Add(CardPathStep::MoveTo, {P(x, y)}); }
  void Line(double x, double y) { Add(CardPathStep::LineTo, {P(x, y)}); }
  void Cubic(double x1, double y1, double x2, double y2, double x, double y) {
    Add(CardPathStep::CubicTo, {P(x1, y1), P(x2, y2), P(x, y)});
  }
  void Ellipse(double x, double y, double r) {
    const Point c = P(x, y);
    path.push_back(CardPathStep{CardPathStep::Ellipse, {c.x, c.y, r * half_, r * half_, 0, 0}});
  }
  void Close() { path.push_back(CardPathStep{CardPathStep::Close, {}}); }

  std::vector<CardPathStep> path;

 private:
  void Add(CardPathStep::Kind kind, std::initializer_list<Point> points) {
    CardPathStep step{kind, {}};
    int i = 0;
    for (const Point& p : points) {
      step.v[i++] = p.x;
      step.v[i++] = p.y;
    }
    path.push_back(step);
  }

  Point at_;
  double k_;
  double half_;
};

CardShape Filled(std::vector<CardPathStep> path, Rgb fill) {
  CardShape s;
  s.path = std::move(path);
  s.filled = true;
  s.fill = fill;
  return s;
}

std::vector<CardPathStep> RectPath(double x, double y, double w, double h) {
  Placed r({0, 0}, 1, false);
  r.Move(x, y);
  r.Line(x + w, y);
  r.Line(x + w, y + h);
  r.Line(x, y + h);
  r.Close();
  return r.path;
}

// The suit symbol with half-size `half` centred on `at`.
CardShape Suit(int suit, Point at, double half, bool upsideDown = false) {
  Placed p(at, half, upsideDown);
  switch (suit) {
    case Diamonds:
      p.Move(0, -1);
      p.Line(0.72, 0);
      p.Line(0, 1);
      p.Line(-0.72, 0);
      p.Close();
      break;
    case Hearts:
      p.Move(0, 0.95);
      p.Cubic(-0.25, 0.65, -1, 0.2, -1, -0.35);
      p.Cubic(-1, -0.95, -0.25, -1.05, 0, -0.5);
      p.Cubic(0.25, -1.05, 1, -0.95, 1, -0.35);
      p.Cubic(1, 0.2, 0.25, 0.65, 0, 0.95);
      p.Close();
      break;
    case Spades:
      p.Move(0, -1);
      p.Cubic(0.25, -0.65, 1, -0.25, 1, 0.2);
      p.Cubic(1, 0.65, 0.35, 0.75, 0.1, 0.4);
      p.Line(0.35, 1);
      p.Line(-0.35, 1);
      p.Line(-0.1, 0.4);
      p.Cubic(-0.35, 0.75, -1, 0.65, -1, 0.2);
      p.Cubic(-1, -0.25, -0.25, -0.65, 0, -1);
      p.Close();
      break;
    default:  // Clubs
      p.Ellipse(0, -0.5, 0.44);
      p.Ellipse(-0.5, 0.15, 0.44);
      p.Ellipse(0.5, 0.15, 0.44);
      p.Move(0, 0.1);
      p.Line(0.3, 1);
      p.Line(-0.3, 1);
      p.Close();
      break;
  }
  return Filled(std::move(p.path), InkOf(suit));
}

CardShape Text(const char* text, double size, Rgb colour, double centreX, double y, bool alignTop) {
  CardShape s;
  s.text = text;
  s.textSize = size;
  s.fill = colour;
  s.centreX = centreX;
  s.y = y;
  s.alignTop = alignTop;
  return s;
}

// Rank and suit in the top-left corner, inside the 16 columns that stay
// visible when the card lies under its right-hand neighbour; the same
// upside down in the opposite corner.
void AddIndex(std::vector<CardShape>& out, int suit, int rank, bool upsideDown) {
  CardShape t = Text(RankText(rank), 13, InkOf(suit), 8.5, 1, true);
  t.maxWidth = 13;  // "10" squeezed into the strip
  t.upsideDown = upsideDown;
  out.push_back(t);
  const Point at = upsideDown ? Point{CardWidth - 8.5, CardHeight - 22.0} : Point{8.5, 22};
  out.push_back(Suit(suit, at, 5, upsideDown));
}

// Pip centres of the number cards, in a 3 x 7 grid over the card's middle;
// the lower half stands upside down.
void AddPips(std::vector<CardShape>& out, int suit, int count) {
  const double l = 24, m = 36.5, r = 49;
  const double top = 17, bottom = 80;
  const double row = (bottom - top) / 6.0;
  auto y = [&](double i) { return top + row * i; };
  std::vector<Point> pips;
  switch (count) {
    case 2: pips = {{m, y(0)}, {m, y(6)}}; break;
    case 3: pips = {{m, y(0)}, {m, y(3)}, {m, y(6)}}; break;
    case 4: pips = {{l, y(0)}, {r, y(0)}, {l, y(6)}, {r, y(6)}}; break;
    case 5: pips = {{l, y(0)}, {r, y(0)}, {m, y(3)}, {l, y(6)}, {r, y(6)}}; break;
    case 6: pips = {{l, y(0)}, {r, y(0)}, {l, y(3)}, {r, y(3)}, {l, y(6)}, {r, y(6)}}; break;
    case 7:
      pips = {{l, y(0)}, {r, y(0)}, {m, y(1.5)}, {l, y(3)}, {r, y(3)}, {l, y(6)}, {r, y(6)}};
      break;
    case 8:
      pips = {{l, y(0)}, {r, y(0)}, {m, y(1.5)}, {l, y(3)},
              {r, y(3)}, {m, y(4.5)}, {l, y(6)}, {r, y(6)}};
      break;
    case 9:
      pips = {{l, y(0)}, {r, y(0)}, {l, y(2)}, {r, y(2)}, {m, y(3)},
              {l, y(4)}, {r, y(4)}, {l, y(6)}, {r, y(6)}};
      break;
    default:  // 10
      pips = {{l, y(0)}, {r, y(0)}, {m, y(1)}, {l, y(2)}, {r, y(2)},
              {l, y(4)}, {r, y(4)}, {m, y(5)}, {l, y(6)}, {r, y(6)}};
      break;
  }
  for (const Point& c : pips) out.push_back(Suit(suit, c, 6.5, c.y > 48.5));
}

std::vector<CardPathStep> CrownPath(Point centre, double width, double height) {
  const double x0 = centre.x - width / 2, x1 = centre.x + width / 2;
  const double y0 = centre.y - height / 2, y1 = centre.y + height / 2;
  Placed c({0, 0}, 1, false);
  c.Move(x0, y1);
  c.Line(x0, y0);
  c.Line(x0 + width * 0.25, y0 + height * 0.55);
  c.Line(centre.x, y0 - height * 0.1);
  c.Line(x1 - width * 0.25, y0 + height * 0.55);
  c.Line(x1, y0);
  c.Line(x1, y1);
  c.Close();
  return c.path;
}

// Jack, Queen and King: a framed panel with the suit at its corners, a
// large letter, and a crown over the Queen and the King (a larger one for
// the King).
void AddCourt(std::vector<CardShape>& out, int suit, int rank) {
  static constexpr Rgb Panels[3] = {{205, 228, 250}, {238, 218, 250}, {252, 232, 160}};
  const double px = 16.5, py = 10.5, pw = 40, ph = 76;
  CardShape panel = Filled(RectPath(px, py, pw, ph), Panels[rank - 9]);
  panel.penWidth = 1.2;
  panel.pen = InkOf(suit);
  out.push_back(panel);
  out.push_back(Suit(suit, {px + 6, py + 7}, 4));
  out.push_back(Suit(suit, {px + pw - 6, py + 7}, 4));
  out.push_back(Suit(suit, {px + 6, py + ph - 7}, 4, true));
  out.push_back(Suit(suit, {px + pw - 6, py + ph - 7}, 4, true));
  if (rank >= QueenRank) {
    CardShape crown = Filled(CrownPath({36.5, 30}, rank == QueenRank ? 18 : 24, 12), {235, 180, 30});
    crown.penWidth = 1;
    crown.pen = {120, 80, 0};
    out.push_back(crown);
  }
  out.push_back(Text(RankText(rank), 34, InkOf(suit), 36.5, 56, false));
}

}  // namespace

std::vector<CardShape> CardRecipe(int card) {
  if (!IsCard(card)) card = 0;
  const int suit = SuitOf(card);
  const int rank = RankOf(card);
  std::vector<CardShape> out;
  out.push_back(Filled(RectPath(0, 0, CardWidth, CardHeight), Paper));
  // Border just inside the edge; the painter leaves the corner pixels out.
  CardShape border;
  border.path = RectPath(0.5, 0.5, CardWidth - 1, CardHeight - 1);
  border.penWidth = 1;
  border.pen = Border;
  out.push_back(border);
  AddIndex(out, suit, rank, false);
  AddIndex(out, suit, rank, true);
  if (rank == 12) {
    out.push_back(Suit(suit, {36.5, 48.5}, 15));
  } else if (rank >= 9) {
    AddCourt(out, suit, rank);
  } else {
    AddPips(out, suit, rank + 2);
  }
  return out;
}

}  // namespace zelbo
