#include "web/bridge/web_client.h"

#include <algorithm>

#include "display/client_view.h"
#include "display/hand_geometry.h"
#include "display/table_painter.h"
#include "engine/engine.h"

namespace zelbo {

namespace {

// The transport hands bytes on in pieces of this size at most.
constexpr std::size_t ReadChunk = 1024;

}  // namespace

WebClient::WebClient(PageHost& host, std::string handle)
    : host_(host), session_(*this, *this, std::move(handle)) {}

WebClient::~WebClient() = default;

// ---- Connection ----

void WebClient::Join() {
  leaving_ = false;
  // The address is the page's own server; the WebSocket knows it.
  session_.Connect("", DefaultPort);
}

void WebClient::Leave() {
  leaving_ = true;
  rejoining_ = false;
  session_.Disconnect();  // which forgets the position
}

bool WebClient::Listen(uint16_t, std::string& error) {
  error = SocketErrorLine({0, "a page cannot listen", false});
  return false;
}

ConnId WebClient::Connect(const std::string&, uint16_t) {
  conn_ = nextConn_++;
  open_ = false;
  host_.OpenSocket();
  return conn_;
}

void WebClient::Send(ConnId conn, std::span<const uint8_t> bytes) {
  if (conn != conn_ || conn_ == NoConn || bytes.empty()) return;
  // The session sends nothing before the socket is open: its greeting
  // waits for OnConnected and holds back any command given before.
  if (open_) host_.SendBytes(bytes);
}

void WebClient::Close(ConnId conn, CloseMode) {
  if (conn != conn_ || conn_ == NoConn) return;
  conn_ = NoConn;
  open_ = false;
  host_.CloseSocket();
}

void WebClient::SocketOpened() {
  if (conn_ == NoConn || open_ || !events_) return;
  const ConnId conn = conn_;
  open_ = true;
  events_->OnConnected(conn);
  if (conn_ == conn) events_->OnWritable(conn);
  if (conn_ != conn) return;
  // Back at the table after a drop: the same seat, or the same view.
  if (!rejoining_) return;
  rejoining_ = false;
  session_.Rejoin();
}

void WebClient::SocketBytes(std::span<const uint8_t> bytes) {
  const ConnId conn = conn_;
  while (!bytes.empty() && conn != NoConn && conn_ == conn && events_) {
    const std::size_t n = std::min(bytes.size(), ReadChunk);
    events_->OnRead(conn, bytes.first(n));
    bytes = bytes.subspan(n);
  }
}

void WebClient::SocketClosed() {
  if (conn_ == NoConn) return;
  const ConnId conn = conn_;
  conn_ = NoConn;
  open_ = false;
  if (events_) events_->OnClosed(conn);
}

int WebClient::RetryDelayMs(int attempt) {
  return 1000 << std::clamp(attempt, 0, 4);
}

// ---- Commands ----

void WebClient::Sit(int seat) { session_.RequestSeat(seat); }

void WebClient::Kibitz(int which) { session_.StartKibitzing(which); }

void WebClient::Undo() { session_.RequestUndo(); }

void WebClient::Chat(const std::string& text) { session_.SendChat(text); }

// ---- The table ----

void WebClient::SetTable(int red, int green, int blue, int cardSpacing) {
  red_ = red;
  green_ = green;
  blue_ = blue;
  spacing_ = cardSpacing;
}

TableView WebClient::View() const {
  TableView v;
  v.backgroundRed = red_;
  v.backgroundGreen = green_;
  v.backgroundBlue = blue_;
  v.cardSpacing = spacing_;
  FillClientView(v, session_);
  return v;
}

void WebClient::Paint(Canvas& canvas) const {
  PaintTable(View(), PaintRect{0, 0, 900, 720}, canvas);
}

TableClick WebClient::Click(int x, int y) {
  const TableClick click = ClickTable(View(), x, y);
  if (click.undo) Undo();
  if (click.slot >= 0 && IsCard(click.card)) session_.PlayCard(click.card);
  return click;
}

std::vector<int> WebClient::PlayableCards() const {
  if (!session_.IsSeated()) return {};
  const CardList legal = LegalCards(session_.Game(), ViewedSeat(session_.LocalPosition()));
  return std::vector<int>(legal.cards, legal.cards + legal.count);
}

int WebClient::SlotMiddle(int slot) const {
  const GameState& g = session_.Game();
  const int seat = std::max(0, ViewedSeat(session_.LocalPosition()));
  const int64_t left = HandCardLeft(spacing_, slot);
  const int64_t visible = SlotIsCovered(g.hands[seat], slot)
                              ? std::clamp<int64_t>(spacing_, 1, CardWidth)
                              : CardWidth;
  return static_cast<int>(left + visible / 2);
}

// ---- Dialogs ----

void WebClient::PromptContract(const GameState& g) {
  pick_.Open(g.offeredContracts);
  host_.ShowPickGame();
}

void WebClient::PromptDoubling(const GameState& g) {
  if (!session_.IsSeated()) return;
  const int self = ViewedSeat(session_.LocalPosition());
  std::string handles[4];
  for (int s = 0; s < 4; ++s) handles[s] = session_.SeatHandle(s);
  action_.Open(g, self, handles);
  host_.ShowAction();
}

bool WebClient::PickOk() {
  if (session_.Game().phase != PhaseChoosing) return true;  // too late: just close
  const int code = pick_.Code();
  if (code == 0) return false;
  session_.SendContractChosen(code);
  return true;
}

bool WebClient::ActionOk() {
  if (session_.Game().phase != PhaseChoosing) return true;
  session_.SendDoubleChosen(action_.Bits());
  return true;
}

// ---- What the session reports ----

void WebClient::RedrawTable() { host_.Repaint(); }

std::string WebClient::PositionWords() const {
  const Position p = session_.LocalPosition();
  if (IsSeated(p)) return std::string("seated ") + SeatName(ViewedSeat(p));
  if (WatchesAll(p)) return "watching everyone";
  if (IsWatching(p)) return std::string("watching ") + SeatName(ViewedSeat(p));
  return "not seated";
}

void WebClient::ConnectionClosed() {
  conn_ = NoConn;
  open_ = false;
  host_.HideDialogs();
  host_.Repaint();
  if (leaving_) return;
  rejoining_ = true;
  host_.ConnectionLost();
}

}  // namespace zelbo
