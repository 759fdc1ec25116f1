#include "app/main_window.h"

#include <QAction>
#include <QFile>
#include <QMenuBar>
#include <QTest>

#include "app/command_ids.h"
#include "app/message_pane_widget.h"
#include "app_test_support.h"
#include "dialogs/doubling_dialog.h"
#include "dialogs/pick_game_dialog.h"
#include "dialogs/score_window.h"
#include "display/qt/table_widget.h"
#include "engine/engine.h"

namespace zelbo {
namespace {

using testing::WaitUntil;

using Popup = std::pair<QString, std::vector<std::pair<QString, int>>>;
const std::vector<Popup> Menu = {
    {"&File", {{"&Setup...", 250}, {"&Open", 309}, {"Sa&ve", 310},
               {"Save &Hand Records", 311}, {"E&xit", 300}}},
    {"&Remove", {{"Remove &West", 401}, {"Remove &North", 402}, {"Remove &East", 403},
                 {"Remove &South", 420}}},
    {"&Sit", {{"Sit &West", 301}, {"Sit &North", 302}, {"Sit &East", 303}, {"Sit &South", 320},
              {"&Unsit", 325}, {"Fill empty seats with &robots", 326}}},
    {"&Kibbitz", {{"Kibbitz &South", 305}, {"Kibbitz &West", 306}, {"Kibbitz &North", 307},
                  {"Kibbitz &East", 308}, {"Kibbitz &All", 313}}},
    {"S&core", {{"&Show Score", 304}}},
    {"&Undo", {{"&Undo", 312}}},
    {"&Help", {{"&About", 500}}}};

std::string LastPaneLine(const MainWindow& w) {
  QListWidget* list = w.pane()->list();
  return list->count() ? list->item(list->count() - 1)->text().toStdString() : std::string();
}

GameState Offering() {
  GameState g;
  for (auto& v : g.offeredContracts) v = 1;
  for (auto& row : g.doubleFactor)
    for (auto& f : row) f = 1;
  return g;
}

using MainWindowTest = testing::WindowTest;

TEST_F(MainWindowTest, WindowMenuPaneAndScoreWindow) {
  auto w = Window("Ann");
  EXPECT_EQ(w->windowTitle(), "zelbowin");
  EXPECT_EQ(w->size(), QSize(900, 720));
  const QList<QAction*> popups = w->menuBar()->actions();
  ASSERT_EQ(popups.size(), static_cast<qsizetype>(Menu.size()));
  for (qsizetype p = 0; p < popups.size(); ++p) {
    const auto& [title, items] = Menu[static_cast<std::size_t>(p)];
    EXPECT_EQ(popups[p]->text(), title);
    const QList<QAction*> actions = popups[p]->menu()->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(items.size()));
    for (qsizetype i = 0; i < actions.size(); ++i) {
      const auto& [text, id] = items[static_cast<std::size_t>(i)];
      EXPECT_EQ(actions[i]->text(), text);
      EXPECT_EQ(actions[i], w->action(id)) << id;
      EXPECT_TRUE(actions[i]->isEnabled()) << "never greyed: " << id;
    }
  }
  // The pane keeps the last 65 lines, 4 pixels in from the edges, below the table.
  for (int i = 0; i < 70; ++i) w->pane()->AddLine("line " + std::to_string(i));
  ASSERT_EQ(w->pane()->list()->count(), 65);
  EXPECT_EQ(w->pane()->list()->item(0)->text(), "line 5");
  const QRect pane = w->pane()->geometry();
  const QWidget* area = w->centralWidget();
  EXPECT_EQ(QPoint(pane.left(), area->height() - pane.bottom() - 1), QPoint(4, 4));
  EXPECT_EQ(area->width() - pane.right() - 1, 4);
  EXPECT_GE(pane.top(), 550) << "the own name on the table stays visible";
  // Score: beside the window, fixed pitch; closing only hides it.
  w->Command(CmdShowScore);
  ScoreWindow* score = w->scoreWindow();
  ASSERT_TRUE(score->isVisible());
  EXPECT_EQ(score->windowTitle(), "Score");
  EXPECT_EQ(score->geometry(), QRect(w->frameGeometry().topLeft() + QPoint(900, 100), QSize(500, 600)));
  EXPECT_TRUE(score->list()->font().fixedPitch() || QFontInfo(score->list()->font()).fixedPitch());
  score->close();
  EXPECT_FALSE(score->isVisible());
  // Ctrl+Q exits.
  QAction* exit = w->action(CmdExit);
  EXPECT_EQ(exit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
  EXPECT_EQ(exit->shortcutContext(), Qt::ApplicationShortcut);
  exit->trigger();
  EXPECT_FALSE(w->isVisible());
}

TEST_F(MainWindowTest, CommandsTheRoleDoesNotAllowDoNothing) {
  auto w = Window("plomk", true);
  for (const auto& [title, items] : Menu)
    for (const auto& [text, id] : items)
      if (id != CmdSetup && id != CmdAbout && id != CmdExit && id != CmdShowScore) w->Command(id);
  w->ClickAt(400, 520);  // without a position even the privileged Undo spot is ignored
  EXPECT_TRUE(prompts_.fileAsks.empty());
  EXPECT_FALSE(w->Role().HasRole());
  EXPECT_EQ(w->pane()->list()->count(), 0);
  w->Command(CmdAbout);
  EXPECT_EQ(prompts_.abouts, 1);
  // A client has no file commands; a second server cannot take a port in use.
  auto server = Server();
  auto client = Client("Wanda", *server);
  for (int id : {CmdOpen, CmdSave, CmdSaveHandRecords}) client->Command(id);
  EXPECT_TRUE(prompts_.fileAsks.empty());
  w->settings().Port = server->server()->Port();
  EXPECT_FALSE(w->StartServer());
  EXPECT_FALSE(w->Role().HasRole());
  EXPECT_FALSE(LastPaneLine(*w).empty());
}

TEST_F(MainWindowTest, HiddenUndoSpotOnlyForThePrivilegedUser) {
  for (bool privileged : {false, true}) {
    auto w = Server(privileged ? "plomk" : "Sam", privileged);
    const int before = w->pane()->list()->count();
    w->ClickAt(400, 520);
    EXPECT_EQ(w->pane()->list()->count(), before + (privileged ? 1 : 0)) << "the undo answer";
  }
}

TEST_F(MainWindowTest, SetupKeepsDialogOpenForBadPortThenStartsClient) {
  auto server = Server();
  auto w = Window("");
  std::vector<bool> acceptedAfterEachOk;
  prompts_.setup = [&](SetupDialog& d) {
    d.clientBox()->setChecked(true);
    d.addressBox()->setEditText("127.0.0.1 the club");
    d.handleField()->setText("Wanda");
    for (int port : {70000, static_cast<int>(server->server()->Port())}) {
      d.portField()->setText(QString::number(port));
      d.PressOk();
      acceptedAfterEachOk.push_back(d.result() == QDialog::Accepted);
      EXPECT_EQ(d.portNote()->isHidden(), port < 65536);
    }
  };
  w->Command(CmdSetup);
  EXPECT_EQ(acceptedAfterEachOk, (std::vector<bool>{false, true}));
  EXPECT_EQ(w->settings().ServerAddress, "127.0.0.1");
  ASSERT_TRUE(w->Role().isClient);
  ASSERT_TRUE(WaitUntil([&] {
    return server->server()->Connections().count() == 1 &&
           server->server()->Connections().slot(0).joined;
  }));
  EXPECT_EQ(server->server()->Connections().slot(0).handle, "Wanda");
}

TEST_F(MainWindowTest, SitKibitzAndRemoveFollowThePosition) {
  auto server = Server();
  auto wanda = Client("Wanda", *server);
  auto kim = Client("Kim", *server);
  ASSERT_TRUE(WaitUntil([&] { return server->server()->Connections().count() == 2; }));
  wanda->Command(CmdSitWest);
  ASSERT_TRUE(WaitUntil([&] { return wanda->LocalPosition() == West; }));
  EXPECT_TRUE(WaitUntil([&] { return LastPaneLine(*server) == "Wanda is sitting West"; }));
  wanda->Command(CmdKibitzAll);  // a seated client cannot kibitz
  wanda->Command(CmdSitNorth);   // nor sit again
  kim->Command(CmdKibitzNorth);
  EXPECT_EQ(kim->LocalPosition(), 6);
  kim->Command(CmdSitEast);  // a kibitzer does not sit
  kim->Command(CmdKibitzAll);
  EXPECT_EQ(kim->LocalPosition(), KibitzAll);
  kim->ClickAt(310, 450);  // kibitzers' clicks never play
  QTest::qWait(100);
  EXPECT_EQ(wanda->LocalPosition(), West);
  EXPECT_EQ(server->server()->Occupants()[North], EmptySeat);
  EXPECT_EQ(server->server()->Occupants()[East], EmptySeat);

  server->Command(CmdRemoveSouth);  // the server's own seat is never removed
  EXPECT_EQ(server->server()->Occupants()[South], ServerUserSeat);
  server->Command(CmdRemoveNorth);  // empty seat: nothing
  EXPECT_EQ(server->server()->Connections().count(), 2);
  server->Command(CmdRemoveWest);
  EXPECT_EQ(server->server()->Occupants()[West], EmptySeat);
  ASSERT_TRUE(WaitUntil([&] { return !wanda->Role().isClient; }));
  EXPECT_EQ(wanda->LocalPosition(), NoPosition);
}

TEST_F(MainWindowTest, FileErrorsNameTheFileAndLeaveTheGame) {
  auto server = Server();
  const GameState before = server->server()->Game();
  const std::string missing = settings_.path() + "/no/such/folder/game.zelbo";
  const std::string good = settings_.path() + "/saved.zelbo";
  prompts_.fileNames = {missing, missing, missing, "", good};  // "" cancels
  for (int id : {CmdOpen, CmdSave, CmdSaveHandRecords, CmdSave, CmdSave}) server->Command(id);
  ASSERT_EQ(prompts_.errors.size(), 3u);
  for (const QString& e : prompts_.errors) EXPECT_TRUE(e.contains(QString::fromStdString(missing)));
  EXPECT_EQ(prompts_.fileAsks, (std::vector<std::pair<bool, int>>{
                                  {true, FileKindGame}, {false, FileKindGame}, {false, FileKindText},
                                  {false, FileKindGame}, {false, FileKindGame}}));
  EXPECT_TRUE(SameGame(before, server->server()->Game()));
  EXPECT_TRUE(QFile::exists(QString::fromStdString(good)));
}

TEST_F(MainWindowTest, ChatLineSendsAndTableKeysGoToIt) {
  auto server = Server();
  QTest::keyClicks(server->table(), "hi");
  EXPECT_EQ(server->pane()->chatLine()->text(), "hi");
  QTest::keyClick(server->pane()->chatLine(), Qt::Key_Return);
  EXPECT_EQ(LastPaneLine(*server), "Sam: hi");
  EXPECT_EQ(server->pane()->chatLine()->text(), "");
  server->pane()->sendButton()->click();  // empty line: prefix and one blank
  EXPECT_EQ(LastPaneLine(*server), "Sam:  ");
}

TEST_F(MainWindowTest, DecisionDialogsIgnoreEscapeAndCloseAndAskForAttention) {
  auto w = Server();
  QWidget other;
  other.show();
  QApplication::setActiveWindow(&other);
  ASSERT_TRUE(WaitUntil([&] { return !w->isActiveWindow(); }, 2000));
  GameState g = Offering();
  g.offeredContracts[KindMisere] = 0;
  w->OpenPickGameDialog(g);
  EXPECT_EQ(w->alertCount(), 1);
  // South acts at step 3 of West's deal: the dealer is South's left-hand
  // opponent, whose box is forced; a negative contract leaves the others free.
  g.dealNumber = 1;
  g.dealer = West;
  g.turn = 3;
  g.dealDecisions[1][0] = NoQueens;
  g.forcedDouble = 1;
  w->OpenDoublingDialog(g);
  EXPECT_EQ(w->alertCount(), 2);
  PickGameDialog* pick = w->pickGameDialog();
  DoublingDialog* action = w->doublingDialog();
  EXPECT_EQ(action->windowTitle(), "Action");
  for (QDialog* d : std::initializer_list<QDialog*>{pick, action}) {
    QTest::keyClick(d, Qt::Key_Escape);
    d->close();
    EXPECT_TRUE(d->isVisible());
  }
  EXPECT_FALSE(pick->box(KindMisere)->isEnabled());
  EXPECT_TRUE(action->box(0)->isChecked());
  EXPECT_FALSE(action->box(0)->isEnabled());
  EXPECT_TRUE(action->box(1)->isEnabled() && action->box(2)->isEnabled());
  // OK outside the choosing phase only hides it.
  pick->box(2)->click();
  pick->okButton()->click();
  EXPECT_FALSE(pick->isVisible());
  QApplication::setActiveWindow(w.get());
  if (WaitUntil([&] { return w->isActiveWindow(); }, 2000)) {
    w->OpenPickGameDialog(g);
    EXPECT_EQ(w->alertCount(), 2) << "an active window asks for no attention";
  }
}

TEST_F(MainWindowTest, GameOverAsksAboutHandRecordsAfterTheHand) {
  auto w = Server();
  prompts_.answerHandRecords = true;
  const std::string path = settings_.path() + "/records.txt";
  prompts_.fileNames = {path};
  w->GameOver(w->server()->Game());
  EXPECT_EQ(prompts_.handRecordQuestions, 0) << "asked only once the engine call is over";
  ASSERT_TRUE(WaitUntil([&] { return prompts_.handRecordQuestions == 1; }));
  EXPECT_EQ(prompts_.fileAsks, (std::vector<std::pair<bool, int>>{{false, FileKindText}}));
  EXPECT_TRUE(prompts_.errors.empty());
  EXPECT_TRUE(QFile::exists(QString::fromStdString(path)));
}

TEST_F(MainWindowTest, RobotsFillTheTableAtStartAndOnCommand) {
  auto w = Window("Sam");
  w->settings().Robots = 3;
  ASSERT_TRUE(w->StartServer());
  // Three robots sit West, North and East; the game starts.
  ASSERT_TRUE(WaitUntil([&] { return w->Game()->phase != PhaseIdle; }));
  EXPECT_EQ(w->server()->Connections().slot(w->server()->Occupants()[West]).handle, "Robot West");
  // A seat that falls empty suspends the game; the command fills it again.
  w->Command(CmdRemoveNorth);
  EXPECT_TRUE(IsSuspended(w->Game()->phase));
  w->Command(CmdFillRobots);
  ASSERT_TRUE(WaitUntil([&] { return !IsSuspended(w->Game()->phase); }));
  EXPECT_EQ(w->server()->Connections().slot(w->server()->Occupants()[North]).handle, "Robot North");
}

}  // namespace
}  // namespace zelbo
