// The table on screen: a mid-game table painted by the widget and saved as a PNG
// ($ZELBO_TABLE_PNG, else table.png in the working directory), and the card pictures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
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
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x)
      if (test(image.pixelColor(x, y))) return true;
  return false;
}
bool Reddish(QColor c) { return c.red() > 150 && c.green() < 80 && c.blue() < 80; }
bool Darkish(QColor c) { return c.red() < 70 && c.green() < 70 && c.blue() < 70; }

TEST(TableWidget, PaintsAMidGameTableToPng) {
  // The third trick of Trumps Hearts: South led, West and North followed.
  TableView v = Playing(South, FirstTrumps + Hearts, West, East);
  v.backgroundRed = 40, v.backgroundGreen = 120, v.backgroundBlue = 70;
  const uint8_t table[8] = {20, 17, 46, NoCard, 48, 49, 50, 51};  // trick, last trick
  const uint8_t decisions[5] = {FirstTrumps + Hearts, 4, 2, 0, 18};  // two doubles, a pass
  std::memcpy(v.game.tableCards, table, 8);
  std::memcpy(v.game.dealDecisions[5], decisions, 5);
  for (int s = 0; s < 4; ++s) v.game.hands[s][12] = v.game.hands[s][s + 4] = NoCard;
  v.game.hands[South][5] = v.game.hands[West][4] = v.game.hands[North][11] = NoCard;
  TableWidget widget;
  widget.setProvider([&v] { return v; });
  widget.resize(900, 720);
  const QImage image = widget.grab().toImage();

  // The own hand's corner pixels are cut; each strip shows its index, red for
  // the Two of Diamonds and Four of Hearts, black for the King of Clubs and
  // Three of Spades; North's double stands red on the felt.
  const QColor felt(40, 120, 70);
  for (QPoint p : {QPoint(5, 700), QPoint(300, 400), QPoint(300, 496), QPoint(548, 400)})
    EXPECT_EQ(image.pixelColor(p), felt) << p.x() << "," << p.y();
  EXPECT_TRUE(image.pixelColor(301, 400) != felt && image.pixelColor(547, 496) != felt);
  for (auto [x, red] : {std::pair(302, true), {414, true}, {398, false}, {462, false}}) {
    const QRect index(x, 402, 12, 28);
    EXPECT_TRUE(HasPixel(image, index, red ? Reddish : Darkish) &&
                !HasPixel(image, index, red ? Darkish : Reddish)) << x;
  }
  EXPECT_TRUE(HasPixel(image, QRect(675, 5, 100, 14), Reddish));
  const QString path = qEnvironmentVariable("ZELBO_TABLE_PNG", QStringLiteral("table.png"));
  ASSERT_TRUE(image.save(path, "PNG")) << path.toStdString();
}

TEST(CardPictures, DrawnAtTheScreenRatioOrLoadedAllOrNothing) {
  const CardPictures sharp(2.0);
  EXPECT_EQ(sharp.picture(QueenRank + 13 * Spades).size(), QSize(146, 194));
  CardPictures pictures(1.0);
  QTemporaryDir dir;
  for (int c = 0; c < 52; ++c) {
    QImage card(146, 194, QImage::Format_RGB32);  // twice the size: a sharper deck
    card.fill(QColor(c * 4, 10, 20));
    ASSERT_TRUE(card.save(dir.filePath(QStringLiteral("%1.png").arg(900 + c))));
  }
  QString error;
  ASSERT_TRUE(pictures.LoadFolder(dir.path(), &error)) << error.toStdString();
  EXPECT_TRUE(pictures.picture(30).pixelColor(10, 10) == QColor(120, 10, 20) &&
              pictures.picture(30).devicePixelRatio() == 2.0);
  ASSERT_TRUE(QFile::remove(dir.filePath(QStringLiteral("937.png"))));  // one missing: none loaded
  CardPictures drawn(sharp);
  EXPECT_FALSE(drawn.LoadFolder(dir.path(), &error));
  EXPECT_TRUE(error.endsWith(QStringLiteral("937.png"))) << error.toStdString();
  EXPECT_TRUE(!drawn.fromFolder() && drawn.picture(5) == sharp.picture(5));
}

}  // namespace
}  // namespace zelbo
