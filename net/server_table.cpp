#include "net/server_table.h"

#include <algorithm>
#include <ctime>
#include <filesystem>

#include "engine/engine.h"
#include "net/table_rules.h"
#include "records/autosave.h"
#include "records/hand_records.h"
#include "records/saved_game.h"
#include "records/undo_ring.h"

namespace zelbo {

ServerTable::ServerTable(Transport& transport, ServerUi& ui, ServerConfig config)
    : transport_(transport),
      ui_(ui),
      config_(std::move(config)),
      undo_(std::make_unique<UndoRing>(config_.folder)),
      autosave_(std::make_unique<Autosave>(config_.folder, config_.autosaveName)) {
  if (config_.handle.size() > MaxHandleLength) config_.handle.resize(MaxHandleLength);
  config_.handle = WithoutControlBytes(config_.handle);
  if (config_.handle != NonplayingServerHandle) {
    localPosition_ = South;
    occupant_[South] = ServerUserSeat;
  }
  game_.randomSeed = config_.randomSeed;
  transport_.SetEvents(this);
}

ServerTable::~ServerTable() { transport_.SetEvents(nullptr); }

int ServerTable::UndoDepth() const { return undo_->undoDepth(); }

bool ServerTable::Start(uint16_t port, std::string& error) {
  if (!transport_.Listen(port, error)) {
    AddPaneLine(error);
    return false;
  }
  listening_ = true;
  AddPaneLine("Serving...");
  ui_.RedrawTable();
  return true;
}

uint16_t ServerTable::Port() const { return listening_ ? transport_.ListeningPort() : 0; }

void ServerTable::Stop() {
  while (connections_.count() > 0) {
    transport_.Close(connections_.slot(connections_.count() - 1).conn, CloseMode::Graceful);
    connections_.Remove(connections_.count() - 1, occupant_);
  }
  if (listening_) transport_.StopListening();
  listening_ = false;
}

// Message pane

void ServerTable::AddPaneLine(std::string_view line) { ui_.PaneLineAdded(pane_.Add(line)); }

void ServerTable::BroadcastText(std::string_view text) {
  AddPaneLine(text);
  Broadcast(MakeText(text));
}

void ServerTable::SendTextTo(int slot, std::string_view text) { SendTo(slot, MakeText(text)); }

void ServerTable::SendChat(std::string_view text) {
  for (const std::string& line : CutChatLines(config_.handle, WithoutControlBytes(text)))
    BroadcastText(line);
  FinishInput();
}

// Sending

void ServerTable::Broadcast(const Frame& frame) {
  for (int i = 0; i < connections_.count(); ++i)
    if (connections_.slot(i).joined) SendTo(i, frame);
}

void ServerTable::SendTo(int slot, const Frame& frame) {
  if (slot < 0 || slot >= connections_.count()) return;
  ConnectionSlot& s = connections_.slot(slot);
  if (s.overflowed) return;
  transport_.Send(s.conn, frame.view());
  if (transport_.QueuedBytes(s.conn) > MaxQueuedBytes) s.overflowed = true;
}

Frame ServerTable::SeatInfoFrame(int seat) const {
  if (seat == South && localPosition_ == South) return MakeSeatInfo(seat, true, config_.handle);
  const int o = occupant_[static_cast<std::size_t>(seat)];
  if (o >= 0) return MakeSeatInfo(seat, true, connections_.slot(o).handle);
  return MakeSeatInfo(seat, false, {});
}

std::string ServerTable::SeatHandle(int seat) const {
  if (seat < 0 || seat > 3) return {};
  if (seat == South && localPosition_ == South) return config_.handle;
  const int o = occupant_[static_cast<std::size_t>(seat)];
  return o >= 0 ? connections_.slot(o).handle : std::string();
}

// EngineHost: broadcasts

void ServerTable::SendStatus(const GameState& g) { Broadcast(MakeStatus(g)); }

void ServerTable::SendHand(const GameState& g, int seat) {
  if (seat < 0 || seat > 3) return;
  // A seated connection sees only its own seat's cards; joined watchers
  // see every hand unless the table masks them too; connections that have
  // not joined see nothing.
  const Frame open = MakeHand(g, seat, false);
  const Frame hidden = MakeHand(g, seat, true);
  for (int i = 0; i < connections_.count(); ++i) {
    if (!connections_.slot(i).joined) continue;
    const int sits = SeatOfSlot(occupant_, i);
    const bool sees = sits >= 0 ? sits == seat : config_.watchersSeeHands;
    SendTo(i, sees ? open : hidden);
  }
}

void ServerTable::SendContract(const GameState& g) { Broadcast(MakeContract(g.contract)); }
void ServerTable::SendTurn(const GameState& g) { Broadcast(MakeTurn(g)); }
void ServerTable::SendDealDecision(const GameState& g) { Broadcast(MakeDealDecision(g)); }
void ServerTable::SendDoubleFactors(const GameState& g) { Broadcast(MakeDoubleFactors(g)); }
void ServerTable::SendTableCards(const GameState& g) { Broadcast(MakeTableCards(g)); }
void ServerTable::SendTally(const GameState& g) { Broadcast(MakeTally(g)); }
void ServerTable::SendDoublesOwed(const GameState& g) { Broadcast(MakeDoublesOwed(g)); }

void ServerTable::SendScoreClear() {
  Broadcast(MakeScoreClear());
  ui_.ScoreSheetChanged();
}

void ServerTable::SendScoreLine(int index, std::string_view text) {
  Broadcast(MakeScoreLine(index, text));
  ui_.ScoreSheetChanged();
}

void ServerTable::SendScoreDelete(int index) {
  Broadcast(MakeScoreDelete(index));
  ui_.ScoreSheetChanged();
}

void ServerTable::RedrawTable() { ui_.RedrawTable(); }

// EngineHost: prompts

void ServerTable::RequestContractChoice(const GameState& g) {
  const int dealer = SeatMod(g.dealer);
  if (dealer == South && localPosition_ == South) {
    OfferContracts(game_);
    ui_.OpenPickGameDialog(game_);
    return;
  }
  const int o = occupant_[static_cast<std::size_t>(dealer)];
  if (o >= 0) SendTo(o, MakeChooseContract(g.contractsLeft[dealer]));
}

void ServerTable::RequestDoublingDecision(const GameState& g) {
  const int acting = ActingSeat(g);
  if (acting == South && localPosition_ == South) {
    ui_.OpenDoublingDialog(game_);
    return;
  }
  const int o = occupant_[static_cast<std::size_t>(acting)];
  if (o >= 0) SendTo(o, MakeDoublePrompt(g.forcedDouble));
}

// EngineHost: files

std::string ServerTable::AutosavePath() const { return autosave_->path().string(); }

namespace {
SeatTakenFlags SeatTakenOf(const SeatOccupant& occupant) {
  SeatTakenFlags flags{};
  for (std::size_t s = 0; s < 4; ++s) flags[s] = occupant[s] != EmptySeat ? 1 : 0;
  return flags;
}
}  // namespace

// The engine asks for the files in the middle of an action; they are kept
// in memory and written once the action's frames are out (FinishInput).
void ServerTable::TakeUndoSnapshot(const GameState& g) {
  if (config_.undo) pendingSnapshots_.push_back(g);
}

void ServerTable::AutosaveGame(const GameState& g) {
  if (config_.autosave) pendingSave_ = g;
}

void ServerTable::WritePendingFiles() {
  if (pendingSnapshots_.empty() && !pendingSave_) return;
  ui_.ActionFramesSent();
  // Taken out first: a pane line below may lead back here.
  const std::vector<GameState> snapshots = std::move(pendingSnapshots_);
  pendingSnapshots_.clear();
  std::optional<GameState> save = std::move(pendingSave_);
  pendingSave_.reset();
  for (const GameState& g : snapshots) {
    std::string error;
    if (!undo_->TakeUndoSnapshot(g, error)) AddPaneLine(error);
  }
  if (save) {
    std::string error;
    if (!autosave_->Save(*save, error) && autosave_->FailureIsNew()) AddPaneLine(error);
  }
}

void ServerTable::FinishInput() {
  transport_.Flush();
  WritePendingFiles();
  CloseOverflowed();
}

void ServerTable::CloseOverflowed() {
  for (int i = connections_.count() - 1; i >= 0; --i) {
    if (!connections_.slot(i).overflowed) continue;
    // A leave broadcasts, which may push another connection over; start
    // again from the top until none is left.
    if (connections_.slot(i).joined)
      LeaveSlot(i, CloseMode::Abortive, true);
    else
      RefuseSlot(i);
    i = connections_.count();
  }
}

void ServerTable::GameOver(const GameState& g) { ui_.GameOver(g); }

bool ServerTable::SaveGameFile(const std::string& path, std::string& error) const {
  return SaveGame(path, game_, error, SeatTakenOf(occupant_));
}

bool ServerTable::LoadGameFile(const std::string& path, std::string& error) {
  if (!zelbo::LoadGame(path, game_, error)) {
    AddPaneLine(error);
    return false;
  }
  ReannounceAfterLoad();
  FinishInput();
  return true;
}

void ServerTable::ReannounceAfterLoad() {
  // At a full table a suspended game goes on at once; otherwise everyone is
  // told the whole state and the game waits (or stays idle or over).
  if (AllSeatsOccupied(occupant_) && IsSuspended(game_.phase)) {
    SendStatus(game_);
    SendWholeState();
  } else {
    ReplyResendAll();
  }
  ui_.RedrawTable();
}

void ServerTable::UndoLastAction(int requester) {
  WritePendingFiles();  // the ring must hold every snapshot taken so far
  const std::string who = requester < 0 ? config_.handle : connections_.slot(requester).handle;
  std::string error;
  if (!undo_->UndoLastAction(game_, error)) {
    if (requester < 0)
      AddPaneLine(error);
    else
      SendTextTo(requester, error);
    return;
  }
  ui_.HideDecisionDialogs();
  ReannounceAfterLoad();
  BroadcastText("Last action undone [" + who + "]");
}

bool ServerTable::WriteHandRecordsFile(const std::string& path, std::string& error) const {
  HandRecordsContext context;
  for (int s = 0; s < 4; ++s) context.seatHandles[static_cast<std::size_t>(s)] = SeatHandle(s);
  context.utcTime = static_cast<int64_t>(std::time(nullptr));
  return WriteHandRecords(path, game_, context, error);
}

// Composite sends

// The frames both composite sends begin with, up to the score sheet.
void ServerTable::SendStateUpToScoreSheet() {
  SendStatus(game_);
  for (int s = 0; s < 4; ++s) SendHand(game_, s);
  if (game_.contract != 0) SendContract(game_);
  SendDoubleFactors(game_);
  SendTableCards(game_);
  SendTally(game_);
  SendDoublesOwed(game_);
  ResendScoreSheet(game_, *this);
}

void ServerTable::SendWholeState() {
  SendStateUpToScoreSheet();
  SendDealDecision(game_);
  SendTurn(game_);
  ResumeGame(game_, *this);
}

void ServerTable::ReplyResendAll() {
  SendStateUpToScoreSheet();
  SendTurn(game_);
  SendDealDecision(game_);
}

// Table management

void ServerTable::OnAccepted(ConnId conn) {
  // The table holds 32 connections; one more is turned away at once. The
  // close is an orderly one: a reset that reaches a client before it has
  // seen its own connect complete makes some socket layers retry the
  // connect again and again.
  //
  // While the game waits for a player who dropped, a newcomer is let in
  // over the limit to take the empty seat; a player's return is never
  // refused because watchers hold every slot.
  bool overLimit = false;
  if (connections_.full() && !MakeRoom()) {
    overLimit = IsSuspended(game_.phase) && !AllSeatsOccupied(occupant_);
    if (!overLimit || connections_.count() >= MaxConnections + ReturnSlots) {
      transport_.Close(conn, CloseMode::Graceful);
      return;
    }
  }
  // Nobody else hears of a connection until it joins; it learns the seats
  // then too.
  ConnectionSlot& s = connections_.slot(connections_.Add(conn, transport_.NowMs()));
  s.mustSit = overLimit;
  s.address = transport_.PeerAddress(conn);
  ui_.RedrawTable();
  FinishInput();
}

bool ServerTable::MakeRoom() {
  const int idle = IdleSlotToEvict(connections_, occupant_, transport_.NowMs());
  if (idle < 0) return false;
  EvictSlot(idle);
  return !connections_.full();
}

void ServerTable::EvictSlot(int slot) {
  if (connections_.slot(slot).joined)
    LeaveSlot(slot, CloseMode::Graceful, true);
  else
    RefuseSlot(slot);
}

void ServerTable::OnWritable(ConnId conn) {
  const int slot = connections_.Find(conn);
  if (slot >= 0) SendTo(slot, MakeIdle());
}

void ServerTable::OnRead(ConnId conn, std::span<const uint8_t> bytes) {
  const int slot = connections_.Find(conn);
  if (slot < 0) return;
  const std::shared_ptr<FrameReader> reader = connections_.slot(slot).reader;
  const FrameReader::Status status =
      reader->Feed(bytes, [this, conn](int type, std::span<const uint8_t> payload) {
        const int s = connections_.Find(conn);
        if (s < 0) return false;
        Dispatch(s, type, payload);
        return connections_.Find(conn) >= 0;
      });
  const int now = connections_.Find(conn);
  if (now < 0) return;
  if (status == FrameReader::Status::BadGreeting) {
    RefuseSlot(now);
  } else if (status == FrameReader::Status::BadLength) {
    // A peer that breaks the framing loses its connection, as a leave.
    if (connections_.slot(now).joined)
      LeaveSlot(now, CloseMode::Abortive, true);
    else
      RefuseSlot(now);
  }
  FinishInput();
}

void ServerTable::OnClosed(ConnId conn) {
  const int slot = connections_.Find(conn);
  if (slot < 0) return;
  if (connections_.slot(slot).joined)
    LeaveSlot(slot, CloseMode::Abortive, false);
  else
    connections_.Remove(slot, occupant_);
  FinishInput();
}

void ServerTable::OnSocketError(ConnId conn, const SocketError& error) {
  (void)conn;
  AddPaneLine(SocketErrorLine(error));
}

void ServerTable::OnTick() {
  // Connections that have not greeted and joined in time are refused, so
  // idle sockets cannot hold the table's slots.
  const int64_t now = transport_.NowMs();
  for (int i = connections_.count() - 1; i >= 0; --i) {
    ConnectionSlot& s = connections_.slot(i);
    // One let in over the limit that has not sat by then goes too, unless
    // others have left since and it is within the limit.
    if (connections_.count() <= MaxConnections) s.mustSit = false;
    if (now - s.acceptedAtMs < GreetingDeadlineMs) continue;
    if (!s.joined)
      RefuseSlot(i);
    else if (s.mustSit && connections_.count() > MaxConnections)
      LeaveSlot(i, CloseMode::Graceful, true);
  }
  if (const std::string summary = joinLines_.Summary(now); !summary.empty()) BroadcastText(summary);
  FinishInput();
}

void ServerTable::RefuseSlot(int slot) {
  transport_.Close(connections_.slot(slot).conn, CloseMode::Abortive);
  connections_.Remove(slot, occupant_);
}

void ServerTable::LeaveSlot(int slot, CloseMode mode, bool closeSocket) {
  const std::string handle = connections_.slot(slot).handle;
  const std::string address = connections_.slot(slot).address;
  if (closeSocket) transport_.Close(connections_.slot(slot).conn, mode);
  bool suspended = false;
  const bool seated = SeatOfSlot(occupant_, slot) >= 0;
  if (seated) {
    const bool choosing = game_.phase == PhaseChoosing;
    suspended = SuspendGame(game_);
    if (choosing) ui_.HideDecisionDialogs();
  }
  const int vacated = connections_.Remove(slot, occupant_);
  // A seated player's leave is always told; a watcher's within the rate.
  if (seated || joinLines_.Announce(address, transport_.NowMs()))
    BroadcastText(handle + " has left the table");
  ui_.RedrawTable();
  if (suspended) {
    SendStatus(game_);
    BroadcastText("Game suspended");
  }
  if (vacated >= 0) Broadcast(MakeSeatInfo(vacated, false, {}));
}

void ServerTable::RemoveConnection(int seat) {
  if (seat < 0 || seat > 3) return;
  const int o = occupant_[static_cast<std::size_t>(seat)];
  if (o < 0) return;
  LeaveSlot(o, CloseMode::Graceful, true);
  FinishInput();
}

void ServerTable::HandleJoin(int slot, std::span<const uint8_t> payload) {
  ConnectionSlot& s = connections_.slot(slot);
  s.handle = WithoutControlBytes(PayloadText(payload, MaxHandleLength));
  s.joined = true;
  const std::string line = s.handle + " has joined the table";
  if (joinLines_.Announce(s.address, transport_.NowMs()))
    BroadcastText(line);
  else
    SendTextTo(slot, line);
  // What the newcomer needs to choose a seat; the others' view of the
  // seats has not changed.
  for (int seat = 0; seat < 4; ++seat) SendTo(slot, SeatInfoFrame(seat));
}

// Chat lines and resend requests beyond the connection's rate are ignored;
// the first time, the sender is told why.
void ServerTable::HandleChat(int slot, std::span<const uint8_t> payload) {
  RateLimit& limit = connections_.slot(slot).chatLines;
  if (!limit.Take(transport_.NowMs())) {
    if (!limit.told()) {
      limit.setTold();
      SendTextTo(slot, "Too many chat lines: the rest are ignored");
    }
    return;
  }
  // A relayed line always names its real sender.
  const std::string prefix = ChatPrefix(connections_.slot(slot).handle);
  std::string line = WithoutControlBytes(PayloadText(payload, payload.size()));
  if (line.compare(0, prefix.size(), prefix) != 0) {
    line = prefix + line;
    if (line.size() > MaxTextLength) line.resize(MaxTextLength);
  }
  BroadcastText(line);
}

void ServerTable::HandleSitRequest(int slot, int seat) {
  if (!MayRequestSeat(connections_, occupant_, slot, seat)) return;
  if (occupant_[static_cast<std::size_t>(seat)] == EmptySeat) {
    occupant_[static_cast<std::size_t>(seat)] = slot;
    const std::string handle = connections_.slot(slot).handle;
    BroadcastText(handle + " is sitting " + SeatName(seat));
    SendTo(slot, MakeSeatGranted(seat));
    Broadcast(MakeSeatInfo(seat, true, handle));
    ui_.RedrawTable();
    // A player let in over the limit has sat: the watcher silent longest
    // gives up its slot.
    if (connections_.slot(slot).mustSit) {
      connections_.slot(slot).mustSit = false;
      const int watcher = LongestSilentWatcher(connections_, occupant_);
      if (connections_.count() > MaxConnections && watcher >= 0) EvictSlot(watcher);
    }
  }
  StartOrResumeWhenFull();
}

void ServerTable::StartOrResumeWhenFull() {
  if (!AllSeatsOccupied(occupant_)) return;
  if (game_.phase == PhaseIdle) {
    game_.randomSeed = config_.randomSeed;
    NewGame(game_, *this, static_cast<uint32_t>(std::time(nullptr)));
  }
  if (IsSuspended(game_.phase)) {
    SendWholeState();
    BroadcastText("Game resumed");
  }
}

// Dispatch

void ServerTable::Dispatch(int slot, int type, std::span<const uint8_t> payload) {
  DispatchFrame(slot, type, payload);
  FinishInput();
}

void ServerTable::DispatchFrame(int slot, int type, std::span<const uint8_t> payload) {
  if (slot < 0 || slot >= connections_.count()) return;
  // Keep-alives are no sign of a person: a crowd sending only them stays idle.
  if (type != MsgIdle) connections_.slot(slot).lastHeardMs = transport_.NowMs();
  if (type < MsgJoin || type > MsgScoreDelete) return;
  // Until a connection has joined, only its MsgJoin counts; a second
  // MsgJoin changes nothing.
  if (!connections_.slot(slot).joined) {
    if (type == MsgJoin) HandleJoin(slot, payload);
    return;
  }
  switch (type) {
    case MsgChat:
      HandleChat(slot, payload);
      break;
    case MsgSitRequest:
      if (!payload.empty()) HandleSitRequest(slot, payload[0]);
      break;
    case MsgContractChosen:
    case MsgDoubleChosen:
      if (!payload.empty() && MayDecide(game_, occupant_, slot, type, payload[0]))
        ApplyDecision(game_, *this, payload[0]);
      break;
    case MsgPlayCard:
      if (!payload.empty()) {
        const int seat = SeatOfSlot(occupant_, slot);
        if (seat >= 0) PlayCard(game_, *this, seat, payload[0]);
      }
      break;
    case MsgResendAll: {
      RateLimit& limit = connections_.slot(slot).resends;
      if (limit.Take(transport_.NowMs())) {
        ReplyResendAll();
      } else if (!limit.told()) {
        limit.setTold();
        SendTextTo(slot, "Too many resend requests: the rest are ignored");
      }
      break;
    }
    case MsgUndoRequest:
      if (MayRequestUndo(occupant_, slot)) UndoLastAction(slot);
      break;
    default:
      break;  // frames meant for clients
  }
}

// Local user

void ServerTable::LocalContractChosen(int code) {
  if (game_.turn == 0 && LocalMayDecide(game_, localPosition_, code))
    ApplyDecision(game_, *this, code);
  FinishInput();
}

void ServerTable::LocalDoubleChosen(int bits) {
  if (game_.turn != 0 && LocalMayDecide(game_, localPosition_, bits))
    ApplyDecision(game_, *this, bits);
  FinishInput();
}

void ServerTable::LocalPlayCard(int card) {
  if (localPosition_ == South) PlayCard(game_, *this, South, card);
  FinishInput();
}

void ServerTable::LocalUndo() {
  UndoLastAction(-1);
  FinishInput();
}

}  // namespace zelbo
