// A desktop server (South) and three desktop clients play whole deals over loopback with
// a person's handlers: menu commands, the dialogs' controls, clicks on the own cards.
#include <QTest>

#include <algorithm>

#include "app_test_support.h"
#include "display/hand_geometry.h"

namespace zelbo {
namespace {

using testing::WaitUntil;

class EndToEnd : public testing::WindowTest {
 protected:
  // One step of a person at `w`: answer an open dialog or click a playable card; true if done.
  bool Act(MainWindow& w, bool preferTrumps) {
    PickGameDialog* pick = w.pickGameDialog();
    if (pick->isVisible()) {
      int chosen = KindTrumps;
      for (int b = PickGameModel::BoxCount - 1; b >= 0; --b)
        if (pick->box(b)->isEnabled() && (preferTrumps || b != KindTrumps)) chosen = b;
      if (!pick->box(chosen)->isChecked()) QTest::mouseClick(pick->box(chosen), Qt::LeftButton);
      if (chosen == KindTrumps) pick->suitList()->setCurrentIndex(0);     // Spades
      if (chosen == KindDominoes) pick->rankList()->setCurrentIndex(4);  // Ten
      QTest::mouseClick(pick->okButton(), Qt::LeftButton);
      return ++contractsChosen_;
    }
    if (w.doublingDialog()->isVisible()) {
      QTest::mouseClick(w.doublingDialog()->okButton(), Qt::LeftButton);
      return ++doublingAnswers_;
    }
    const GameState* g = w.Game();
    const int seat = w.LocalPosition();
    if (!g || seat < 0 || seat > 3 || g->turn != seat ||
        (g->phase != PhasePlaying && g->phase != PhaseFirstLead))
      return false;
    for (int slot = 0; slot < 13; ++slot) {
      const int card = g->hands[seat][slot];
      if (!IsCard(card) || !MayPlayCard(*g, seat, card)) continue;
      const int x = static_cast<int>(HandCardLeft(w.settings().cardSpacing, slot)) + 2;
      QTest::mouseClick(w.table(), Qt::LeftButton, {}, QPoint(x, HandTop + 40));
      return ++cardsClicked_;
    }
    return false;
  }

  int contractsChosen_ = 0, doublingAnswers_ = 0, cardsClicked_ = 0;
};

TEST_F(EndToEnd, ServerAndThreeClientsPlayWholeDeals) {
  auto server = Server("Sam", false, 12345);
  const GameState& game = server->server()->Game();
  const ScoreSheet sheetAtStart = game.scoreSheet;
  std::unique_ptr<MainWindow> clients[3] = {Client("Wanda", *server), Client("Ned", *server),
                                            Client("Eve", *server)};
  MainWindow* all[4] = {server.get(), clients[0].get(), clients[1].get(), clients[2].get()};
  const ConnectionTable& t = server->server()->Connections();
  ASSERT_TRUE(WaitUntil([&] {
    return t.count() == 3 && std::all_of(t.all().begin(), t.all().end(), [](const Connection& c) { return c.joined; });
  }));
  for (int i = 0; int id : {CmdSitWest, CmdSitNorth, CmdSitEast}) clients[i++]->Command(id);
  ASSERT_TRUE(WaitUntil([&] { return game.phase == PhaseChoosing; }))
      << "the fourth seat filled starts the game";
  // Deal 1 a Trumps contract played out, deal 2 the dealer's first other kind; until deal 3.
  ASSERT_TRUE(WaitUntil([&] {
    bool acted = false;
    for (MainWindow* w : all) acted = Act(*w, game.dealNumber == 1) || acted;
    if (!acted) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return game.dealNumber >= 3;
  }, 120000)) << "deal " << game.dealNumber << " phase " << game.phase;
  EXPECT_TRUE(contractsChosen_ >= 2 && doublingAnswers_ >= 6);
  EXPECT_GE(cardsClicked_, 52) << "deal 1 was a Trumps contract, played to the last trick";
  EXPECT_TRUE(game.dealDecisions[1][0] >= FirstTrumps && game.dealDecisions[1][0] < FirstDominoes);
  EXPECT_FALSE(game.scoreSheet == sheetAtStart) << "the finished deals are on the sheet";
  // Every client sits where it asked, shows the same deal and sheet, knows its own new hand,
  // and was asked for attention if its window was not active.
  for (int seat = West; seat <= East; ++seat) {
    const MainWindow& c = *all[seat];
    ASSERT_TRUE(WaitUntil([&] { return c.Game()->dealNumber == game.dealNumber &&
                                       c.Game()->scoreSheet == game.scoreSheet; })) << seat;
    EXPECT_EQ(c.LocalPosition(), seat);
    EXPECT_TRUE(std::equal(std::begin(game.hands[seat]), std::end(game.hands[seat]),
                           c.Game()->hands[seat])) << seat;
    EXPECT_TRUE(c.isActiveWindow() || c.alertCount() > 0) << seat;
  }
}

}  // namespace
}  // namespace zelbo
