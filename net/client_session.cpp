#include "net/client_session.h"

#include <algorithm>
#include <vector>

#include "engine/trick.h"

namespace zelbo {

ClientSession::ClientSession(Transport& transport, ClientUi& ui, std::string handle)
    : transport_(transport), ui_(ui), handle_(std::move(handle)) {
  if (handle_.size() > MaxHandleLength) handle_.resize(MaxHandleLength);
  transport_.SetEvents(this);
}

ClientSession::~ClientSession() {
  if (conn_ != NoConn) transport_.Close(conn_, CloseMode::Graceful);
  transport_.SetEvents(nullptr);
}

void ClientSession::AddPaneLine(std::string_view line) { ui_.PaneLineAdded(pane_.Add(line)); }

void ClientSession::Send(const Frame& frame) {
  if (conn_ == NoConn) return;
  if (greetingSent_) {
    transport_.Send(conn_, frame.view());
    return;
  }
  // Nothing may reach the server before the greeting: a command given while
  // the connection is still being made waits for it. A handful of commands
  // is all a person gives in that time; more are dropped.
  constexpr std::size_t EarlyLimit = 1024;
  const std::span<const uint8_t> bytes = frame.view();
  if (early_.size() + bytes.size() <= EarlyLimit) early_.insert(early_.end(), bytes.begin(), bytes.end());
}

// Connection

void ClientSession::Connect(const std::string& host, uint16_t port) {
  if (isClient_) return;
  isClient_ = true;
  greetingSent_ = false;
  early_.clear();
  reader_.Reset();
  host_ = host;
  conn_ = transport_.Connect(host, port);
  AddPaneLine("Searching for server...");
}

void ClientSession::Disconnect() {
  lastPosition_ = NoPosition;  // left on purpose: nothing to come back to
  if (!isClient_) return;
  if (conn_ != NoConn) transport_.Close(conn_, CloseMode::Graceful);
  ResetConnection();
}

void ClientSession::ResetConnection() {
  AddPaneLine("Connection closed");
  isClient_ = false;
  greetingSent_ = false;
  early_.clear();
  localPosition_ = NoPosition;
  reader_.Reset();
  conn_ = NoConn;
  ui_.RedrawTable();
  ui_.ConnectionClosed();
}

void ClientSession::SendGreetingAndJoin() {
  greetingSent_ = true;
  // The greeting and MsgJoin go out in one send, so they normally arrive
  // in one segment.
  const Frame join = MakeJoin(handle_);
  std::vector<uint8_t> bytes(Greeting.begin(), Greeting.end());
  bytes.insert(bytes.end(), join.bytes.begin(), join.bytes.begin() + join.size);
  bytes.insert(bytes.end(), early_.begin(), early_.end());
  early_.clear();
  transport_.Send(conn_, bytes);
}

void ClientSession::OnConnected(ConnId conn) {
  if (conn != conn_ || greetingSent_) return;
  SendGreetingAndJoin();
}

void ClientSession::OnWritable(ConnId conn) {
  if (conn != conn_) return;
  if (!greetingSent_)
    SendGreetingAndJoin();
  else
    Send(MakeIdle());
}

void ClientSession::OnRead(ConnId conn, std::span<const uint8_t> bytes) {
  if (conn != conn_) return;
  const FrameReader::Status status =
      reader_.Feed(bytes, [this, conn](int type, std::span<const uint8_t> payload) {
        Dispatch(type, payload);
        return conn_ == conn;
      });
  if (status == FrameReader::Status::BadLength && conn_ == conn) {
    // A server that breaks the framing is left.
    transport_.Close(conn_, CloseMode::Abortive);
    ResetConnection();
  }
}

void ClientSession::OnClosed(ConnId conn) {
  if (conn != conn_) return;
  ResetConnection();
}

void ClientSession::OnSocketError(ConnId conn, const SocketError& error) {
  if (conn != conn_) return;
  if (error.hostNotFound) {
    AddPaneLine("Cannot find the server \"" + host_ + "\"" +
                (error.reason.empty() ? std::string() : ": " + error.reason));
    return;
  }
  AddPaneLine(SocketErrorLine(error));
}

// Commands

void ClientSession::RequestSeat(int seat) {
  if (!isClient_ || localPosition_ != NoPosition || seat < 0 || seat > 3) return;
  Send(MakeSitRequest(seat));
}

void ClientSession::StartKibitzing(int seat) {
  if (!isClient_ || IsSeated() || seat < 0 || seat > 4) return;
  if (seat == 4) {
    SetPosition(KibitzAll);
    SendChat(handle_ + " is now kibbitzing everyone");
  } else {
    SetPosition(WatchingSeat(SeatMod(seat)));
    SendChat(handle_ + " is now kibbitzing " + seatHandles_[static_cast<std::size_t>(seat)]);
  }
  Send(MakeResendAll());
  ui_.RedrawTable();
}

void ClientSession::SendContractChosen(int code) {
  if (isClient_ && game_.phase == PhaseChoosing) Send(MakeContractChosen(code));
}

void ClientSession::SendDoubleChosen(int bits) {
  if (isClient_ && game_.phase == PhaseChoosing) Send(MakeDoubleChosen(bits));
}

void ClientSession::PlayCard(int card) {
  if (isClient_ && IsSeated() && SeatToPlay(game_) == ViewedSeat(localPosition_)) Send(MakePlayCard(card));
}

void ClientSession::SendChat(std::string_view text) {
  if (!isClient_) return;
  for (const std::string& line : CutChatLines(handle_, text)) Send(MakeChat(line));
}

void ClientSession::SendResendAll() {
  if (isClient_) Send(MakeResendAll());
}

void ClientSession::RequestUndo() {
  if (isClient_ && IsSeated() && ViewedSeat(localPosition_) != South) Send(MakeUndoRequest());
}

void ClientSession::Rejoin() {
  if (zelbo::IsSeated(lastPosition_))
    RequestSeat(ViewedSeat(lastPosition_));
  else if (WatchesAll(lastPosition_))
    StartKibitzing(4);
  else if (IsWatching(lastPosition_))
    StartKibitzing(ViewedSeat(lastPosition_));
}

void ClientSession::SetPosition(Position p) {
  localPosition_ = p;
  if (p != NoPosition) lastPosition_ = p;
}

const std::string& ClientSession::SeatHandle(int seat) const {
  static const std::string none;
  return IsSeat(seat) ? seatHandles_[static_cast<std::size_t>(seat)] : none;
}

// Dispatch: every payload is parsed and checked before it reaches the
// mirror, so the painter and the rule queries can index with it.

void ClientSession::ApplyText(std::span<const uint8_t> p) { AddPaneLine(PayloadText(p, MaxTextLength)); }

void ClientSession::ApplySeatGranted(std::span<const uint8_t> p) {
  if (const auto seat = ParseSeatGranted(p)) {
    SetPosition(SeatedAt(*seat));
    ui_.RedrawTable();
  }
}

void ClientSession::ApplyStatus(std::span<const uint8_t> p) {
  const auto m = ParseStatus(p);
  if (!m) return;
  game_.phase = m->phase;
  game_.dealNumber = m->dealNumber;
  game_.contract = m->contract;
  game_.dealer = m->dealer;
  game_.roundSteps = m->roundSteps;
  DeriveTableFields(game_);
  if (m->repaint) ui_.RedrawTable();
  if (game_.phase == PhaseChoosingSuspended) ui_.HideDecisionDialogs();
}

void ClientSession::ApplySeatInfo(std::span<const uint8_t> p) {
  const auto m = ParseSeatInfo(p);
  if (!m) return;
  seatHandles_[static_cast<std::size_t>(m->seat)] = WithoutControlBytes(m->handle);
  seatTaken_[static_cast<std::size_t>(m->seat)] = m->taken ? 1 : 0;
  if (m->repaint) ui_.RedrawTable();
}

void ClientSession::ApplyHand(std::span<const uint8_t> p) {
  if (const auto m = ParseHand(p)) {
    std::copy(m->cards.begin(), m->cards.end(), game_.hands[m->seat]);
    ui_.RedrawTable();
  }
}

void ClientSession::ApplyContract(std::span<const uint8_t> p) {
  if (const auto contract = ParseContract(p)) {
    game_.contract = *contract;
    DeriveTableFields(game_);
    ui_.RedrawTable();
  }
}

void ClientSession::ApplyChooseContract(std::span<const uint8_t> p) {
  const auto offered = ParseChooseContract(p);
  if (!offered) return;
  std::copy(offered->begin(), offered->end(), game_.offeredContracts);
  // The offer is the dealer's row; keeping it there lets the engine's
  // AllowedContracts answer on the mirror.
  std::copy(offered->begin(), offered->end(), game_.contractsLeft[SeatMod(game_.dealer)]);
  ui_.PromptContract(game_);
}

void ClientSession::ApplyTurn(std::span<const uint8_t> p) {
  if (const auto m = ParseTurn(p)) {
    game_.turn = m->turn;
    game_.playRound = m->playRound;
    DeriveTableFields(game_);
    ui_.RedrawTable();
  }
}

void ClientSession::ApplyDealDecision(std::span<const uint8_t> p) {
  if (const auto b = ParseBytes(p, 5)) std::copy(b->begin(), b->end(), game_.dealDecisions[game_.dealNumber]);
}

void ClientSession::ApplyDoubleFactors(std::span<const uint8_t> p) {
  if (const auto b = ParseBytes(p, 16)) std::copy(b->begin(), b->end(), &game_.doubleFactor[0][0]);
}

void ClientSession::ApplyDoublePrompt(std::span<const uint8_t> p) {
  if (const auto forced = ParseDoublePrompt(p)) {
    game_.forcedDouble = *forced ? 1 : 0;
    ui_.PromptDoubling(game_);
  }
}

void ClientSession::ApplyTableCards(std::span<const uint8_t> p) {
  if (const auto table = ParseTableCards(p)) {
    std::copy(table->begin(), table->end(), game_.tableCards);
    DeriveTableFields(game_);
  }
}

void ClientSession::ApplyTally(std::span<const uint8_t> p) {
  if (const auto b = ParseBytes(p, 4)) std::copy(b->begin(), b->end(), game_.tally);
}

void ClientSession::ApplyDoublesOwed(std::span<const uint8_t> p) {
  if (const auto b = ParseBytes(p, 4)) std::copy(b->begin(), b->end(), game_.doublesOwed);
}

void ClientSession::ApplyScoreClear(std::span<const uint8_t>) {
  game_.scoreSheet.Clear();
  ui_.ScoreSheetChanged();
}

void ClientSession::ApplyScoreLine(std::span<const uint8_t> p) {
  const auto m = ParseScoreLine(p);
  if (!m) return;
  if (m->index == 255)
    game_.scoreSheet.ReplaceLast(m->text);
  else
    game_.scoreSheet.Insert(static_cast<std::size_t>(m->index), m->text);
  ui_.ScoreSheetChanged();
}

void ClientSession::ApplyScoreDelete(std::span<const uint8_t> p) {
  if (const auto b = ParseBytes(p, 1)) {
    game_.scoreSheet.Delete((*b)[0]);
    ui_.ScoreSheetChanged();
  }
}

void ClientSession::Dispatch(int type, std::span<const uint8_t> p) {
  using Apply = void (ClientSession::*)(std::span<const uint8_t>);
  static constexpr struct {
    int type;
    Apply apply;
  } kRoutes[] = {
      {MsgText, &ClientSession::ApplyText},
      {MsgSeatGranted, &ClientSession::ApplySeatGranted},
      {MsgStatus, &ClientSession::ApplyStatus},
      {MsgSeatInfo, &ClientSession::ApplySeatInfo},
      {MsgHand, &ClientSession::ApplyHand},
      {MsgContract, &ClientSession::ApplyContract},
      {MsgChooseContract, &ClientSession::ApplyChooseContract},
      {MsgTurn, &ClientSession::ApplyTurn},
      {MsgDealDecision, &ClientSession::ApplyDealDecision},
      {MsgDoubleFactors, &ClientSession::ApplyDoubleFactors},
      {MsgDoublePrompt, &ClientSession::ApplyDoublePrompt},
      {MsgTableCards, &ClientSession::ApplyTableCards},
      {MsgTally, &ClientSession::ApplyTally},
      {MsgDoublesOwed, &ClientSession::ApplyDoublesOwed},
      {MsgScoreClear, &ClientSession::ApplyScoreClear},
      {MsgScoreLine, &ClientSession::ApplyScoreLine},
      {MsgScoreDelete, &ClientSession::ApplyScoreDelete},
  };
  for (const auto& route : kRoutes) {
    if (route.type != type) continue;
    (this->*route.apply)(p);
    ui_.FrameHandled(type, game_);
    return;
  }
  // Frames meant for the server, and unknown types, are ignored.
}

}  // namespace zelbo
