#include "app/main_window.h"

#include <QAction>
#include <QFile>
#include <QMenuBar>
#include <QTest>

#include "app/command_ids.h"
#include "app/message_pane_widget.h"
#include "app/qt_settings_store.h"
#include "app_test_support.h"
#include "dialogs/doubling_dialog.h"
#include "dialogs/pick_game_dialog.h"
#include "dialogs/score_window.h"
#include "display/qt/table_widget.h"
#include "engine/engine.h"

namespace zelbo {
namespace {

using testing::ScriptedPrompts;
using testing::TempSettings;
using testing::WaitUntil;

constexpr int AllCommands[] = {CmdSetup, CmdOpen, CmdSave, CmdSaveHandRecords, CmdRemoveWest,
                               CmdRemoveNorth, CmdRemoveEast, CmdRemoveSouth, CmdSitWest,
                               CmdSitNorth, CmdSitEast, CmdSitSouth, CmdUnsit, CmdFillRobots, CmdKibitzSouth,
                               CmdKibitzWest, CmdKibitzNorth, CmdKibitzEast, CmdKibitzAll,
                               CmdShowScore, CmdUndo, CmdAbout, CmdExit};

class MainWindowTest : public ::testing::Test {
 protected:
  std::unique_ptr<MainWindow> Window(const std::string& handle, bool privileged = false) {
    Settings s;
    s.Handle = handle;
    s.Port = 0;  // any free port for a server
    s.Privileged = privileged;
    WindowOptions options;
    options.folder = settings_.path();
    auto w = std::make_unique<MainWindow>(s, store_, prompts_, options);
    w->show();
    return w;
  }
  std::unique_ptr<MainWindow> Server(const std::string& handle = "Sam", bool privileged = false) {
    auto w = Window(handle, privileged);
    EXPECT_TRUE(w->StartServer());
    return w;
  }
  std::unique_ptr<MainWindow> Client(const std::string& handle, const MainWindow& server) {
    auto w = Window(handle);
    w->settings().ServerAddress = "127.0.0.1";
    w->settings().Port = server.server()->Port();
    w->ConnectToServer();
    return w;
  }
  static std::string LastPaneLine(const MainWindow& w) {
    QListWidget* list = w.pane()->list();
    return list->count() ? list->item(list->count() - 1)->text().toStdString() : std::string();
  }

  TempSettings settings_;
  QtSettingsStore store_;
  ScriptedPrompts prompts_;
};

TEST_F(MainWindowTest, WindowMenuAndShortcut) {
  auto w = Window("Ann");
  EXPECT_EQ(w->windowTitle(), "zelbowin");
  EXPECT_EQ(w->width(), 900);
  EXPECT_EQ(w->height(), 720);

  const std::vector<std::pair<QString, std::vector<std::pair<QString, int>>>> expected = {
      {"&File", {{"&Setup...", 250}, {"&Open", 309}, {"Sa&ve", 310},
                 {"Save &Hand Records", 311}, {"E&xit", 300}}},
      {"&Remove", {{"Remove &West", 401}, {"Remove &North", 402}, {"Remove &East", 403},
                   {"Remove &South", 420}}},
      {"&Sit", {{"Sit &West", 301}, {"Sit &North", 302}, {"Sit &East", 303},
                {"Sit &South", 320}, {"&Unsit", 325},
                {"Fill empty seats with &robots", 326}}},
      {"&Kibbitz", {{"Kibbitz &South", 305}, {"Kibbitz &West", 306}, {"Kibbitz &North", 307},
                    {"Kibbitz &East", 308}, {"Kibbitz &All", 313}}},
      {"S&core", {{"&Show Score", 304}}},
      {"&Undo", {{"&Undo", 312}}},
      {"&Help", {{"&About", 500}}}};
  const QList<QAction*> popups = w->menuBar()->actions();
  ASSERT_EQ(popups.size(), static_cast<qsizetype>(expected.size()));
  for (std::size_t p = 0; p < expected.size(); ++p) {
    EXPECT_EQ(popups[static_cast<qsizetype>(p)]->text(), expected[p].first);
    const QList<QAction*> items = popups[static_cast<qsizetype>(p)]->menu()->actions();
    ASSERT_EQ(items.size(), static_cast<qsizetype>(expected[p].second.size()));
    for (std::size_t i = 0; i < expected[p].second.size(); ++i) {
      const auto& [text, id] = expected[p].second[i];
      EXPECT_EQ(items[static_cast<qsizetype>(i)]->text(), text);
      EXPECT_EQ(items[static_cast<qsizetype>(i)], w->action(id)) << id;
      EXPECT_TRUE(items[static_cast<qsizetype>(i)]->isEnabled()) << "never greyed: " << id;
    }
  }
  QAction* exit = w->action(CmdExit);
  EXPECT_EQ(exit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
  EXPECT_EQ(exit->shortcutContext(), Qt::ApplicationShortcut);
  exit->trigger();
  EXPECT_FALSE(w->isVisible());
}

TEST_F(MainWindowTest, CommandsWithoutRoleDoNothing) {
  auto w = Window("plomk", true);
  for (int id : AllCommands) {
    if (id == CmdSetup || id == CmdAbout || id == CmdExit || id == CmdShowScore) continue;
    w->Command(id);
  }
  EXPECT_TRUE(prompts_.fileAsks.empty());
  EXPECT_FALSE(w->Role().HasRole());
  EXPECT_EQ(w->pane()->list()->count(), 0);
  // Without a position even the privileged Undo spot is ignored.
  w->ClickAt(400, 520);
  EXPECT_EQ(w->pane()->list()->count(), 0);
  w->Command(CmdAbout);
  EXPECT_EQ(prompts_.abouts, 1);
}

TEST_F(MainWindowTest, SetupKeepsDialogOpenForBadPortThenStartsClient) {
  auto server = Server();
  const uint16_t port = server->server()->Port();
  auto w = Window("");
  std::vector<bool> acceptedAfterEachOk;
  prompts_.setup = [&](SetupDialog& d) {
    d.clientBox()->setChecked(true);
    d.addressBox()->setEditText("127.0.0.1 the club");
    d.handleField()->setText("Wanda");
    d.portField()->setText("70000");
    d.PressOk();
    acceptedAfterEachOk.push_back(d.result() == QDialog::Accepted);
    EXPECT_FALSE(d.portNote()->isHidden());
    d.portField()->setText(QString::number(port));
    d.PressOk();
    acceptedAfterEachOk.push_back(d.result() == QDialog::Accepted);
    EXPECT_TRUE(d.portNote()->isHidden());
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
  // A second OK with Client still checked does not connect again.
  prompts_.setup = [&](SetupDialog& d) {
    EXPECT_TRUE(d.clientBox()->isChecked());
    d.PressOk();
  };
  w->Command(CmdSetup);
  QTest::qWait(50);
  EXPECT_EQ(server->server()->Connections().count(), 1);
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
  QTest::qWait(100);
  EXPECT_EQ(wanda->LocalPosition(), West);
  EXPECT_EQ(server->server()->Occupants()[North], EmptySeat);

  kim->Command(CmdKibitzNorth);
  EXPECT_EQ(kim->LocalPosition(), 6);
  kim->Command(CmdSitEast);  // a kibitzer does not sit
  kim->Command(CmdKibitzAll);
  EXPECT_EQ(kim->LocalPosition(), KibitzAll);
  QTest::qWait(100);
  EXPECT_EQ(server->server()->Occupants()[East], EmptySeat);
  // Kibitzers' clicks never play and never undo.
  kim->ClickAt(310, 450);

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
  prompts_.fileNames = {missing, missing, missing};
  server->Command(CmdOpen);
  server->Command(CmdSave);
  server->Command(CmdSaveHandRecords);
  ASSERT_EQ(prompts_.errors.size(), 3u);
  for (const QString& e : prompts_.errors) EXPECT_TRUE(e.contains(QString::fromStdString(missing)));
  EXPECT_EQ(prompts_.fileAsks,
            (std::vector<std::pair<bool, int>>{{true, FileKindGame}, {false, FileKindGame},
                                              {false, FileKindText}}));
  EXPECT_TRUE(SameGame(before, server->server()->Game()));
  // A cancelled dialog does nothing; a good path saves.
  server->Command(CmdSave);
  EXPECT_EQ(prompts_.errors.size(), 3u);
  const std::string good = settings_.path() + "/saved.zelbo";
  prompts_.fileNames = {good};
  server->Command(CmdSave);
  EXPECT_EQ(prompts_.errors.size(), 3u);
  EXPECT_TRUE(QFile::exists(QString::fromStdString(good)));
}

TEST_F(MainWindowTest, ClientCannotUseFileCommands) {
  auto server = Server();
  auto client = Client("Wanda", *server);
  for (int id : {CmdOpen, CmdSave, CmdSaveHandRecords}) client->Command(id);
  EXPECT_TRUE(prompts_.fileAsks.empty());
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

TEST_F(MainWindowTest, PaneKeepsTheLast65LinesAndSitsAtTheBottom) {
  auto w = Window("Ann");
  for (int i = 0; i < 70; ++i) w->pane()->AddLine("line " + std::to_string(i));
  ASSERT_EQ(w->pane()->list()->count(), 65);
  EXPECT_EQ(w->pane()->list()->item(0)->text(), "line 5");
  const QRect pane = w->pane()->geometry();
  const QWidget* area = w->centralWidget();
  EXPECT_EQ(pane.left(), 4);
  EXPECT_EQ(area->width() - pane.right() - 1, 4);
  EXPECT_EQ(area->height() - pane.bottom() - 1, 4);
  EXPECT_GE(pane.top(), 550) << "the own name on the table stays visible";
}

TEST_F(MainWindowTest, ScoreWindowShowsBesideAndCloseOnlyHides) {
  auto w = Window("Ann");
  w->Command(CmdShowScore);
  ScoreWindow* score = w->scoreWindow();
  ASSERT_TRUE(score->isVisible());
  EXPECT_EQ(score->windowTitle(), "Score");
  EXPECT_EQ(score->geometry().size(), QSize(500, 600));
  EXPECT_EQ(score->geometry().left(), w->frameGeometry().left() + 900);
  EXPECT_EQ(score->geometry().top(), w->frameGeometry().top() + 100);
  score->close();
  EXPECT_FALSE(score->isVisible());
  EXPECT_TRUE(score->list()->font().fixedPitch() || QFontInfo(score->list()->font()).fixedPitch());
}

TEST_F(MainWindowTest, DecisionDialogsIgnoreEscapeAndClose) {
  auto w = Server();
  GameState g;
  for (auto& v : g.offeredContracts) v = 1;
  w->OpenPickGameDialog(g);
  PickGameDialog* pick = w->pickGameDialog();
  ASSERT_TRUE(pick->isVisible());
  QTest::keyClick(pick, Qt::Key_Escape);
  pick->close();
  EXPECT_TRUE(pick->isVisible());
  // OK outside the choosing phase only hides it.
  pick->box(2)->click();
  pick->okButton()->click();
  EXPECT_FALSE(pick->isVisible());

  for (auto& row : g.doubleFactor)
    for (auto& f : row) f = 1;
  g.dealNumber = 1;
  g.turn = 4;
  w->OpenDoublingDialog(g);
  DoublingDialog* action = w->doublingDialog();
  ASSERT_TRUE(action->isVisible());
  EXPECT_EQ(action->windowTitle(), "Action");
  QTest::keyClick(action, Qt::Key_Escape);
  action->close();
  EXPECT_TRUE(action->isVisible());
}

TEST_F(MainWindowTest, PromptsAskForAttentionOnlyWhenInactive) {
  auto w = Server();
  QWidget other;
  other.show();
  QApplication::setActiveWindow(&other);
  ASSERT_TRUE(WaitUntil([&] { return !w->isActiveWindow(); }, 2000));
  GameState g;
  for (auto& v : g.offeredContracts) v = 1;
  w->OpenPickGameDialog(g);
  EXPECT_EQ(w->alertCount(), 1);
  QApplication::setActiveWindow(w.get());
  if (WaitUntil([&] { return w->isActiveWindow(); }, 2000)) {
    w->OpenPickGameDialog(g);
    EXPECT_EQ(w->alertCount(), 1);
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
  ASSERT_EQ(prompts_.fileAsks.size(), 1u);
  EXPECT_EQ(prompts_.fileAsks[0], std::make_pair(false, FileKindText));
  EXPECT_TRUE(prompts_.errors.empty());
  EXPECT_TRUE(QFile::exists(QString::fromStdString(path)));
}

TEST_F(MainWindowTest, HiddenUndoSpotOnlyForThePrivilegedUser) {
  auto plain = Server("Sam");
  const int before = plain->pane()->list()->count();
  plain->ClickAt(400, 520);
  EXPECT_EQ(plain->pane()->list()->count(), before);
  plain.reset();
  auto privileged = Server("plomk", true);
  const int count = privileged->pane()->list()->count();
  privileged->ClickAt(400, 520);
  EXPECT_EQ(privileged->pane()->list()->count(), count + 1) << "the undo answer";
}

TEST_F(MainWindowTest, RobotsFillTheTableAtStartAndOnCommand) {
  auto w = Window("Sam");
  w->settings().Robots = 3;
  ASSERT_TRUE(w->StartServer());
  // Three robots sit West, North and East; the game starts and comes round
  // to the person at South.
  ASSERT_TRUE(WaitUntil([&] { return w->Game()->phase != PhaseIdle; }));
  EXPECT_EQ(w->server()->Connections().slot(w->server()->Occupants()[West]).handle, "Robot West");
  // A seat that falls empty suspends the game; the menu command fills it
  // and the game resumes.
  w->Command(CmdRemoveNorth);
  EXPECT_TRUE(IsSuspended(w->Game()->phase));
  w->Command(CmdFillRobots);
  ASSERT_TRUE(WaitUntil([&] { return !IsSuspended(w->Game()->phase); }));
  EXPECT_EQ(w->server()->Connections().slot(w->server()->Occupants()[North]).handle, "Robot North");
}

TEST_F(MainWindowTest, PortInUseLeavesNoRole) {
  auto first = Server();
  auto second = Window("Other");
  second->settings().Port = first->server()->Port();
  EXPECT_FALSE(second->StartServer());
  EXPECT_FALSE(second->Role().HasRole());
  EXPECT_FALSE(LastPaneLine(*second).empty());
}

}  // namespace
}  // namespace zelbo

namespace zelbo {
namespace {

// The dialogs draw; ZELBO_SNAPSHOT_DIR keeps the pictures for a look.
TEST_F(MainWindowTest, DialogsRender) {
  const QString keep = qEnvironmentVariable("ZELBO_SNAPSHOT_DIR");
  const QString folder = keep.isEmpty() ? QString::fromStdString(settings_.path()) : keep;
  auto w = Server();
  GameState g;
  for (auto& v : g.offeredContracts) v = 1;
  g.offeredContracts[KindMisere] = 0;
  w->OpenPickGameDialog(g);
  for (auto& row : g.doubleFactor)
    for (auto& f : row) f = 1;
  g.dealNumber = 1;
  g.dealer = West;
  g.turn = 3;
  g.dealDecisions[1][0] = NoQueens;
  g.forcedDouble = 1;
  w->OpenDoublingDialog(g);
  SetupDialog setup(w.get(), w->settings(), w->Role(), store_, {"10.0.0.2 club room"});
  setup.show();
  const std::pair<QWidget*, const char*> shots[] = {
      {w->pickGameDialog(), "pick_game.png"}, {w->doublingDialog(), "action.png"},
      {&setup, "setup.png"}, {w.get(), "window.png"}};
  for (const auto& [widget, name] : shots) {
    QImage image = widget->grab().toImage();
    ASSERT_FALSE(image.isNull()) << name;
    EXPECT_TRUE(image.save(folder + "/" + name)) << name;
  }
  // South acts at step 3 of West's deal: the dealer is South's left-hand
  // opponent, whose box is forced; a negative contract leaves the others free.
  DoublingDialog* action = w->doublingDialog();
  EXPECT_TRUE(action->box(0)->isChecked());
  EXPECT_FALSE(action->box(0)->isEnabled());
  EXPECT_TRUE(action->box(1)->isEnabled());
  EXPECT_TRUE(action->box(2)->isEnabled());
  EXPECT_FALSE(w->pickGameDialog()->box(KindMisere)->isEnabled());
}

}  // namespace
}  // namespace zelbo
