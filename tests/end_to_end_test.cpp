// A desktop server seated South and three desktop clients, all in this
// process over loopback, play whole deals with the same handlers a person
// uses: menu commands to sit, the Pick-a-game and Action dialogs' controls,
// and mouse clicks on the cards of the own hand.
#include <QTest>

#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/message_pane_widget.h"
#include "app/qt_settings_store.h"
#include "app_test_support.h"
#include "dialogs/doubling_dialog.h"
#include "dialogs/pick_game_dialog.h"
#include "display/hand_geometry.h"
#include "display/qt/table_widget.h"
#include "engine/engine.h"

namespace zelbo {
namespace {

using testing::ScriptedPrompts;
using testing::TempSettings;
using testing::WaitUntil;

class EndToEnd : public ::testing::Test {
 protected:
  std::unique_ptr<MainWindow> Window(const std::string& handle, uint32_t seed = 0) {
    Settings s;
    s.Handle = handle;
    s.Port = 0;
    s.randomSeed = seed;
    WindowOptions options;
    options.folder = settings_.path();
    auto w = std::make_unique<MainWindow>(s, store_, prompts_, options);
    w->show();
    return w;
  }

  // One step of a person at window `w`: answer an open dialog, or click a
  // card that may be played. Returns true when it did something.
  bool Act(MainWindow& w, bool preferTrumps) {
    PickGameDialog* pick = w.pickGameDialog();
    if (pick->isVisible()) {
      int chosen = -1;
      for (int b = 0; b < PickGameModel::BoxCount && chosen < 0; ++b) {
        if (pick->box(b)->isEnabled() && (preferTrumps || b != KindTrumps)) chosen = b;
      }
      if (chosen < 0) chosen = KindTrumps;
      if (!pick->box(chosen)->isChecked()) QTest::mouseClick(pick->box(chosen), Qt::LeftButton);
      if (chosen == KindTrumps) pick->suitList()->setCurrentIndex(0);     // Spades
      if (chosen == KindDominoes) pick->rankList()->setCurrentIndex(4);  // Ten
      ++contractsChosen_;
      QTest::mouseClick(pick->okButton(), Qt::LeftButton);
      return true;
    }
    DoublingDialog* action = w.doublingDialog();
    if (action->isVisible()) {
      ++doublingAnswers_;
      QTest::mouseClick(action->okButton(), Qt::LeftButton);
      return true;
    }
    const GameState* g = w.Game();
    const int seat = w.LocalPosition();
    if (!g || seat < 0 || seat > 3 || g->turn != seat) return false;
    if (g->phase != PhasePlaying && g->phase != PhaseFirstLead) return false;
    const int spacing = w.settings().CardSpacing;
    for (int slot = 0; slot < 13; ++slot) {
      const int card = g->hands[seat][slot];
      if (!IsCard(card) || !MayPlayCard(*g, seat, card)) continue;
      const int x = static_cast<int>(HandCardLeft(spacing, slot)) + 2;
      QTest::mouseClick(w.table(), Qt::LeftButton, {}, QPoint(x, HandTop + 40));
      ++cardsClicked_;
      return true;
    }
    return false;
  }

  TempSettings settings_;
  QtSettingsStore store_;
  ScriptedPrompts prompts_;
  int contractsChosen_ = 0;
  int doublingAnswers_ = 0;
  int cardsClicked_ = 0;
};

TEST_F(EndToEnd, ServerAndThreeClientsPlayWholeDeals) {
  auto server = Window("Sam", 12345);
  ASSERT_TRUE(server->StartServer());
  const uint16_t port = server->server()->Port();

  std::vector<std::unique_ptr<MainWindow>> clients;
  const char* names[3] = {"Wanda", "Ned", "Eve"};
  const int sitCommands[3] = {CmdSitWest, CmdSitNorth, CmdSitEast};
  for (int i = 0; i < 3; ++i) {
    auto c = Window(names[i]);
    c->settings().ServerAddress = "127.0.0.1";
    c->settings().Port = port;
    c->ConnectToServer();
    clients.push_back(std::move(c));
  }
  ASSERT_TRUE(WaitUntil([&] {
    const ConnectionTable& t = server->server()->Connections();
    return t.count() == 3 && t.slot(0).joined && t.slot(1).joined && t.slot(2).joined;
  }));
  for (int i = 0; i < 3; ++i) clients[static_cast<std::size_t>(i)]->Command(sitCommands[i]);
  ASSERT_TRUE(WaitUntil([&] { return server->server()->Game().phase == PhaseChoosing; }))
      << "the fourth seat filled starts the game";
  EXPECT_TRUE(WaitUntil([&] {
    for (int i = 0; i < 3; ++i)
      if (clients[static_cast<std::size_t>(i)]->LocalPosition() != i + 1) return false;
    return true;
  }));

  const ScoreSheet sheetAtStart = server->server()->Game().scoreSheet;
  std::vector<MainWindow*> all{server.get()};
  for (auto& c : clients) all.push_back(c.get());

  // Deal 1 with a Trumps contract (played out), deal 2 with whatever the
  // dealer has first among the rest; play until deal 3 is being chosen.
  const GameState& game = server->server()->Game();
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
  EXPECT_EQ(game.dealDecisions[1][0] >= FirstTrumps && game.dealDecisions[1][0] < FirstDominoes,
            true);
  // Every screen shows the same score sheet and knows its own new hand.
  ASSERT_TRUE(WaitUntil([&] {
    for (auto& c : clients) {
      const GameState* g = c->Game();
      if (g->dealNumber != game.dealNumber || g->scoreSheet.size() != game.scoreSheet.size())
        return false;
    }
    return true;
  }));
  for (std::size_t i = 0; i < clients.size(); ++i) {
    const GameState* g = clients[i]->Game();
    EXPECT_EQ(g->scoreSheet, game.scoreSheet) << names[i];
    for (int slot = 0; slot < 13; ++slot) {
      EXPECT_EQ(g->hands[i + 1][slot], game.hands[i + 1][slot]) << names[i];
    }
  }
  // A player whose window was not the active one was asked for attention
  // when its turn or a prompt came.
  for (auto& c : clients) {
    if (!c->isActiveWindow()) {
      EXPECT_GT(c->alertCount(), 0);
    }
  }
  // The finished deals were written on the sheet.
  EXPECT_FALSE(game.scoreSheet == sheetAtStart);
}

}  // namespace
}  // namespace zelbo
