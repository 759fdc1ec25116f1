// A desktop server seated South and three desktop clients, all in this
// process over loopback, play whole deals with the same handlers a person
// uses: menu commands to sit, the Pick-a-game and Action dialogs' controls,
// and mouse clicks on the cards of the own hand.
#include <QTest>

#include "app/command_ids.h"
#include "app_test_support.h"
#include "dialogs/doubling_dialog.h"
#include "dialogs/pick_game_dialog.h"
#include "display/hand_geometry.h"
#include "display/qt/table_widget.h"
#include "engine/engine.h"

namespace zelbo {
namespace {

using testing::WaitUntil;

class EndToEnd : public testing::WindowTest {
 protected:
  // One step of a person at window `w`: answer an open dialog, or click a
  // card that may be played. Returns true when it did something.
  bool Act(MainWindow& w, bool preferTrumps) {
    PickGameDialog* pick = w.pickGameDialog();
    if (pick->isVisible()) {
      int chosen = KindTrumps;
      for (int b = PickGameModel::BoxCount - 1; b >= 0; --b)
        if (pick->box(b)->isEnabled() && (preferTrumps || b != KindTrumps)) chosen = b;
      if (!pick->box(chosen)->isChecked()) QTest::mouseClick(pick->box(chosen), Qt::LeftButton);
      if (chosen == KindTrumps) pick->suitList()->setCurrentIndex(0);     // Spades
      if (chosen == KindDominoes) pick->rankList()->setCurrentIndex(4);  // Ten
      ++contractsChosen_;
      QTest::mouseClick(pick->okButton(), Qt::LeftButton);
      return true;
    }
    if (w.doublingDialog()->isVisible()) {
      ++doublingAnswers_;
      QTest::mouseClick(w.doublingDialog()->okButton(), Qt::LeftButton);
      return true;
    }
    const GameState* g = w.Game();
    const int seat = w.LocalPosition();
    if (!g || seat < 0 || seat > 3 || g->turn != seat) return false;
    if (g->phase != PhasePlaying && g->phase != PhaseFirstLead) return false;
    for (int slot = 0; slot < 13; ++slot) {
      const int card = g->hands[seat][slot];
      if (!IsCard(card) || !MayPlayCard(*g, seat, card)) continue;
      const int x = static_cast<int>(HandCardLeft(w.settings().CardSpacing, slot)) + 2;
      QTest::mouseClick(w.table(), Qt::LeftButton, {}, QPoint(x, HandTop + 40));
      ++cardsClicked_;
      return true;
    }
    return false;
  }

  int contractsChosen_ = 0;
  int doublingAnswers_ = 0;
  int cardsClicked_ = 0;
};

TEST_F(EndToEnd, ServerAndThreeClientsPlayWholeDeals) {
  auto server = Server("Sam", false, 12345);
  const GameState& game = server->server()->Game();
  std::vector<std::unique_ptr<MainWindow>> clients;
  const char* names[3] = {"Wanda", "Ned", "Eve"};
  for (const char* name : names) clients.push_back(Client(name, *server));
  ASSERT_TRUE(WaitUntil([&] {
    const ConnectionTable& t = server->server()->Connections();
    return t.count() == 3 && t.slot(0).joined && t.slot(1).joined && t.slot(2).joined;
  }));
  const int sitCommands[3] = {CmdSitWest, CmdSitNorth, CmdSitEast};
  for (std::size_t i = 0; i < 3; ++i) clients[i]->Command(sitCommands[i]);
  ASSERT_TRUE(WaitUntil([&] { return game.phase == PhaseChoosing; }))
      << "the fourth seat filled starts the game";
  EXPECT_TRUE(WaitUntil([&] {
    for (std::size_t i = 0; i < 3; ++i)
      if (clients[i]->LocalPosition() != static_cast<int>(i) + 1) return false;
    return true;
  }));

  const ScoreSheet sheetAtStart = game.scoreSheet;
  std::vector<MainWindow*> all{server.get()};
  for (auto& c : clients) all.push_back(c.get());
  // Deal 1 with a Trumps contract (played out), deal 2 with whatever the
  // dealer has first among the rest; play until deal 3 is being chosen.
  const bool finished = WaitUntil(
      [&] {
        if (game.dealNumber >= 3) return true;
        bool acted = false;
        for (MainWindow* w : all) acted = Act(*w, game.dealNumber == 1) || acted;
        if (!acted) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return false;
      },
      120000);
  ASSERT_TRUE(finished) << "deal " << game.dealNumber << " phase " << game.phase << " turn "
                        << game.turn;
  EXPECT_GE(contractsChosen_, 2);
  EXPECT_GE(doublingAnswers_, 6);
  EXPECT_GE(cardsClicked_, 52) << "deal 1 was a Trumps contract, played to the last trick";
  EXPECT_TRUE(game.dealDecisions[1][0] >= FirstTrumps && game.dealDecisions[1][0] < FirstDominoes);
  EXPECT_FALSE(game.scoreSheet == sheetAtStart) << "the finished deals are on the sheet";
  // Every screen shows the same score sheet and knows its own new hand.
  ASSERT_TRUE(WaitUntil([&] {
    for (auto& c : clients)
      if (c->Game()->dealNumber != game.dealNumber ||
          c->Game()->scoreSheet.size() != game.scoreSheet.size())
        return false;
    return true;
  }));
  for (std::size_t i = 0; i < clients.size(); ++i) {
    const GameState* g = clients[i]->Game();
    EXPECT_EQ(g->scoreSheet, game.scoreSheet) << names[i];
    for (int slot = 0; slot < 13; ++slot)
      EXPECT_EQ(g->hands[i + 1][slot], game.hands[i + 1][slot]) << names[i];
    // A player whose window was not the active one was asked for attention.
    if (!clients[i]->isActiveWindow()) {
      EXPECT_GT(clients[i]->alertCount(), 0) << names[i];
    }
  }
}

}  // namespace
}  // namespace zelbo
