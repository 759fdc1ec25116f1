#include "net/client_session.h"

#include <algorithm>
#include <vector>

#include "engine/trick.h"

namespace zelbo {

namespace {

bool AllAtMost(std::span<const uint8_t> bytes, int max) {
  return std::all_of(bytes.begin(), bytes.end(), [max](uint8_t b) { return b <= max; });
}

}  // namespace

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
  if (conn_ != NoConn) transport_.Send(conn_, frame.view());
}

// Connection

void ClientSession::Connect(const std::string& host, uint16_t port) {
  if (isClient_) return;
  isClient_ = true;
  greetingSent_ = false;
  reader_.Reset();
  host_ = host;
  conn_ = transport_.Connect(host, port);
  AddPaneLine("Searching for server...");
}

void ClientSession::Disconnect() {
  if (!isClient_) return;
  if (conn_ != NoConn) transport_.Close(conn_, CloseMode::Graceful);
  ResetConnection();
}

void ClientSession::ResetConnection() {
  AddPaneLine("Connection closed");
  isClient_ = false;
  greetingSent_ = false;
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
  if (!isClient_ || (localPosition_ >= 0 && localPosition_ <= 3) || seat < 0 || seat > 4) return;
  if (seat == 4) {
    localPosition_ = KibitzAll;
    SendChat(handle_ + " is now kibbitzing everyone");
  } else {
    localPosition_ = seat + 4;
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
  if (!isClient_ || !IsSeated() || game_.turn != localPosition_) return;
  if (game_.phase != PhasePlaying && game_.phase != PhaseFirstLead) return;
  Send(MakePlayCard(card));
}

void ClientSession::SendChat(std::string_view text) {
  if (!isClient_) return;
  for (const std::string& line : CutChatLines(handle_, text)) Send(MakeChat(line));
}

void ClientSession::SendResendAll() {
  if (isClient_) Send(MakeResendAll());
}

void ClientSession::RequestUndo() {
  if (isClient_ && localPosition_ >= West && localPosition_ <= East) Send(MakeUndoRequest());
}

// Dispatch: every field is checked before it reaches the mirror, so the
// painter and the rule queries can index with it.

void ClientSession::Dispatch(int type, std::span<const uint8_t> p) {
  GameState& g = game_;
  switch (type) {
    case MsgText:
      AddPaneLine(PayloadText(p, MaxTextLength));
      break;
    case MsgSeatGranted:
      if (p.size() >= 1 && p[0] <= 3) {
        localPosition_ = p[0];
        ui_.RedrawTable();
      }
      break;
    case MsgStatus:
      if (p.size() >= 6 && p[0] <= PhaseFirstLeadSuspended && p[1] <= DealCount &&
          p[2] <= LastContract && p[3] <= 3 && p[5] <= 5) {
        g.phase = p[0];
        g.dealNumber = p[1];
        g.contract = p[2];
        g.dealer = p[3];
        g.roundSteps = p[5];
        DeriveTableFields(g);
        if (p[4] != 0) ui_.RedrawTable();
        if (g.phase == PhaseChoosingSuspended) ui_.HideDecisionDialogs();
      }
      break;
    case MsgSeatInfo:
      if (p.size() >= 3 && p[0] <= 3) {
        seatHandles_[p[0]] = WithoutControlBytes(PayloadText(p.subspan(3), MaxHandleLength));
        seatTaken_[p[0]] = p[1] != 0 ? 1 : 0;
        if (p[2] != 0) ui_.RedrawTable();
      }
      break;
    case MsgHand:
      if (p.size() >= 14 && p[0] <= 3 && AllAtMost(p.subspan(1, 13), NoCard)) {
        std::copy_n(p.begin() + 1, 13, g.hands[p[0]]);
        ui_.RedrawTable();
      }
      break;
    case MsgContract:
      if (p.size() >= 1 && p[0] <= LastContract) {
        g.contract = p[0];
        DeriveTableFields(g);
        ui_.RedrawTable();
      }
      break;
    case MsgChooseContract:
      if (p.size() >= KindCount) {
        for (int k = 0; k < KindCount; ++k) {
          g.offeredContracts[k] = p[static_cast<std::size_t>(k)] != 0 ? 1 : 0;
          // The offer is the dealer's row; keeping it there lets the
          // engine's AllowedContracts answer on the mirror.
          g.contractsLeft[SeatMod(g.dealer)][k] = g.offeredContracts[k];
        }
        ui_.PromptContract(g);
      }
      break;
    case MsgTurn:
      if (p.size() >= 2 && p[0] <= 4 && p[1] < DominoRounds) {
        g.turn = p[0];
        g.playRound = p[1];
        DeriveTableFields(g);
        ui_.RedrawTable();
      }
      break;
    case MsgDealDecision:
      if (p.size() >= 5) std::copy_n(p.begin(), 5, g.dealDecisions[g.dealNumber]);
      break;
    case MsgDoubleFactors:
      if (p.size() >= 16) std::copy_n(p.begin(), 16, &g.doubleFactor[0][0]);
      break;
    case MsgDoublePrompt:
      if (p.size() >= 1) {
        g.forcedDouble = p[0] != 0 ? 1 : 0;
        ui_.PromptDoubling(g);
      }
      break;
    case MsgTableCards:
      if (p.size() >= 16 && AllAtMost(p.first(16), DomClosed)) {
        std::copy_n(p.begin(), 16, g.tableCards);
        DeriveTableFields(g);
      }
      break;
    case MsgTally:
      if (p.size() >= 4) std::copy_n(p.begin(), 4, g.tally);
      break;
    case MsgDoublesOwed:
      if (p.size() >= 4) std::copy_n(p.begin(), 4, g.doublesOwed);
      break;
    case MsgScoreClear:
      g.scoreSheet.Clear();
      ui_.ScoreSheetChanged();
      break;
    case MsgScoreLine:
      if (p.size() >= 1) {
        const std::string_view text = PayloadText(p.subspan(1), p.size() - 1);
        if (p[0] == 255)
          g.scoreSheet.ReplaceLast(text);
        else
          g.scoreSheet.Insert(p[0], text);
        ui_.ScoreSheetChanged();
      }
      break;
    case MsgScoreDelete:
      if (p.size() >= 1) {
        g.scoreSheet.Delete(p[0]);
        ui_.ScoreSheetChanged();
      }
      break;
    default:
      return;  // frames meant for the server, and unknown types
  }
  ui_.FrameHandled(type, g);
}

}  // namespace zelbo
