#include <QAction>
#include <QFile>
#include <QMenuBar>
#include <QTest>

#include <tuple>

#include "app_test_support.h"
#include "dialogs/score_window.h"

namespace zelbo {
namespace {

using testing::WaitUntil;

// Each popup: its title, then "item text=command id". The Sit menu ends
// with one entry per robot level, numbered from 327.
QStringList SitMenuItems() {
  QStringList sit = {"&Sit", "Sit &West=301", "Sit &North=302", "Sit &East=303", "Sit &South=320",
                     "&Unsit=325", "Fill empty seats with &robots=326"};
  int id = 327;
  for (const RobotLevelInfo& row : RobotLevels) sit << QString("%1=%2").arg(row.menuText).arg(id++);
  return sit;
}
const std::vector<QStringList> Menu = {
    {"&File", "&Setup...=250", "&Open=309", "Sa&ve=310", "Save &Hand Records=311", "&Past games=314",
     "E&xit=300"},
    {"&Remove", "Remove &West=401", "Remove &North=402", "Remove &East=403", "Remove &South=420"},
    SitMenuItems(),
    {"&Kibbitz", "Kibbitz &South=305", "Kibbitz &West=306", "Kibbitz &North=307",
     "Kibbitz &East=308", "Kibbitz &All=313"},
    {"S&core", "&Show Score=304"}, {"&Undo", "&Undo=312"}, {"&Help", "&About=500"}};

std::string LastPaneLine(const MainWindow& w) {
  QListWidget* list = w.pane()->list();
  return list->count() ? list->item(list->count() - 1)->text().toStdString() : std::string();
}

using MainWindowTest = testing::WindowTest;

TEST_F(MainWindowTest, WindowMenuPaneAndScoreWindow) {
  auto w = Window("Ann");
  EXPECT_TRUE(w->windowTitle() == "zelbowin" && w->size() == QSize(900, 720));
  QString shown, want;
  for (const QStringList& popup : Menu) want += popup.join(" | ") + "\n";
  for (QAction* popup : w->menuBar()->actions()) {
    shown += popup->text();
    for (QAction* item : popup->menu()->actions()) {
      int id = 0;
      while (id < 1000 && w->action(id) != item) ++id;
      shown += " | " + item->text() + "=" + QString::number(id);
      EXPECT_TRUE(item->isEnabled()) << "never greyed";
    }
    shown += "\n";
  }
  EXPECT_EQ(shown.toStdString(), want.toStdString());
  // The pane sits along the bottom, 4 pixels in from the edges, below the table.
  const QRect pane = w->pane()->geometry(), area = w->centralWidget()->rect();
  EXPECT_EQ(pane, area.adjusted(4, pane.top(), -4, -4));
  EXPECT_GE(pane.top(), 550) << "the own name on the table stays visible";
  // Score: beside the window, fixed pitch; closing only hides it.
  w->Command(CmdShowScore);
  ScoreWindow* score = w->scoreWindow();
  ASSERT_TRUE(score->isVisible() && score->windowTitle() == "Score");
  EXPECT_EQ(score->geometry().topLeft() - w->frameGeometry().topLeft(), QPoint(900, 100));
  EXPECT_EQ(score->size(), QSize(500, 600));
  EXPECT_TRUE(QFontInfo(score->list()->font()).fixedPitch());
  score->close();
  EXPECT_FALSE(score->isVisible());
  EXPECT_EQ(w->action(CmdExit)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
  w->action(CmdExit)->trigger();
  EXPECT_FALSE(w->isVisible());
}

TEST_F(MainWindowTest, CommandsTheRoleDoesNotAllowDoNothing) {
  auto w = Window("plomk", true);
  for (const QStringList& popup : Menu)
    for (const QString& item : popup.mid(1))
      if (int id = item.split('=')[1].toInt(); id != CmdSetup && id != CmdExit && !LevelOfCommand(id))
        w->Command(id);  // (the robots' level is a setting, chosen in any role)
  // Without a position even the privileged Undo spot is ignored.
  QTest::mouseClick(w->table(), Qt::LeftButton, Qt::NoModifier, QPoint(400, 520));
  EXPECT_TRUE(prompts_.fileAsks.empty() && !w->Role().HasRole());
  EXPECT_TRUE(w->pane()->list()->count() == 0 && prompts_.abouts == 1);
  // A client has no file commands; a second server cannot take a port in use.
  auto server = Server(), client = Client("Wanda", *server);
  for (int id : {CmdOpen, CmdSave, CmdSaveHandRecords}) client->Command(id);
  EXPECT_TRUE(prompts_.fileAsks.empty());
  w->settings().port = server->server()->Port();
  EXPECT_FALSE(w->StartServer());
  EXPECT_TRUE(!w->Role().HasRole() && !LastPaneLine(*w).empty());
  // The hidden Undo spot answers only the privileged user.
  for (bool privileged : {false, true}) {
    auto s = Server(privileged ? "plomk" : "Sam", privileged);
    const int before = s->pane()->list()->count();
    QTest::mouseClick(s->table(), Qt::LeftButton, Qt::NoModifier, QPoint(400, 520));
    EXPECT_EQ(s->pane()->list()->count(), before + (privileged ? 1 : 0)) << "the undo answer";
  }
}

TEST_F(MainWindowTest, SetupStartsAClientThatSitsKibitzesAndIsRemoved) {
  auto server = Server();
  auto wanda = Window("");
  prompts_.setup = [&](SetupDialog& d) {
    d.clientBox()->setChecked(true);
    d.addressBox()->setEditText("127.0.0.1 the club");
    d.handleField()->setText("Wanda");
    d.portField()->setText("70000");
    d.PressOk();
    EXPECT_TRUE(d.result() != QDialog::Accepted && !d.portNote()->isHidden());
    d.portField()->setText(QString::number(server->server()->Port()));
    d.PressOk();
  };
  wanda->Command(CmdSetup);  // the bad port keeps the dialog open
  EXPECT_EQ(wanda->settings().serverAddress, "127.0.0.1");
  const ConnectionTable& table = server->server()->Connections();
  ASSERT_TRUE(WaitUntil([&] { return table.count() == 1 && table.all()[0].joined; }));
  EXPECT_EQ(table.all()[0].handle, "Wanda");
  auto kim = Client("Kim", *server);
  // Kim's join is told before Wanda sits, so the sitting line is the last.
  ASSERT_TRUE(WaitUntil([&] { return table.count() == 2 && table.all()[1].joined; }));
  wanda->Command(CmdSitWest);
  ASSERT_TRUE(WaitUntil([&] { return LastPaneLine(*server) == "Wanda is sitting West"; }));
  ASSERT_TRUE(WaitUntil([&] { return wanda->LocalPosition() == SeatedAt(West); }));
  // A seated client can neither kibitz nor sit again; a kibitzer does not
  // sit, and its clicks never play.
  for (int id : {CmdKibitzAll, CmdSitNorth}) wanda->Command(id);
  for (int id : {CmdKibitzNorth, CmdSitEast, CmdKibitzAll}) kim->Command(id);
  QTest::mouseClick(kim->table(), Qt::LeftButton, Qt::NoModifier, QPoint(310, 450));
  // Kim's last line arrives after anything Kim sent before it.
  QTest::keyClicks(kim->table(), "over");
  QTest::keyClick(kim->pane()->chatLine(), Qt::Key_Return);
  ASSERT_TRUE(WaitUntil([&] { return LastPaneLine(*server) == "Kim: over"; }));
  const SeatOccupant& seats = server->server()->Occupants();
  EXPECT_TRUE(kim->LocalPosition() == KibitzAll && wanda->LocalPosition() == SeatedAt(West));
  EXPECT_TRUE(seats[North] == EmptySeat && seats[East] == EmptySeat);
  // The server's own seat is never removed, an empty one has no one to remove.
  for (int id : {CmdRemoveSouth, CmdRemoveNorth, CmdRemoveWest}) server->Command(id);
  EXPECT_TRUE(seats[South] == ServerUserSeat && seats[West] == EmptySeat);
  ASSERT_TRUE(WaitUntil([&] { return !wanda->Role().isClient; }));
  EXPECT_TRUE(wanda->LocalPosition() == NoPosition && table.count() == 1);
}

TEST_F(MainWindowTest, ChatAndFileErrorsThatNameTheFileAndLeaveTheGame) {
  auto server = Server();
  QTest::keyClicks(server->table(), "hi");  // keys on the table go to the chat line
  QTest::keyClick(server->pane()->chatLine(), Qt::Key_Return);
  EXPECT_TRUE(LastPaneLine(*server) == "Sam: hi" && server->pane()->chatLine()->text().isEmpty());
  server->pane()->sendButton()->click();  // empty line: prefix and one blank
  EXPECT_EQ(LastPaneLine(*server), "Sam:  ");
  const GameState before = server->server()->Game();
  const std::string missing = settings_.path() + "/no/such/folder/game.zelbo";
  const std::string good = settings_.file("saved.zelbo"), records = settings_.file("records.txt");
  prompts_.fileNames = {missing, missing, missing, "", good};  // "" cancels
  for (int id : {CmdOpen, CmdSave, CmdSaveHandRecords, CmdSave, CmdSave}) server->Command(id);
  ASSERT_EQ(prompts_.errors.size(), 3u);
  for (const QString& e : prompts_.errors) EXPECT_TRUE(e.contains(QString::fromStdString(missing)));
  EXPECT_TRUE(before == server->server()->Game());
  EXPECT_TRUE(QFile::exists(QString::fromStdString(good)));
  // At the end of the game, once the engine call is over: hand records.
  prompts_.answerHandRecords = true, prompts_.fileNames = {records};
  server->GameOver(server->server()->Game());
  EXPECT_EQ(prompts_.handRecordQuestions, 0);
  ASSERT_TRUE(WaitUntil([&] { return prompts_.handRecordQuestions == 1; }));
  EXPECT_TRUE(prompts_.errors.size() == 3u && QFile::exists(QString::fromStdString(records)));
  using Ask = std::pair<bool, int>;
  const Ask open{true, FileKindGame}, save{false, FileKindGame}, text{false, FileKindText};
  EXPECT_EQ(prompts_.fileAsks, (std::vector<Ask>{open, save, text, save, save, text}));
}

TEST_F(MainWindowTest, PastGamesOpenTheWebPortsListOrSayHowToOpenIt) {
  auto closed = Server();
  closed->Command(CmdPastGames);
  EXPECT_NE(LastPaneLine(*closed).find("web=PORT"), std::string::npos) << LastPaneLine(*closed);
  auto client = Client("Wanda", *closed);
  client->Command(CmdPastGames);
  EXPECT_NE(LastPaneLine(*client).find("kept by the server"), std::string::npos);
  EXPECT_TRUE(prompts_.openedUrls.empty());
  auto open = Window("Kim");
  open->settings().webPort = 0;
  ASSERT_TRUE(open->StartServer());
  open->Command(CmdPastGames);
  ASSERT_EQ(prompts_.openedUrls.size(), 1u);
  const QString url = prompts_.openedUrls[0];
  EXPECT_TRUE(url.startsWith("http://127.0.0.1:") && url.endsWith("/games") && !url.contains(":0/")) << url.toStdString();
}

TEST_F(MainWindowTest, DecisionDialogsIgnoreEscapeAndCloseAndAskForAttention) {
  auto w = Server();
  QWidget other;
  other.show();
  QApplication::setActiveWindow(&other);
  ASSERT_TRUE(WaitUntil([&] { return !w->isActiveWindow(); }, 2000));
  GameState g;
  for (auto& v : g.offeredContracts) v = 1;
  g.offeredContracts[KindMisere] = 0;
  w->OpenPickGameDialog(g);
  EXPECT_EQ(w->alertCount(), 1);
  // South acts at step 3 of West's deal: the dealer's box (LHO) is forced, the others free.
  for (auto& row : g.doubleFactor) std::fill(std::begin(row), std::end(row), 1);
  g.phase = PhaseChoosing, g.dealNumber = 1, g.dealer = West, g.turn = 3, g.forcedDouble = 1;
  g.dealDecisions[1][0] = NoQueens;
  w->OpenDoublingDialog(g);
  EXPECT_EQ(w->alertCount(), 2);
  PickGameDialog* pick = w->pickGameDialog();
  DoublingDialog* action = w->doublingDialog();
  for (QDialog* d : std::initializer_list<QDialog*>{pick, action}) {
    QTest::keyClick(d, Qt::Key_Escape);
    d->close();
    EXPECT_TRUE(d->isVisible());
  }
  EXPECT_TRUE(!pick->box(KindMisere)->isEnabled() && action->box(0)->isChecked() &&
              !action->box(0)->isEnabled());
  EXPECT_TRUE(action->box(1)->isEnabled() && action->box(2)->isEnabled());
  pick->box(2)->click(), pick->okButton()->click();
  EXPECT_FALSE(pick->isVisible()) << "OK outside the choosing phase only hides it";
  QApplication::setActiveWindow(w.get());
  ASSERT_TRUE(WaitUntil([&] { return w->isActiveWindow(); }, 2000));
  w->OpenPickGameDialog(g);
  EXPECT_EQ(w->alertCount(), 2) << "an active window asks for no attention";
}

TEST_F(MainWindowTest, RobotsFillTheTableAtStartAndOnCommand) {
  auto w = Window("Sam");
  w->settings().robots = 3;
  ASSERT_TRUE(w->StartServer());
  ASSERT_TRUE(WaitUntil([&] { return w->Game()->phase != PhaseIdle; })) << "three robots sat down";
  w->Command(CmdRemoveNorth);
  EXPECT_TRUE(IsSuspended(w->Game()->phase));
  w->Command(CmdFillRobots);
  ASSERT_TRUE(WaitUntil([&] { return !IsSuspended(w->Game()->phase); }));
  EXPECT_EQ(w->server()->SeatHandle(North), "Robot North");
}

TEST_F(MainWindowTest, TheRobotLevelChosenInTheSitMenuIsSaidAndStored) {
  auto w = Window("Sam");
  std::string stored;
  for (const auto& [level, name] : {std::pair{RobotLevel::Strong, "strong"}, std::pair{RobotLevel::Easy, "easy"}}) {
    w->Command(CmdRobotsLevel(level));
    EXPECT_EQ(w->settings().robotPlayLevel, level);
    EXPECT_EQ(LastPaneLine(*w), std::string("Robots seated from now on play ") + name);
    ASSERT_TRUE(store_.ReadString(ValueRobotLevel, stored));
    EXPECT_EQ(stored, name);
  }
}

}  // namespace
}  // namespace zelbo
