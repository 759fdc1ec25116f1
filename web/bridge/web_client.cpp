#include "web/bridge/web_client.h"

#include <algorithm>

#include "table_view_source/client_view.h"
#include "display/hand_geometry.h"
#include "display/table_layout.h"
#include "display/table_painter.h"
#include "engine/engine.h"
#include "web/bridge/page_words.h"

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
  quiet_ = true;
  session_.Connect("", DefaultPort);
  quiet_ = false;
}

void WebClient::Leave() {
  leaving_ = true;
  rejoining_ = false;
  frozen_.reset();
  quiet_ = true;
  session_.Disconnect();  // which forgets the position
  quiet_ = false;
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
  // The table stays in view, greyed by the page, until the seat is back.
  if (session_.IsClient() && !frozen_) frozen_ = View();
  open_ = false;
  quiet_ = true;
  if (events_) events_->OnClosed(conn);
  quiet_ = false;
}

int WebClient::RetryDelayMs(int attempt) {
  return 1000 << std::clamp(attempt, 0, 4);
}

// ---- Commands ----

void WebClient::Sit(int seat) {
  const std::string why = SitRefusal(session_, seat);
  if (!why.empty()) {
    host_.Refused(why);
    return;
  }
  // A watcher asks for a seat on a new connection, as a newcomer does.
  if (IsWatching(session_.LocalPosition())) {
    Leave();
    Join();
  }
  session_.RequestSeat(seat);
}

void WebClient::Kibitz(int which) {
  const std::string why = KibitzRefusal(session_);
  if (why.empty())
    session_.StartKibitzing(which);
  else
    host_.Refused(why);
}

// The protocol has no way to give up a seat but leaving: the connection is
// closed and made again, and the player watches everyone from then on.
void WebClient::StandUp() {
  const std::string why = StandUpRefusal(session_);
  if (!why.empty()) {
    host_.Refused(why);
    return;
  }
  Leave();
  Join();
  session_.StartKibitzing(KibitzEveryone);
}

void WebClient::TakePosition(int position) {
  const std::optional<Position> p = PositionFromInt(position);
  if (!p || *p == NoPosition) return;
  if (IsSeated(*p))
    Sit(ViewedSeat(*p));
  else
    Kibitz(WatchesAll(*p) ? KibitzEveryone : ViewedSeat(*p));
}

void WebClient::Undo() {
  const std::string why = UndoRefusal(session_);
  if (why.empty())
    session_.RequestUndo();
  else
    host_.Refused(why);
}

void WebClient::Chat(const std::string& text) { session_.SendChat(text); }

// ---- The table ----

void WebClient::SetTable(int red, int green, int blue, int cardSpacing) {
  // The page's values arrive as they were stored in the browser: each
  // colour part keeps its low byte, as on the desktop, and the spacing its
  // range.
  colour_ = Rgb{static_cast<uint8_t>(red), static_cast<uint8_t>(green), static_cast<uint8_t>(blue)};
  spacing_ = BoundCardSpacing(cardSpacing);
}

void WebClient::SetLayout(bool compact, int width, int height) {
  layout_ = compact ? TableLayout::Compact : TableLayout::Classic;
  compactWidth_ = width;
  compactHeight_ = height;
}

TableView WebClient::InLayout(TableView view) const {
  view.layout = layout_;
  view.compactWidth = compactWidth_;
  view.compactHeight = compactHeight_;
  return view;
}

TableSize WebClient::Size() const { return LayoutSize(View()); }

TableView WebClient::View() const {
  if (frozen_) return InLayout(*frozen_);
  TableView v;
  v.backgroundRed = colour_.red;
  v.backgroundGreen = colour_.green;
  v.backgroundBlue = colour_.blue;
  v.cardSpacing = spacing_;
  FillClientView(v, session_);
  v.raisedSlot = raisedSlot_;
  return InLayout(v);
}

void WebClient::Paint(Canvas& canvas) const {
  const TableView view = held_ && !frozen_ ? InLayout(*held_) : View();
  const TableSize size = LayoutSize(view);
  PaintTable(view, PaintRect{0, 0, size.width, size.height}, canvas);
}

TableClick WebClient::Click(int x, int y) {
  held_.reset();  // a click wants the live table
  const TableView view = View();
  TableClick click = ClickTable(view, x, y);
  if (click.undo) Undo();
  if (click.slot < 0) {
    // A card that may not be played now is answered with the reason.
    const int slot = HandSlotAt(view, x, y);
    if (slot >= 0) {
      click.slot = slot;
      click.card = view.game.hands[std::max(0, ViewerSeat(view))][slot];
    }
  }
  if (click.slot >= 0) PlaySlot(click.slot);
  return click;
}

void WebClient::PlaySlot(int slot) {
  held_.reset();
  const TableView view = View();
  const int seat = ViewerSeat(view);
  if (seat < 0 || slot < 0 || slot > 12) {
    host_.Refused(CardRefusal(session_, NoCard));
    return;
  }
  const int card = view.game.hands[seat][slot];
  if (!IsCard(card)) return;
  const std::string why = CardRefusal(session_, card);
  if (why.empty())
    session_.PlayCard(card);
  else
    host_.Refused(why);
}

void WebClient::Tap(int x, int y) {
  if (!confirmTaps_) {
    Click(x, y);
    return;
  }
  held_.reset();
  const TableView view = View();
  const int slot = HandSlotAt(view, x, y);
  const int raised = raisedSlot_;
  raisedSlot_ = -1;
  raisedCard_ = NoCard;
  if (slot < 0) {
    if (raised >= 0) host_.Repaint();
    return;
  }
  const int seat = ViewerSeat(view);
  const int card = view.game.hands[seat][slot];
  if (slot == raised || !CardRefusal(session_, card).empty()) {
    PlaySlot(slot);  // the confirming tap, or a card refused at once
    host_.Repaint();
    return;
  }
  raisedSlot_ = slot;
  raisedCard_ = card;
  host_.Repaint();
}

void WebClient::ReleaseTrick() {
  if (!held_) return;
  held_.reset();
  host_.Repaint();
}

// When a trick is won the session already shows the next one; the page
// keeps the won trick in the middle for a moment. The game is not slowed:
// only the picture waits.
void WebClient::HoldWonTrick() {
  const GameState& g = session_.Game();
  const uint8_t* last = g.tableCards + 4;
  const bool sameDeal = g.dealNumber == lastTrickDeal_;
  const bool changed = !std::equal(last, last + 4, lastTrick_);
  std::copy(last, last + 4, lastTrick_);
  lastTrickDeal_ = g.dealNumber;
  if (!sameDeal || !changed || IsDominoes(g.contract)) return;
  if (!std::all_of(last, last + 4, [](uint8_t c) { return IsCard(c); })) return;
  TableView view = View();
  std::copy(last, last + 4, view.game.tableCards);
  if (view.game.phase != PhasePlaying && view.game.phase != PhaseFirstLead) view.game.phase = PhasePlaying;
  held_ = view;
  host_.HoldTrick();
}

std::vector<int> WebClient::PlayableCards() const {
  if (!session_.IsSeated()) return {};
  const CardList legal = LegalCards(session_.Game(), ViewedSeat(session_.LocalPosition()));
  return std::vector<int>(legal.cards, legal.cards + legal.count);
}

HandPlaces WebClient::Hand() const { return TableHandPlaces(View()); }

std::pair<int, int> WebClient::SlotMiddle(int slot) const {
  const HandPlaces hand = Hand();
  for (int k = 0; k < hand.count; ++k) {
    const PaintRect& r = hand.places[static_cast<std::size_t>(k)].visible;
    if (hand.places[static_cast<std::size_t>(k)].slot == slot) return {r.x + r.width / 2, r.y + r.height / 2};
  }
  return {-1, -1};
}

std::array<PaintRect, 4> WebClient::NameRects() const {
  const TableView view = View();
  const int bottom = ViewerSeat(view) < 0 ? South : ViewerSeat(view);
  std::array<PaintRect, 4> rects{};
  for (int p = 0; p < 4; ++p) rects[static_cast<std::size_t>(SeatMod(bottom + p))] = NameRect(view, p);
  return rects;
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

void WebClient::RedrawTable() {
  // A raised card goes down when it left the hand or the turn moved on.
  if (raisedSlot_ >= 0) {
    const int seat = ViewedSeat(session_.LocalPosition());
    if (seat < 0 || SeatToPlay(session_.Game()) != seat ||
        session_.Game().hands[seat][raisedSlot_] != raisedCard_) {
      raisedSlot_ = -1;
      raisedCard_ = NoCard;
    }
  }
  // Back at the table after a drop: the live table again.
  if (frozen_ && session_.IsClient() && session_.LocalPosition() != NoPosition) frozen_.reset();
  if (!frozen_) HoldWonTrick();
  host_.Repaint();
}

void WebClient::PaneLineAdded(std::string_view line) {
  if (!quiet_) host_.PaneLineAdded(line);
}

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
  if (leaving_) {
    frozen_.reset();
    return;
  }
  rejoining_ = true;
  host_.ConnectionLost();
}

}  // namespace zelbo
