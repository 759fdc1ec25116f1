#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenuBar>
#include <QResizeEvent>
#include <QTimer>

#include <filesystem>

#include "app/command_ids.h"
#include "app/message_pane_widget.h"
#include "app/setup_dialog.h"
#include "app/table_side.h"
#include "dialogs/doubling_dialog.h"
#include "dialogs/pick_game_dialog.h"
#include "dialogs/score_window.h"
#include "display/qt/table_widget.h"
#include "display/table_layout.h"
#include "hosting/event_loop_writer.h"
#include "hosting/hosted_table.h"
#include "net/qt/qt_transport.h"
#include "web/qt/web_door.h"

namespace zelbo {

MainWindow::MainWindow(Settings settings, SettingsStore& store, AppPrompts& prompts,
                       WindowOptions options)
    : settings_(std::move(settings)), store_(store), prompts_(prompts), options_(std::move(options)) {
  setWindowTitle("zelbowin");
  resize(TableWidth, TableHeight);

  auto* central = new QWidget(this);
  setCentralWidget(central);
  table_ = new TableWidget(central);
  table_->setProvider([this] { return CurrentView(); });
  pane_ = new MessagePaneWidget(central);
  table_->setKeyTarget(pane_->chatLine());
  connect(table_, &TableWidget::tableClicked, this,
          [this](const TableClick& click) { ApplyClick(click); });
  pane_->onSend = [this](const std::string& text) { SendChat(text); };
  if (!settings_.cardFolder.empty()) {
    QString error;
    if (!table_->setCardFolder(QString::fromStdString(settings_.cardFolder), &error)) {
      pane_->AddLine("Card pictures not loaded: " + error.toStdString());
    }
  }

  pickGame_ = new PickGameDialog(this);
  pickGame_->isChoosing = [this] { return Game() && Game()->phase == PhaseChoosing; };
  pickGame_->onChosen = [this](int code) { ContractChosen(code); };
  pickGame_->hide();
  doubling_ = new DoublingDialog(this);
  doubling_->isChoosing = [this] { return Game() && Game()->phase == PhaseChoosing; };
  doubling_->onChosen = [this](int bits) { DoubleChosen(bits); };
  doubling_->hide();
  score_ = new ScoreWindow(this);
  score_->onKey = [this](QKeyEvent* key) { pane_->TypeKey(key); };
  score_->hide();

  BuildMenu();
  LayoutPanes();
}

MainWindow::~MainWindow() {
  // The roles call back into this window while they shut down; they go
  // first, and the callbacks see that the window is closing.
  closing_ = true;
  DropRole();
}

void MainWindow::BuildMenu() {
  for (const MenuPopup& popup : MenuBar) {
    QMenu* menu = menuBar()->addMenu(popup.title);
    for (int i = 0; i < popup.count; ++i) {
      const MenuItem& item = popup.items[i];
      QAction* a = menu->addAction(item.text);
      const int id = item.id;
      connect(a, &QAction::triggered, this, [this, id] { Command(id); });
      actions_[id] = a;
    }
  }
  // Ctrl+Q gives Exit from any window of the program.
  QAction* exit = actions_[CmdExit];
  exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  exit->setShortcutContext(Qt::ApplicationShortcut);
}

QAction* MainWindow::action(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  LayoutPanes();
}

void MainWindow::LayoutPanes() {
  QWidget* central = centralWidget();
  table_->setGeometry(0, 0, central->width(), central->height());
  pane_->LayoutIn(central->width(), central->height());
  pane_->raise();
}

// ---- Roles ----

ProcessRole MainWindow::Role() const {
  ProcessRole role;
  role.isServer = hosted_ != nullptr;
  role.isClient = client_ && client_->IsClient();
  return role;
}

int MainWindow::LocalPosition() const { return side_ ? side_->LocalPosition() : NoPosition; }

const GameState* MainWindow::Game() const { return side_ ? &side_->Game() : nullptr; }

ServerTable* MainWindow::server() const { return hosted_ ? &hosted_->Server() : nullptr; }

bool MainWindow::StartServer() {
  if (Role().HasRole()) return false;
  DropRole();
  HostedTableOptions hosting;
  hosting.config.handle = settings_.handle;
  hosting.config.folder = options_.folder;
  hosting.config.randomSeed = settings_.randomSeed;
  hosting.config.autosave = options_.autosave;
  hosting.config.undo = options_.undo;
  if (!writer_) writer_ = std::make_unique<EventLoopWriter>();
  hosting.config.writer = &writer_->Writer();
  // robots=N: the robots sit at once; the game starts when the table is full.
  // takeover=SECONDS: robots keep the seats of players who left warm.
  hosting.robots = settings_.robots;
  hosting.robotLevel = settings_.robotPlayLevel;
  hosting.takeoverSeconds = settings_.takeoverSeconds;
  transport_ = std::make_unique<QtTransport>();
  router_ = std::make_unique<TableRouter>(*transport_);
  hosted_ = std::make_unique<HostedTable>(*router_, static_cast<ServerUi&>(*this), hosting);
  side_ = ServerSide(hosted_->Server());
  std::string error;  // the pane shows it
  if (!hosted_->Start(static_cast<uint16_t>(settings_.port), error)) {
    // Nobody could reach a server that does not listen: give the role up
    // so that Setup can try another port.
    DropRole();
    RedrawTable();
    return false;
  }
  // Finished games are kept beside the autosave; the pane names an archive
  // that cannot be used, and the table goes on without it.
  if (options_.autosave)
    hosted_->OpenArchive(std::filesystem::path(options_.folder) / ArchiveFileName,
                         std::to_string(hosted_->Server().Port()), error);
  // web=PORT: browsers may join too; the pane says where.
  if (settings_.webPort >= 0) {
    DoorOptions doorOptions;
    if (hosted_->Archive()) doorOptions.pages = &hosted_->Archive()->Pages();
    door_ = OpenWebDoor(*transport_, hosted_->Server(), static_cast<uint16_t>(settings_.webPort), doorOptions, error);
  }
  RedrawTable();
  return true;
}

void MainWindow::ConnectToServer() {
  if (Role().HasRole()) return;
  DropRole();
  transport_ = std::make_unique<QtTransport>();
  client_ = std::make_unique<ClientSession>(*transport_, static_cast<ClientUi&>(*this),
                                            settings_.handle);
  side_ = ClientSide(*client_);
  client_->Connect(settings_.serverAddress, static_cast<uint16_t>(settings_.port));
  RedrawTable();
}

void MainWindow::DropRole() {
  side_.reset();
  door_.reset();
  hosted_.reset();
  router_.reset();
  client_.reset();
  transport_.reset();
  localTurnShown_ = false;
}

// ---- Commands ----

void MainWindow::Command(int id) {
  const ProcessRole role = Role();
  const Position position = PositionFromInt(LocalPosition()).value_or(NoPosition);
  switch (id) {
    case CmdSetup:
      RunSetup();
      break;
    case CmdOpen:
    case CmdSave:
    case CmdSaveHandRecords:
      if (role.isServer) FileCommand(id);
      break;
    case CmdPastGames:
      if (role.HasRole()) ShowPastGames();
      break;
    case CmdExit:
      close();
      break;
    case CmdRemoveWest:
    case CmdRemoveNorth:
    case CmdRemoveEast:
    case CmdRemoveSouth: {
      const int seat = id == CmdRemoveWest    ? West
                       : id == CmdRemoveNorth ? North
                       : id == CmdRemoveEast  ? East
                                              : South;
      if (role.isServer) server()->RemoveConnection(seat);
      break;
    }
    case CmdSitWest:
    case CmdSitNorth:
    case CmdSitEast:
    case CmdSitSouth: {
      const int seat = id == CmdSitWest    ? West
                       : id == CmdSitNorth ? North
                       : id == CmdSitEast  ? East
                                           : South;
      // A client does not know who sits where; the server decides.
      if (role.isClient && position == NoPosition) client_->RequestSeat(seat);
      break;
    }
    case CmdUnsit:
      break;
    case CmdFillRobots:
      // Every empty seat, also one that fell empty in a suspended game.
      if (role.isServer) hosted_->FillRobots(4);
      break;
    case CmdKibitzSouth:
    case CmdKibitzWest:
    case CmdKibitzNorth:
    case CmdKibitzEast:
    case CmdKibitzAll: {
      const int which = id == CmdKibitzAll ? 4 : id - CmdKibitzSouth;
      if (role.isClient && !IsSeated(position)) client_->StartKibitzing(which);
      break;
    }
    case CmdShowScore:
      if (const GameState* g = Game()) score_->ShowSheet(g->scoreSheet);
      score_->ShowBeside(frameGeometry());
      break;
    case CmdUndo:
      if (role.isServer) server()->LocalUndo();
      if (role.isClient) client_->RequestUndo();  // only a seat other than South may
      break;
    case CmdAbout:
      prompts_.ShowAbout(this);
      break;
    default:
      if (const RobotLevelInfo* row = LevelOfCommand(id)) {
        // Robots seated from now on play at this level; the choice is stored.
        settings_.robotPlayLevel = row->level;
        if (hosted_) hosted_->SetRobotLevel(row->level);
        store_.WriteString(ValueRobotLevel, row->name);
        pane_->AddLine(std::string("Robots seated from now on play ") + row->name);
      }
      break;
  }
}

void MainWindow::RunSetup() {
  SetupDialog dialog(this, settings_, Role(), store_, ReadServerListFile(ServerListFile));
  if (!prompts_.RunSetup(dialog)) return;
  switch (dialog.outcome().start) {
    case StartRole::Client:
      ConnectToServer();
      break;
    case StartRole::Server:
      StartServer();
      break;
    case StartRole::None:
      break;
  }
  RedrawTable();
}

// The archive is shown by the server's web door; a client's server shows
// its own.
void MainWindow::ShowPastGames() {
  if (!hosted_) {
    pane_->AddLine("Past games are kept by the server: open /games on its web port in a browser");
    return;
  }
  if (!hosted_->Archive()) {
    pane_->AddLine("Past games: this table keeps no archive (see the line about it above)");
    return;
  }
  if (!door_) {
    pane_->AddLine("Past games are shown in a browser through the web port, which is closed: "
                   "start the program with web=PORT (for example web=8118) and choose Past games again");
    return;
  }
  const QString url = QStringLiteral("http://127.0.0.1:%1/games").arg(door_->Port());
  if (!prompts_.OpenInBrowser(url))
    pane_->AddLine("Past games: no browser could be started; open " + url.toStdString());
}

void MainWindow::FileCommand(int id) {
  const bool open = id == CmdOpen;
  const int kind = id == CmdSaveHandRecords ? FileKindText : FileKindGame;
  const std::string path = prompts_.ChooseFileName(this, open, kind);
  ServerTable* server = this->server();
  if (path.empty() || !server) return;
  std::string error;
  bool ok = false;
  QString what;
  if (id == CmdOpen) {
    ok = server->LoadGameFile(path, error);
    what = "Could not read the saved game";
  } else if (id == CmdSave) {
    ok = server->SaveGameFile(path, error);
    what = "Could not save the game to";
  } else {
    ok = server->WriteHandRecordsFile(path, error);
    what = "Could not write the hand records to";
  }
  if (!ok) {
    prompts_.ShowError(this, QString("%1 \"%2\".\n%3")
                                 .arg(what, QString::fromStdString(path),
                                      QString::fromStdString(error)));
  }
  RedrawTable();
}

void MainWindow::AskHandRecords() {
  if (closing_ || !hosted_) return;
  if (!prompts_.AskSaveHandRecords(this)) return;
  FileCommand(CmdSaveHandRecords);
}

void MainWindow::SendChat(const std::string& text) {
  if (side_) side_->SendChat(text);
}

// ---- The table ----

TableView MainWindow::CurrentView() const {
  TableView v;
  v.backgroundRed = settings_.backgroundRed;
  v.backgroundGreen = settings_.backgroundGreen;
  v.backgroundBlue = settings_.backgroundBlue;
  v.cardSpacing = settings_.cardSpacing;
  v.privileged = settings_.privileged;
  if (side_) side_->FillView(v);
  return v;
}

void MainWindow::ApplyClick(const TableClick& click) {
  if (click.undo) Command(CmdUndo);
  if (click.slot < 0 || !IsCard(click.card)) return;
  if (side_) side_->PlayCard(click.card);
}

// ---- What the roles ask of the screen ----

void MainWindow::BringForward() {
  if (isMaximized()) {
    showMaximized();
  } else {
    showNormal();
  }
}

void MainWindow::AlertIfInactive() {
  if (isActiveWindow()) return;
  ++alerts_;
  QApplication::alert(this);
}

void MainWindow::CheckTurnAlert() {
  const GameState* g = Game();
  const int position = LocalPosition();
  const bool localTurn = g && position >= 0 && position <= 3 &&
                         (g->phase == PhasePlaying || g->phase == PhaseFirstLead) &&
                         g->turn == position;
  if (localTurn && !localTurnShown_) AlertIfInactive();
  localTurnShown_ = localTurn;
}

void MainWindow::OpenPickGameDialog(const GameState& g) {
  if (closing_) return;
  BringForward();
  pickGame_->OpenFor(g.offeredContracts);
  AlertIfInactive();
}

void MainWindow::PromptContract(const GameState& g) { OpenPickGameDialog(g); }

void MainWindow::OpenDoublingDialog(const GameState& g) {
  if (closing_) return;
  const int self = LocalPosition();
  if (self < 0 || self > 3) return;
  std::string handles[4];
  for (int s = 0; s < 4; ++s) handles[s] = side_ ? side_->SeatHandle(s) : std::string();
  BringForward();
  doubling_->OpenFor(g, self, handles);
  AlertIfInactive();
}

void MainWindow::PromptDoubling(const GameState& g) { OpenDoublingDialog(g); }

void MainWindow::ContractChosen(int code) {
  if (side_) side_->ChooseContract(code);
}

void MainWindow::DoubleChosen(int bits) {
  if (side_) side_->ChooseDoubles(bits);
}

void MainWindow::HideDecisionDialogs() {
  if (closing_) return;
  pickGame_->hide();
  doubling_->hide();
}

void MainWindow::RedrawTable() {
  if (closing_) return;
  table_->redrawTable();
  CheckTurnAlert();
}

void MainWindow::PaneLineAdded(std::string_view line) {
  if (closing_) return;
  pane_->AddLine(line);
}

void MainWindow::ScoreSheetChanged() {
  if (closing_) return;
  if (const GameState* g = Game()) score_->ShowSheet(g->scoreSheet);
}

void MainWindow::GameOver(const GameState&) {
  if (closing_) return;
  // Asked once the engine has finished the hand, so that no socket event
  // handled while the question is open runs inside the engine's call.
  QTimer::singleShot(0, this, [this] { AskHandRecords(); });
}

void MainWindow::ConnectionClosed() {
  if (closing_) return;
  HideDecisionDialogs();
  RedrawTable();
}

}  // namespace zelbo
