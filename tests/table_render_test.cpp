// The table on screen: a mid-game table painted by the table widget and
// saved as a PNG ($ZELBO_TABLE_PNG, else table.png in the working
// directory), its clicks and keys, the fitted fonts and the card pictures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>

#include "display/qt/table_widget.h"
#include "tests/table_fixture.h"

namespace zelbo {
namespace {

// One application for the whole run, gone before Qt's statics are.
struct QtEnvironment : ::testing::Environment {
  void SetUp() override { app = std::make_unique<QApplication>(argc, argv); }
  void TearDown() override { app.reset(); }
  int argc = 1;
  char name[18] = "table_render_test";
  char* argv[2] = {name, nullptr};
  std::unique_ptr<QApplication> app;
};
const auto* const Environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

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

TEST(TableWidget, PaintsAMidGameTableToPngClicksAndPassesKeysOn) {
  // West plays Trumps Hearts, doubled by North and East and redoubling East;
  // South has led the third trick, West and North followed, East is to play.
  TableView v = Playing(South, FirstTrumps + Hearts, West, East);
  v.BackgroundRed = 40;
  v.BackgroundGreen = 120;
  v.BackgroundBlue = 70;
  GameState& g = v.game;
  g.roundSteps = 5;
  const uint8_t decisions[5] = {FirstTrumps + Hearts, 4, 2, 0, 18};
  std::memcpy(g.dealDecisions[5], decisions, 5);
  g.doubleFactor[West][East] = g.doubleFactor[East][West] = 4;
  g.doubleFactor[West][North] = g.doubleFactor[North][West] = 2;
  const uint8_t table[8] = {20, 17, 46, NoCard, 48, 49, 50, 51};  // trick, last trick
  std::memcpy(g.tableCards, table, 8);
  for (int s = 0; s < 4; ++s) g.hands[s][12] = g.hands[s][s + 4] = NoCard;
  g.hands[South][5] = g.hands[West][4] = g.hands[North][11] = NoCard;

  TableWidget widget;
  widget.setProvider([&v] { return v; });
  widget.resize(900, 720);
  const QImage image = widget.grab().toImage();
  const QColor felt(40, 120, 70);
  EXPECT_EQ(image.pixelColor(5, 700), felt);
  // Own hand from x 300: corner pixels cut, left and right; a red index in
  // the Two of Diamonds' 16-pixel strip, a black one in the Spades.
  for (QPoint p : {QPoint(300, 400), QPoint(300, 496), QPoint(548, 400), QPoint(548, 496)}) {
    EXPECT_EQ(image.pixelColor(p), felt) << p.x() << "," << p.y();
  }
  EXPECT_TRUE(image.pixelColor(301, 400) != felt && image.pixelColor(547, 496) != felt);
  EXPECT_TRUE(HasPixel(image, QRect(302, 402, 12, 28), Reddish));
  EXPECT_TRUE(HasPixel(image, QRect(462, 402, 12, 28), Darkish));
  EXPECT_FALSE(HasPixel(image, QRect(462, 402, 12, 28), Reddish));
  // Opaque red doubling text on the felt; West's name is black, East's
  // underlined by a dark run across the bottom of its cell.
  EXPECT_TRUE(HasPixel(image, QRect(675, 5, 100, 14), Reddish));
  EXPECT_TRUE(HasPixel(image, QRect(50, 228, 100, 24), Darkish));
  int run = 0;
  for (int y = 240; y < 252 && run < 30; ++y) {
    for (int x = 750; x < 830 && run < 30; ++x) run = Darkish(image.pixelColor(x, y)) ? run + 1 : 0;
  }
  EXPECT_GE(run, 30);
  const QByteArray out = qgetenv("ZELBO_TABLE_PNG");
  const QString path = out.isEmpty() ? QStringLiteral("table.png") : QString::fromLocal8Bit(out);
  ASSERT_TRUE(image.save(path, "PNG")) << path.toStdString();
  EXPECT_EQ(QImage(path).size(), QSize(900, 720));

  g.turn = South;
  v.Privileged = true;
  std::vector<TableClick> clicks;
  QObject::connect(&widget, &TableWidget::tableClicked, [&](const TableClick& c) { clicks.push_back(c); });
  QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(317, 450));
  QTest::mouseClick(&widget, Qt::RightButton, Qt::NoModifier, QPoint(317, 450));
  QTest::mouseDClick(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(317, 450));  // no second act
  QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));   // nothing hit
  QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(420, 530));
  ASSERT_EQ(clicks.size(), 2u);
  EXPECT_TRUE(clicks[0].card == 4 && !clicks[0].undo && clicks[1].undo);
  QLineEdit chat;
  widget.setKeyTarget(&chat);
  QTest::keyClicks(&widget, "hi");
  EXPECT_EQ(chat.text(), QStringLiteral("hi"));
}

TEST(TableFonts, FitTheirCells) {
  const TableFonts fonts;
  for (auto [font, height, width] : {std::tuple{TableFont::Large, 24, 10},
                                     {TableFont::LargeUnderlined, 24, 10}, {TableFont::Small, 16, 6}}) {
    const QFontMetricsF m(fonts[font]);
    EXPECT_TRUE(m.height() <= height && m.height() >= height - 4) << m.height();
    EXPECT_NEAR(m.averageCharWidth(), width, 1);
    EXPECT_EQ(fonts[font].weight(), QFont::ExtraBold);
    EXPECT_EQ(fonts[font].underline(), font == TableFont::LargeUnderlined);
  }
}

TEST(CardPictures, DrawnWithTheirIndexOrLoadedAllOrNothing) {
  const CardPictures sharp(2.0);
  EXPECT_EQ(sharp.picture(QueenRank + 13 * Spades).size(), QSize(146, 194));
  EXPECT_EQ(sharp.picture(0).devicePixelRatio(), 2.0);
  CardPictures pictures(1.0);
  QSet<QByteArray> faces;  // 52 different ones, each red or black in its corner
  for (int c = 0; c < 52; ++c) {
    const QImage& p = pictures.picture(c);
    const bool red = SuitOf(c) == Hearts || SuitOf(c) == Diamonds;
    EXPECT_TRUE(HasPixel(p, QRect(1, 1, 15, 30), red ? Reddish : Darkish)) << c;
    EXPECT_FALSE(HasPixel(p, QRect(1, 1, 15, 30), red ? Darkish : Reddish)) << c;
    faces.insert(QByteArray(reinterpret_cast<const char*>(p.constBits()), p.sizeInBytes()));
  }
  EXPECT_EQ(faces.size(), 52);
  // Court cards carry a coloured panel that number cards lack.
  auto tinted = [](QColor c) { return c.saturation() > 40 && c.value() > 200 && !Reddish(c); };
  EXPECT_TRUE(HasPixel(pictures.picture(11 + 13 * Clubs), QRect(20, 40, 30, 10), tinted));
  EXPECT_FALSE(HasPixel(pictures.picture(8 + 13 * Clubs), QRect(20, 40, 30, 10), tinted));

  QTemporaryDir dir;
  for (int c = 0; c < 52; ++c) {
    QImage card(146, 194, QImage::Format_RGB32);  // twice the size: a sharper deck
    card.fill(QColor(c * 4, 10, 20));
    ASSERT_TRUE(card.save(dir.filePath(QStringLiteral("%1.png").arg(900 + c))));
  }
  QString error;
  ASSERT_TRUE(pictures.LoadFolder(dir.path(), &error)) << error.toStdString();
  pictures.SetRatio(3.0);  // a loaded deck is not redrawn
  EXPECT_EQ(pictures.picture(30).pixelColor(10, 10), QColor(120, 10, 20));
  EXPECT_EQ(pictures.picture(30).devicePixelRatio(), 2.0);
  ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("937.png"))));
  const QImage before = sharp.picture(5);
  CardPictures drawn(sharp);
  EXPECT_FALSE(drawn.LoadFolder(dir.path(), &error));
  EXPECT_TRUE(error.endsWith(QStringLiteral("937.png"))) << error.toStdString();
  EXPECT_TRUE(!drawn.fromFolder() && drawn.picture(5) == before);
}

}  // namespace
}  // namespace zelbo
