#include "robot/robot_client.h"

#include "robot/strategy.h"

namespace zelbo {

namespace {

constexpr int HungTicks = 5;  // seconds of silence after our card before asking for everything

int CardsHeld(const GameState& g, int seat) {
  int n = 0;
  for (int i = 0; i < 13; ++i) n += IsCard(g.hands[seat][i]) ? 1 : 0;
  return n;
}

}  // namespace

RobotClient::RobotClient(Transport& transport, RobotConfig config, LineSink printLine)
    : transport_(transport),
      config_(std::move(config)),
      printLine_(std::move(printLine)),
      session_(transport, *this, config_.handle),
      player_(config_.level, config_.lookAhead) {
  wantedSeat_ = config_.seat >= 0 && config_.seat <= 3 ? config_.seat : -1;
  // The session registered itself; the robot stands in front of it.
  transport_.SetEvents(this);
}

RobotClient::~RobotClient() = default;

void RobotClient::Connect(const std::string& host, uint16_t port) {
  host_ = host;
  port_ = port;
  closedForGood_ = false;
  reconnectDue_ = false;
  seatAsked_ = -1;
  seatInfoSeen_ = false;
  contractDue_ = doublingDue_ = turnNoticed_ = false;
  lastGameFrame_ = -1;
  idleTicks_ = 0;
  session_.Connect(host, port);
}

void RobotClient::Tick() {
  if (reconnectDue_ && !session_.IsClient()) {
    reconnectDue_ = false;
    Connect(host_, port_);
    return;
  }
  // Our card went out and nothing came back: ask for the whole state, whose
  // turn notice lets the robot decide again on fresh data.
  const GameState& g = session_.Game();
  const bool ourCardDue = session_.IsSeated() && !turnNoticed_ && SeatToPlay(g) == ViewedSeat(session_.LocalPosition());
  if (!ourCardDue) {
    idleTicks_ = 0;
    return;
  }
  if (++idleTicks_ >= HungTicks) {
    idleTicks_ = 0;
    session_.SendResendAll();
  }
}

// ClientUi

void RobotClient::PromptContract(const GameState&) { contractDue_ = true; }
void RobotClient::PromptDoubling(const GameState&) { doublingDue_ = true; }
void RobotClient::HideDecisionDialogs() { contractDue_ = doublingDue_ = false; }

void RobotClient::PaneLineAdded(std::string_view line) {
  if (printLine_) printLine_(line);
}

void RobotClient::ConnectionClosed() {
  seatAsked_ = -1;
  seatInfoSeen_ = false;
  contractDue_ = doublingDue_ = turnNoticed_ = false;
  if (config_.reconnect && !gameOver_) {
    reconnectDue_ = true;
  } else {
    closedForGood_ = true;
  }
}

// TransportEvents

void RobotClient::OnConnected(ConnId conn) { session_.OnConnected(conn); }
void RobotClient::OnWritable(ConnId conn) { session_.OnWritable(conn); }
void RobotClient::OnClosed(ConnId conn) { session_.OnClosed(conn); }
void RobotClient::OnSocketError(ConnId conn, const SocketError& error) {
  session_.OnSocketError(conn, error);
}
// The transport ticks only while it holds a connection; the runner's own
// timer calls Tick, which must also run while the robot waits to reconnect.
void RobotClient::OnTick() {}

void RobotClient::OnRead(ConnId conn, std::span<const uint8_t> bytes) {
  session_.OnRead(conn, bytes);
  if (session_.IsClient()) Act();
}

void RobotClient::FrameHandled(int type, const GameState& g) {
  switch (type) {
    case MsgSeatInfo:
      seatInfoSeen_ = true;
      return;
    case MsgTurn:
      turnNoticed_ = true;
      if (cardAwaitingTurn_ && cardTimer_) {
        cardTimer_(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - cardSentAt_).count());
      }
      cardAwaitingTurn_ = false;
      break;
    case MsgStatus:
      // A status right after the turn is a resumed game being handed over.
      if (lastGameFrame_ == MsgTurn) turnNoticed_ = true;
      if (g.phase == PhaseGameOver) gameOver_ = true;
      break;
    case MsgHand:
    case MsgContract:
    case MsgDealDecision:
    case MsgDoubleFactors:
    case MsgTableCards:
    case MsgTally:
    case MsgDoublesOwed:
      break;
    default:
      return;  // texts, prompts and score lines change nothing the robot reads
  }
  lastGameFrame_ = type;
}

void RobotClient::Act() {
  if (!session_.IsSeated()) {
    TakeSeat();
    return;
  }
  const int me = ViewedSeat(session_.LocalPosition());
  seatAsked_ = -1;
  const GameState& g = session_.Game();
  if (contractDue_) {
    if (g.phase == PhaseChoosing && g.turn == 0 && g.dealer == me) {
      const RobotMove move = player_.Decide(g, me);
      if (move.kind == RobotMoveKind::Contract) {
        session_.SendContractChosen(move.value);
        ++movesSent_;
      }
    }
    contractDue_ = false;
  }
  if (doublingDue_) {
    if (g.phase == PhaseChoosing && g.turn >= 1 && g.turn <= 4 && ActingSeat(g) == me) {
      const RobotMove move = player_.Decide(g, me);
      if (move.kind == RobotMoveKind::Double) {
        session_.SendDoubleChosen(move.value);
        ++movesSent_;
      }
    }
    doublingDue_ = false;
  }
  PlayIfDue();
}

void RobotClient::TakeSeat() {
  if (!seatInfoSeen_ || gameOver_) return;
  if (seatAsked_ >= 0) {
    // The server answers only a granted request; the seat showing as taken
    // by someone else is the refusal.
    if (!session_.SeatTaken(seatAsked_)) return;
    seatAsked_ = -1;
  }
  // After a lost connection the seat held last, else the one configured.
  const Position last = session_.LastPosition();
  if (IsSeated(last)) {
    if (!session_.SeatTaken(ViewedSeat(last))) {
      seatAsked_ = ViewedSeat(last);
      session_.Rejoin();
    }
    return;
  }
  int seat = -1;
  if (wantedSeat_ >= 0) {
    if (!session_.SeatTaken(wantedSeat_)) seat = wantedSeat_;
  } else {
    for (int s : {South, West, North, East}) {
      if (!session_.SeatTaken(s)) {
        seat = s;
        break;
      }
    }
  }
  if (seat < 0) return;
  seatAsked_ = seat;
  session_.RequestSeat(seat);
}

bool RobotClient::HandConsistent(const GameState& g, int seat) const {
  const int held = CardsHeld(g, seat);
  if (IsDominoes(g.contract)) return g.tally[seat] == held;
  if (g.phase == PhaseFirstLead) return held == 13;
  int onTable = 0;
  for (int s = 0; s < 4; ++s) onTable += IsCard(g.tableCards[s]) ? 1 : 0;
  if (onTable < 4 && IsCard(g.tableCards[seat])) return false;  // our card is already down
  return held == 13 - g.playRound;
}

void RobotClient::PlayIfDue() {
  const GameState& g = session_.Game();
  const int me = ViewedSeat(session_.LocalPosition());
  if (!turnNoticed_ || SeatToPlay(g) != me || !HandConsistent(g, me)) return;
  const RobotMove move = player_.Decide(g, me);
  if (move.kind != RobotMoveKind::Card) return;
  const int card = move.value;
  turnNoticed_ = false;
  idleTicks_ = 0;
  cardSentAt_ = std::chrono::steady_clock::now();
  cardAwaitingTurn_ = true;
  session_.PlayCard(card);
  ++movesSent_;
}

}  // namespace zelbo
