// The main window "zelbowin": the table, the menu, the message pane along
// the bottom, and the decision dialogs and Score window it owns. It holds
// the network role of the program (a ServerTable or a ClientSession over a
// Qt transport) and is the screen of both: prompts, repaints, pane lines,
// score sheet and the end of the game come to it through ServerUi and
// ClientUi. Menu, keyboard, clicks and tests all act through Command() and
// ApplyClick().
#pragma once

#include <QMainWindow>
#include <map>
#include <memory>
#include <string>

#include "app/app_prompts.h"
#include "app/settings.h"
#include "app/settings_store.h"
#include "app/setup_model.h"
#include "display/table_click.h"
#include "display/table_view.h"
#include "net/client_session.h"
#include "net/server_table.h"

class QAction;

namespace zelbo {

class EventLoopWriter;
class HostedTable;
class QtTransport;
class TableRouter;
class WebDoor;
class TableSide;
class TableWidget;
class MessagePaneWidget;
class PickGameDialog;
class DoublingDialog;
class ScoreWindow;

struct WindowOptions {
  std::string folder;     // where the autosave and undo files go; "" = current directory
  bool autosave = true;
  bool undo = true;
};

class MainWindow : public QMainWindow, public ServerUi, public ClientUi {
  Q_OBJECT
 public:
  MainWindow(Settings settings, SettingsStore& store, AppPrompts& prompts,
             WindowOptions options = {});
  ~MainWindow() override;

  // The one command handler: menu items, Ctrl+Q and tests. Commands that
  // the role or position does not allow do nothing.
  void Command(int id);
  // A click on the table at (x, y), and what a click hit.
  void ApplyClick(const TableClick& click);

  // Roles, as OK in Setup starts them. StartServer returns false (and keeps
  // no role) when the port cannot be listened on.
  bool StartServer();
  void ConnectToServer();

  ProcessRole Role() const;
  int LocalPosition() const;
  // The game this window shows: the server's or the client's mirror; null
  // without a role.
  const GameState* Game() const;
  TableView CurrentView() const;

  Settings& settings() { return settings_; }
  ServerTable* server() const;
  ClientSession* client() const { return client_.get(); }
  TableWidget* table() const { return table_; }
  MessagePaneWidget* pane() const { return pane_; }
  PickGameDialog* pickGameDialog() const { return pickGame_; }
  DoublingDialog* doublingDialog() const { return doubling_; }
  ScoreWindow* scoreWindow() const { return score_; }
  QAction* action(int id) const;
  // Times the window asked for attention (prompts and turns while inactive).
  int alertCount() const { return alerts_; }

  // ServerUi and ClientUi
  void OpenPickGameDialog(const GameState& g) override;
  void OpenDoublingDialog(const GameState& g) override;
  void PromptContract(const GameState& g) override;
  void PromptDoubling(const GameState& g) override;
  void HideDecisionDialogs() override;
  void RedrawTable() override;
  void PaneLineAdded(std::string_view line) override;
  void ScoreSheetChanged() override;
  void GameOver(const GameState& g) override;
  void ConnectionClosed() override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildMenu();
  void LayoutPanes();
  void RunSetup();
  void FileCommand(int id);
  void ShowPastGames();
  void AskHandRecords();
  void SendChat(const std::string& text);
  void ContractChosen(int code);
  void DoubleChosen(int bits);
  void BringForward();
  void AlertIfInactive();
  void CheckTurnAlert();
  void DropRole();

  Settings settings_;
  SettingsStore& store_;
  AppPrompts& prompts_;
  WindowOptions options_;

  // The server role's files are written by this thread, which outlives
  // every role (a table that goes waits for its files first).
  std::unique_ptr<EventLoopWriter> writer_;
  // The transport outlives the role that uses it.
  std::unique_ptr<QtTransport> transport_;
  std::unique_ptr<TableRouter> router_;
  std::unique_ptr<HostedTable> hosted_;  // the server role, with its robots
  std::unique_ptr<WebDoor> door_;  // web=PORT: the server's door for browsers
  std::unique_ptr<ClientSession> client_;
  std::unique_ptr<TableSide> side_;  // in front of whichever of the two is running

  TableWidget* table_ = nullptr;
  MessagePaneWidget* pane_ = nullptr;
  PickGameDialog* pickGame_ = nullptr;
  DoublingDialog* doubling_ = nullptr;
  ScoreWindow* score_ = nullptr;
  std::map<int, QAction*> actions_;

  int alerts_ = 0;
  bool localTurnShown_ = false;
  bool closing_ = false;
};

}  // namespace zelbo
