// The table on screen: a mid-game table rendered through QPainter to a PNG
// (written to $ZELBO_TABLE_PNG, else table.png in the working directory),
// the fitted fonts, the drawn and loaded card pictures, and the widget's
// clicks and keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "display/qt/card_pictures.h"
#include "display/qt/qt_canvas.h"
#include "display/qt/table_fonts.h"
#include "display/qt/table_widget.h"
#include "display/table_painter.h"

namespace zelbo {
namespace {

// One application for the whole run, gone before the program exits (Qt
// must not be torn down by static destructors).
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[18] = "table_render_test";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};
const auto* const Environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

// Deal 7, West dealt Trumps Hearts; North and East doubled West, South
// passed, West redoubled East. South (the viewer) leads the third trick,
// West and North have followed, East is to play.
TableView MidGame() {
  TableView v;
  v.role = TableRole::Client;
  v.LocalPosition = South;
  v.SeatHandles = {"Sophie", "Walter", "Nadia", "Emil"};
  v.SeatTaken = {true, true, true, true};
  v.Handle = "Sophie";
  v.BackgroundRed = 40;
  v.BackgroundGreen = 120;
  v.BackgroundBlue = 70;
  GameState& g = v.game;
  g.phase = PhasePlaying;
  g.dealNumber = 7;
  g.dealer = West;
  g.contract = FirstTrumps + Hearts;
  g.turn = East;
  g.roundSteps = 5;
  g.dealDecisions[7][0] = static_cast<uint8_t>(g.contract);
  g.dealDecisions[7][1] = 4;   // North doubles its RHO, West
  g.dealDecisions[7][2] = 2;   // East doubles its OO, West
  g.dealDecisions[7][3] = 0;   // South passes
  g.dealDecisions[7][4] = 18;  // West redoubles its OO, East
  g.doubleFactor[West][East] = g.doubleFactor[East][West] = 4;
  g.doubleFactor[West][North] = g.doubleFactor[North][West] = 2;
  const uint8_t south[13] = {1, 5, 9, 14, 18, 22, 27, 30, 34, 37, 41, 46, 51};
  const uint8_t west[13] = {0, 4, 8, 13, 17, 21, 26, 31, 35, 38, 42, 47, 49};
  const uint8_t north[13] = {2, 6, 10, 15, 19, 23, 28, 32, 36, 39, 43, 45, 50};
  const uint8_t east[13] = {3, 7, 11, 12, 16, 20, 24, 25, 29, 33, 40, 44, 48};
  for (int i = 0; i < 13; ++i) {
    g.hands[South][i] = south[i];
    g.hands[West][i] = west[i];
    g.hands[North][i] = north[i];
    g.hands[East][i] = east[i];
  }
  // Two tricks gone from every hand, the third under way.
  g.hands[South][12] = g.hands[South][5] = g.hands[South][7] = NoCard;
  g.hands[West][12] = g.hands[West][11] = g.hands[West][3] = NoCard;
  g.hands[North][12] = g.hands[North][11] = g.hands[North][8] = NoCard;
  g.hands[East][12] = g.hands[East][11] = NoCard;
  g.tableCards[South] = 30;
  g.tableCards[West] = 13;
  g.tableCards[North] = 36;
  g.tableCards[4 + South] = 22;
  g.tableCards[4 + West] = 47;
  g.tableCards[4 + North] = 45;
  g.tableCards[4 + East] = 44;
  g.tally[South] = 1;
  g.tally[East] = 1;
  return v;
}

QImage Render(const TableView& view, const CardPictures& pictures) {
  QImage image(900, 720, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  TableFonts fonts;
  QtCanvas canvas(painter, pictures, fonts);
  PaintTable(view, PaintRect{0, 0, 900, 720}, canvas);
  return image;
}

bool HasPixel(const QImage& image, QRect area, const std::function<bool(QColor)>& test) {
  area &= image.rect();
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (test(image.pixelColor(x, y))) return true;
    }
  }
  return false;
}
bool Reddish(QColor c) { return c.red() > 150 && c.green() < 80 && c.blue() < 80; }
bool Darkish(QColor c) { return c.red() < 70 && c.green() < 70 && c.blue() < 70; }

TEST(TableRender, MidGameTableToPng) {
  const TableView view = MidGame();
  const QImage image = Render(view, CardPictures(1.0));
  const QColor table(40, 120, 70);

  EXPECT_EQ(image.pixelColor(5, 700), table);
  // Own hand: a full-height card from 300; its corner pixel is cut.
  EXPECT_EQ(image.pixelColor(300, 400), table);
  EXPECT_EQ(image.pixelColor(300, 497), table);  // below the last row
  EXPECT_NE(image.pixelColor(301, 400), table);
  EXPECT_NE(image.pixelColor(300, 401), table);
  // The Three of Diamonds shows its red index in its 16-pixel strip; the
  // Jack of Spades (slot 10) its black one.
  EXPECT_TRUE(HasPixel(image, QRect(302, 402, 12, 28), Reddish));
  EXPECT_TRUE(HasPixel(image, QRect(302 + 160, 402, 12, 28), Darkish));
  EXPECT_FALSE(HasPixel(image, QRect(302 + 160, 402, 12, 28), Reddish));
  // Nobody doubled South: Walter's name is black, and so is South's.
  EXPECT_TRUE(HasPixel(image, QRect(50, 228, 100, 24), Darkish));
  EXPECT_FALSE(HasPixel(image, QRect(400, 507, 120, 24), Reddish));
  // Opaque text: the doubling lines are drawn on the table colour, red.
  EXPECT_TRUE(HasPixel(image, QRect(675, 5, 100, 14), Reddish));
  // Emil (East) is to play: his name, right of his counter, is underlined by
  // a dark run across the bottom of its cell.
  bool underline = false;
  for (int y = 240; y < 252 && !underline; ++y) {
    int run = 0;
    for (int x = 750; x < 830; ++x) {
      run = Darkish(image.pixelColor(x, y)) ? run + 1 : 0;
      if (run >= 30) underline = true;
    }
  }
  EXPECT_TRUE(underline);

  const QByteArray out = qgetenv("ZELBO_TABLE_PNG");
  const QString path = out.isEmpty() ? QStringLiteral("table.png") : QString::fromLocal8Bit(out);
  ASSERT_TRUE(image.save(path, "PNG")) << path.toStdString();
  const QImage back(path);
  EXPECT_EQ(back.size(), QSize(900, 720));
}

TEST(TableRender, FontsFitTheirCells) {
  const TableFonts fonts;
  for (TableFont which : {TableFont::Large, TableFont::LargeUnderlined}) {
    const QFontMetricsF m(fonts[which]);
    EXPECT_LE(m.height(), 24);
    EXPECT_GE(m.height(), 20);
    EXPECT_NEAR(m.averageCharWidth(), 10, 1);
    EXPECT_EQ(fonts[which].weight(), QFont::ExtraBold);
  }
  EXPECT_TRUE(fonts[TableFont::LargeUnderlined].underline());
  EXPECT_FALSE(fonts[TableFont::Large].underline());
  const QFontMetricsF small(fonts[TableFont::Small]);
  EXPECT_LE(small.height(), 16);
  EXPECT_GE(small.height(), 12);
  EXPECT_NEAR(small.averageCharWidth(), 6, 1);
}

TEST(CardPictures, DrawnAtTheScreenRatioWithTheirIndexInTheCorner) {
  const CardPictures sharp(2.0);
  const QImage& queen = sharp.picture(QueenRank + 13 * Spades);
  EXPECT_EQ(queen.size(), QSize(146, 194));
  EXPECT_EQ(queen.devicePixelRatio(), 2.0);

  const CardPictures pictures(1.0);
  const QRect index(1, 1, 15, 30);
  for (int c = 0; c < 52; ++c) {
    const QImage& p = pictures.picture(c);
    ASSERT_EQ(p.size(), QSize(73, 97)) << c;
    const bool red = SuitOf(c) == Hearts || SuitOf(c) == Diamonds;
    EXPECT_EQ(HasPixel(p, index, Reddish), red) << c;
    EXPECT_EQ(HasPixel(p, index, Darkish), !red) << c;
  }
  // 52 different faces.
  QSet<QByteArray> faces;
  for (int c = 0; c < 52; ++c) {
    const QImage& p = pictures.picture(c);
    faces.insert(QByteArray(reinterpret_cast<const char*>(p.constBits()), p.sizeInBytes()));
  }
  EXPECT_EQ(faces.size(), 52);
  // Court cards carry a coloured panel that number cards lack.
  auto tinted = [](QColor c) { return c.saturation() > 40 && c.value() > 200 && !Reddish(c); };
  EXPECT_TRUE(HasPixel(pictures.picture(11 + 13 * Clubs), QRect(20, 40, 30, 10), tinted));
  EXPECT_FALSE(HasPixel(pictures.picture(8 + 13 * Clubs), QRect(20, 40, 30, 10), tinted));
  EXPECT_EQ(&pictures.picture(NoCard), &pictures.picture(0));
}

TEST(CardPictures, FolderReplacesAllOrNothing) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (int c = 0; c < 52; ++c) {
    QImage card(146, 194, QImage::Format_RGB32);  // twice the size: a sharper deck
    card.fill(QColor(c * 4, 10, 20));
    ASSERT_TRUE(card.save(dir.filePath(QStringLiteral("%1.png").arg(900 + c))));
  }
  CardPictures pictures(1.0);
  QString error;
  ASSERT_TRUE(pictures.LoadFolder(dir.path(), &error)) << error.toStdString();
  EXPECT_TRUE(pictures.fromFolder());
  EXPECT_EQ(pictures.picture(30).pixelColor(10, 10), QColor(120, 10, 20));
  EXPECT_EQ(pictures.picture(30).devicePixelRatio(), 2.0);
  pictures.SetRatio(3.0);  // a loaded deck is not redrawn
  EXPECT_EQ(pictures.picture(30).pixelColor(10, 10), QColor(120, 10, 20));

  ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("937.png"))));
  CardPictures drawn(1.0);
  const QImage before = drawn.picture(5);
  EXPECT_FALSE(drawn.LoadFolder(dir.path(), &error));
  EXPECT_TRUE(error.endsWith(QStringLiteral("937.png"))) << error.toStdString();
  EXPECT_FALSE(drawn.fromFolder());
  EXPECT_EQ(drawn.picture(5), before);
}

TEST(TableWidget, PaintsClicksAndPassesKeysOn) {
  TableView view = MidGame();
  view.game.turn = South;
  view.Privileged = true;
  TableWidget widget;
  widget.setProvider([&view] { return view; });
  widget.resize(900, 720);
  QLineEdit chat;
  widget.setKeyTarget(&chat);

  const QImage shot = widget.grab().toImage();
  EXPECT_EQ(shot.pixelColor(5, 700), QColor(40, 120, 70));

  std::vector<TableClick> clicks;
  QObject::connect(&widget, &TableWidget::tableClicked,
                   [&clicks](const TableClick& c) { clicks.push_back(c); });
  QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(301, 450));
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].card, 1);
  EXPECT_FALSE(clicks[0].undo);
  QTest::mouseClick(&widget, Qt::RightButton, Qt::NoModifier, QPoint(301, 450));
  QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(301, 450), QPointF(301, 450),
                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&widget, &second);
  EXPECT_EQ(clicks.size(), 1u);  // only the first press of a double click acts
  QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(420, 530));
  ASSERT_EQ(clicks.size(), 2u);
  EXPECT_TRUE(clicks[1].undo);
  QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
  EXPECT_EQ(clicks.size(), 2u);  // nothing hit, nothing reported

  QTest::keyClicks(&widget, "hi");
  EXPECT_EQ(chat.text(), QStringLiteral("hi"));
}

}  // namespace
}  // namespace zelbo
