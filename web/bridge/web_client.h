// The browser's client: one ClientSession behind a transport that is the
// page's WebSocket, the Pick-a-game and Action models behind the page's
// HTML dialogs, and the table painted into a recorded operation list. The
// page calls in with socket notices, clicks and commands; everything it
// must show comes back through PageHost.
//
// A connection that drops is the page's to retry; when it gets through
// again the client asks for the seat (or the kibitzer's view) it had.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "dialogs/doubling_model.h"
#include "dialogs/pick_game_model.h"
#include "display/table_click.h"
#include "display/table_view.h"
#include "net/client_session.h"
#include "net/transport.h"
#include "web/bridge/page_host.h"
#include "web/bridge/recording_canvas.h"

namespace zelbo {

class WebClient : private Transport, private ClientUi {
 public:
  WebClient(PageHost& host, std::string handle);
  ~WebClient() override;
  WebClient(const WebClient&) = delete;
  WebClient& operator=(const WebClient&) = delete;

  // Connecting: Join opens the socket and greets the server once it is
  // open (commands given before that follow the greeting); Leave closes it
  // for good (no seat is asked for again).
  void Join();
  void Leave();

  // Notices from the page's WebSocket.
  void SocketOpened();
  void SocketBytes(std::span<const uint8_t> bytes);
  void SocketClosed();

  // Menu commands: Sit (0..3), Kibbitz (0..3, 4 everyone), Stand up
  // (leave the seat and watch everyone), Undo, chat. A command that cannot
  // be carried out is told to the page (Refused) instead.
  void Sit(int seat);
  void Kibitz(int which);
  void StandUp();
  // Sits in seat `position` (0..3) or watches as position 4..8 does: the
  // position a page remembered.
  void TakePosition(int position);
  void Undo();
  void Chat(const std::string& text);

  // The table: settings, painting into `canvas`, and a click or touch at
  // layout coordinates (a card of the own hand, or the Undo spot).
  void SetTable(int red, int green, int blue, int cardSpacing);
  // The layout the table is painted in; a compact table is laid out for
  // width x height (the page's room in CSS pixels, bounded by the core).
  void SetLayout(bool compact, int width, int height);
  // The logical size of what Paint draws.
  TableSize Size() const;
  TableView View() const;
  void Paint(Canvas& canvas) const;
  TableClick Click(int x, int y);
  // Plays the card in hand slot `slot` as a click on it would (keyboard).
  void PlaySlot(int slot);
  // A touch: with confirming taps on, the first tap on a card that may be
  // played raises it, a second tap on it plays it, and a tap anywhere else
  // lowers it; a card that may not be played is refused at once. Off, a
  // tap is a click.
  void Tap(int x, int y);
  void SetConfirmTaps(bool on) { confirmTaps_ = on; }
  // While a won trick is held (HoldTrick) or the connection is being made
  // again, the table painted is that moment's, not the live one.
  void ReleaseTrick();
  bool TrickHeld() const { return held_.has_value() && !frozen_; }
  bool Reconnecting() const { return frozen_.has_value(); }

  // The Pick-a-game dialog. PickOk sends the chosen contract and returns
  // true when the dialog closes; with nothing usable chosen it stays open.
  PickGameModel& Pick() { return pick_; }
  bool PickOk();
  // The Action dialog; ActionOk sends the decision and returns true.
  DoublingModel& Action() { return action_; }
  bool ActionOk();

  const ClientSession& Session() const { return session_; }
  // The seat (0..3) or kibitzer's view (4..8) asked for again after a
  // reconnection; NoPosition when there is none.
  Position RememberedPosition() const { return session_.LastPosition(); }
  // The own position in words: "seated South", "watching West", "watching
  // everyone" or "not seated".
  std::string PositionWords() const;
  // Cards of the own hand that may be played now (none when it is not the
  // own turn), in slot order.
  std::vector<int> PlayableCards() const;
  // Where the own hand's cards lie, in hand order, and the layout point in
  // the middle of the visible part of hand slot `slot` ({-1, -1} for a
  // slot without a card).
  HandPlaces Hand() const;
  std::pair<int, int> SlotMiddle(int slot) const;
  // Where the name of each seat (by number) is written; empty when not shown.
  std::array<PaintRect, 4> NameRects() const;

  // Waiting time before reconnection attempt `attempt` (0, 1, ...): one
  // second, doubling each time, at most sixteen.
  static int RetryDelayMs(int attempt);

 private:
  // Transport
  void SetEvents(TransportEvents* events) override { events_ = events; }
  bool Listen(uint16_t, std::string& error) override;
  uint16_t ListeningPort() const override { return 0; }
  void StopListening() override {}
  ConnId Connect(const std::string& host, uint16_t port) override;
  void Send(ConnId conn, std::span<const uint8_t> bytes) override;
  void Close(ConnId conn, CloseMode mode) override;
  int64_t NowMs() const override { return 0; }
  // The browser keeps what is sent; only a server bounds its queues.
  int64_t QueuedBytes(ConnId) const override { return 0; }

  // ClientUi
  void PromptContract(const GameState& g) override;
  void PromptDoubling(const GameState& g) override;
  void HideDecisionDialogs() override { host_.HideDialogs(); }
  void RedrawTable() override;
  void PaneLineAdded(std::string_view line) override;
  void ScoreSheetChanged() override { host_.ScoreChanged(); }
  void ConnectionClosed() override;

  PageHost& host_;
  TransportEvents* events_ = nullptr;
  ConnId conn_ = NoConn;
  ConnId nextConn_ = 1;
  bool open_ = false;
  bool rejoining_ = false;  // the connection was lost: ask for the last position again
  bool leaving_ = false;
  // The session's own lines about connecting and closing are left out of
  // the page's pane while set: the page says once what changed.
  bool quiet_ = false;
  std::optional<TableView> frozen_;  // the last table before the drop
  std::optional<TableView> held_;    // the table with the won trick in view
  uint8_t lastTrick_[4] = {NoCard, NoCard, NoCard, NoCard};
  int lastTrickDeal_ = -1;
  bool confirmTaps_ = true;
  int raisedSlot_ = -1;
  int raisedCard_ = NoCard;
  void HoldWonTrick();
  Rgb colour_ = DefaultTableColour;
  int32_t spacing_ = DefaultCardSpacing;
  TableLayout layout_ = TableLayout::Classic;
  int compactWidth_ = 0;
  int compactHeight_ = 0;
  // `view` in the layout now chosen (a held or frozen table was taken in
  // whatever layout was chosen then).
  TableView InLayout(TableView view) const;
  PickGameModel pick_;
  DoublingModel action_;
  ClientSession session_;  // last: it registers with the transport above
};

}  // namespace zelbo
