#include "net/server_table.h"

#include <algorithm>
#include <ctime>
#include <filesystem>

#include "engine/engine.h"
#include "net/table_rules.h"
#include "records/autosave.h"
#include "records/file_writer.h"
#include "records/finished_game.h"
#include "records/hand_records.h"
#include "records/saved_game.h"
#include "records/undo_ring.h"

namespace zelbo {

ServerTable::ServerTable(Transport& transport, ServerUi& ui, ServerConfig config)
    : transport_(transport),
      ui_(ui),
      config_(std::move(config)),
      undo_(std::make_unique<UndoRing>(config_.folder)),
      autosave_(std::make_unique<Autosave>(config_.folder, config_.autosaveName)),
      ownWriter_(config_.writer ? nullptr : std::make_unique<ImmediateFileWriter>()),
      writer_(config_.writer ? *config_.writer : *ownWriter_),
      self_(std::make_shared<ServerTable*>(this)) {
  if (config_.handle.size() > MaxHandleLength) config_.handle.resize(MaxHandleLength);
  config_.handle = WithoutControlBytes(config_.handle);
  if (config_.handle != NonplayingServerHandle) {
    localPosition_ = South;
    occupant_[South] = ServerUserSeat;
  }
  game_.randomSeed = config_.randomSeed;
  transport_.SetEvents(this);
}

ServerTable::~ServerTable() {
  transport_.SetEvents(nullptr);
  // The files are complete once the table is gone, so that the folder can
  // be opened again at once; their outcomes no longer reach it.
  self_.reset();
  writer_.Flush();
}

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
  if (listening_) transport_.StopListening();
  listening_ = false;
  // The newest goes first; the others hear nothing more.
  while (connections_.count() > 0) {
    const Connection& c = connections_.all().back();
    const int seat = SeatOf(occupant_, c.conn);
    if (seat >= 0) Raise(SeatingEvent::Kind::StoodUp, c, seat);
    if (c.joined) Raise(SeatingEvent::Kind::Left, c);
    transport_.Close(c.conn, CloseMode::Graceful);
    connections_.Remove(c.conn, occupant_);
  }
  DeliverSeatingEvents();
}

void ServerTable::AddSeatingListener(SeatingListener& listener) { listeners_.push_back(&listener); }

void ServerTable::RemoveSeatingListener(SeatingListener& listener) {
  std::erase(listeners_, &listener);
}

void ServerTable::Raise(SeatingEvent::Kind kind, const Connection& c, int seat) {
  events_.push_back(SeatingEvent{kind, c.conn, seat, c.handle});
}

void ServerTable::DeliverSeatingEvents() {
  // A listener that acts on the table raises more events; they are
  // delivered by this same loop, after the one being handled.
  if (delivering_) return;
  delivering_ = true;
  for (std::size_t i = 0; i < events_.size(); ++i) {
    const SeatingEvent event = events_[i];  // the vector may grow meanwhile
    for (std::size_t k = 0; k < listeners_.size(); ++k) listeners_[k]->OnSeatingEvent(event);
  }
  events_.clear();
  delivering_ = false;
}

// Message pane

void ServerTable::AddPaneLine(std::string_view line) { ui_.PaneLineAdded(pane_.Add(line)); }

void ServerTable::BroadcastText(std::string_view text) {
  AddPaneLine(text);
  Broadcast(MakeText(text));
}

void ServerTable::SendTextTo(ConnId conn, std::string_view text) { SendTo(conn, MakeText(text)); }

void ServerTable::BroadcastEndedGameLine(std::string_view text) {
  BroadcastText(text);
  endedGameLine_ = text;
}

void ServerTable::SendChat(std::string_view text) {
  for (const std::string& line : CutChatLines(config_.handle, WithoutControlBytes(text)))
    BroadcastText(line);
  FinishInput();
}

// Sending

void ServerTable::Broadcast(const Frame& frame) {
  for (Connection& c : connections_.all())
    if (c.joined) SendTo(c, frame);
}

void ServerTable::SendTo(ConnId conn, const Frame& frame) {
  if (Connection* c = connections_.Find(conn)) SendTo(*c, frame);
}

void ServerTable::SendTo(Connection& c, const Frame& frame) {
  if (c.overflowed) return;
  transport_.Send(c.conn, frame.view());
  if (transport_.QueuedBytes(c.conn) > MaxQueuedBytes) c.overflowed = true;
}

Frame ServerTable::SeatInfoFrame(int seat) const {
  if (seat == South && localPosition_ == South) return MakeSeatInfo(seat, true, config_.handle);
  if (const Connection* c = connections_.Find(occupant_[static_cast<std::size_t>(seat)]))
    return MakeSeatInfo(seat, true, c->handle);
  return MakeSeatInfo(seat, false, {});
}

std::string ServerTable::SeatHandle(int seat) const {
  if (seat < 0 || seat > 3) return {};
  if (seat == South && localPosition_ == South) return config_.handle;
  const Connection* c = connections_.Find(occupant_[static_cast<std::size_t>(seat)]);
  return c ? c->handle : std::string();
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
  for (Connection& c : connections_.all()) {
    if (!c.joined) continue;
    const int sits = SeatOf(occupant_, c.conn);
    const bool sees = sits >= 0 ? sits == seat : config_.watchersSeeHands;
    SendTo(c, sees ? open : hidden);
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
  SendTo(occupant_[static_cast<std::size_t>(dealer)], MakeChooseContract(g.contractsLeft[dealer]));
}

void ServerTable::RequestDoublingDecision(const GameState& g) {
  const int acting = ActingSeat(g);
  if (acting == South && localPosition_ == South) {
    ui_.OpenDoublingDialog(game_);
    return;
  }
  SendTo(occupant_[static_cast<std::size_t>(acting)], MakeDoublePrompt(g.forcedDouble));
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
  std::vector<GameState> snapshots = std::move(pendingSnapshots_);
  pendingSnapshots_.clear();
  std::optional<GameState> save = std::move(pendingSave_);
  pendingSave_.reset();
  // The states are encoded (and read back) by the writer, off this thread.
  auto encoded = [](std::filesystem::path path, GameState g) -> MakeBytes {
    return [path = std::move(path), g = std::move(g)](std::vector<uint8_t>& bytes, std::string& error) {
      return EncodeGameForSave(path, g, bytes, error);
    };
  };
  for (GameState& g : snapshots) {
    std::filesystem::path path = undo_->ClaimSlot();
    writer_.ReplaceMade(path, encoded(path, std::move(g)), FileDurability::Atomic,
                        WhenWritten(&ServerTable::SnapshotWritten));
  }
  if (save)
    writer_.ReplaceMade(autosave_->path(), encoded(autosave_->path(), std::move(*save)), Autosave::Durability,
                        WhenWritten(&ServerTable::AutosaveWritten));
}

std::function<void(bool, const std::string&)> ServerTable::WhenWritten(
    void (ServerTable::*handler)(bool ok, const std::string& error)) {
  return [self = std::weak_ptr<ServerTable*>(self_), handler](bool ok, const std::string& error) {
    if (const auto table = self.lock()) ((*table)->*handler)(ok, error);
  };
}

// A snapshot that was not written breaks the ring's chain: undo then never
// reaches past it to an older state. Like the autosave's, a run of failures
// (a folder that went away fails every action) gives one line.
void ServerTable::SnapshotWritten(bool ok, const std::string& error) {
  const bool wasFailing = snapshotsFailing_;
  snapshotsFailing_ = !ok;
  if (ok) return;
  undo_->BreakChain();
  if (!wasFailing) AddPaneLine(error);
}

void ServerTable::AutosaveWritten(bool ok, const std::string& error) {
  std::string line = error;
  if (autosave_->NoteOutcome(ok, line)) AddPaneLine(line);
}

void ServerTable::FinishInput() {
  transport_.Flush();
  WritePendingFiles();
  CloseOverflowed();
  DeliverSeatingEvents();
}

void ServerTable::CloseOverflowed() {
  // A leave broadcasts, which may push another connection over; look again
  // from the newest until none is left.
  for (;;) {
    const auto& all = connections_.all();
    auto it = std::find_if(all.rbegin(), all.rend(), [](const Connection& c) { return c.overflowed; });
    if (it == all.rend()) return;
    Drop(it->conn, CloseMode::Abortive);
  }
}

void ServerTable::GameOver(const GameState& g) {
  gameEndedAt_ = static_cast<int64_t>(std::time(nullptr));
  endedGameLine_.clear();
  if (finishedGames_)
    finishedGames_->KeepFinishedGame(SummariseFinishedGame(g, SeatTakenOf(occupant_), gameEndedAt_, tableName_));
  ui_.GameOver(g);
}

void ServerTable::SetFinishedGameSink(FinishedGameSink* sink, std::string tableName) {
  finishedGames_ = sink;
  tableName_ = std::move(tableName);
}

bool ServerTable::SaveGameFile(const std::string& path, std::string& error) const {
  return SaveGame(path, game_, error, SeatTakenOf(occupant_));
}

bool ServerTable::LoadGameFile(const std::string& path, std::string& error) {
  writer_.Flush();  // the file may be one this table writes
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

void ServerTable::UndoLastAction(ConnId requester) {
  // The ring must hold every snapshot taken so far, and know of any that
  // failed.
  WritePendingFiles();
  writer_.Drain();
  const Connection* c = connections_.Find(requester);
  const std::string who = c ? c->handle : config_.handle;
  std::string error;
  if (!undo_->UndoLastAction(game_, error)) {
    if (!c)
      AddPaneLine(error);
    else
      SendTextTo(requester, error);
    return;
  }
  ui_.HideDecisionDialogs();
  ReannounceAfterLoad();
  BroadcastText("Last action undone [" + who + "]");
}

bool ServerTable::WriteHandRecordsFile(const std::string& path, std::string& error,
                                       int64_t utcTime) const {
  HandRecordsContext context;
  for (int s = 0; s < 4; ++s) context.seatHandles[static_cast<std::size_t>(s)] = SeatHandle(s);
  context.utcTime = utcTime >= 0 ? utcTime : static_cast<int64_t>(std::time(nullptr));
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
    if (!overLimit) {
      transport_.Close(conn, CloseMode::Graceful);
      FinishInput();
      return;
    }
  }
  Connection* c = connections_.Add(conn, transport_.NowMs());
  if (!c) {
    transport_.Close(conn, CloseMode::Graceful);
    FinishInput();
    return;
  }
  // Nobody else hears of a connection until it joins; it learns the seats
  // then too.
  c->mustSit = overLimit;
  c->address = transport_.PeerAddress(conn);
  ui_.RedrawTable();
  FinishInput();
}

bool ServerTable::MakeRoom() {
  const ConnId idle = IdleConnectionToEvict(connections_, occupant_, transport_.NowMs());
  if (idle == NoConn) return false;
  Drop(idle, CloseMode::Graceful);
  return !connections_.full();
}

void ServerTable::OnWritable(ConnId conn) { SendTo(conn, MakeIdle()); }

void ServerTable::OnRead(ConnId conn, std::span<const uint8_t> bytes) {
  Connection* c = connections_.Find(conn);
  if (!c) return;
  // The reader is taken out while it cuts: a frame's handling may end this
  // connection or others, and the frame's bytes stay where they are until
  // the handling is done. It goes back if the connection is still there.
  FrameReader reader = c->reader;
  const FrameReader::Status status =
      reader.Feed(bytes, [this, conn](int type, std::span<const uint8_t> payload) {
        Dispatch(conn, type, payload);
        return connections_.Find(conn) != nullptr;
      });
  c = connections_.Find(conn);
  if (!c) return;
  c->reader = reader;
  if (status == FrameReader::Status::BadGreeting) {
    Refuse(conn);
  } else if (status == FrameReader::Status::BadLength) {
    // A peer that breaks the framing loses its connection, as a leave.
    Drop(conn, CloseMode::Abortive);
  }
  FinishInput();
}

void ServerTable::OnClosed(ConnId conn) {
  const Connection* c = connections_.Find(conn);
  if (!c) return;
  if (c->joined)
    Leave(conn, CloseMode::Abortive, false);
  else
    connections_.Remove(conn, occupant_);
  FinishInput();
}

void ServerTable::OnSocketError(ConnId conn, const SocketError& error) {
  (void)conn;
  AddPaneLine(SocketErrorLine(error));
}

void ServerTable::OnTick() {
  // Connections that have not greeted and joined in time are refused, so
  // idle sockets cannot hold the table's places.
  const int64_t now = transport_.NowMs();
  std::vector<ConnId> late, unseated;
  for (Connection& c : connections_.all()) {
    // One let in over the limit that has not sat by then goes too, unless
    // others have left since and it is within the limit.
    if (connections_.count() <= MaxConnections) c.mustSit = false;
    if (now - c.acceptedAtMs < GreetingDeadlineMs) continue;
    if (!c.joined)
      late.push_back(c.conn);
    else if (c.mustSit)
      unseated.push_back(c.conn);
  }
  for (ConnId conn : late) Refuse(conn);
  for (ConnId conn : unseated)
    if (connections_.count() > MaxConnections) Leave(conn, CloseMode::Graceful, true);
  if (const std::string summary = joinLines_.Summary(now); !summary.empty()) BroadcastText(summary);
  FinishInput();
}

void ServerTable::Refuse(ConnId conn) {
  const Connection* c = connections_.Find(conn);
  if (!c) return;
  const int seat = SeatOf(occupant_, conn);
  if (seat >= 0) Raise(SeatingEvent::Kind::StoodUp, *c, seat);
  if (c->joined) Raise(SeatingEvent::Kind::Left, *c);
  transport_.Close(conn, CloseMode::Abortive);
  connections_.Remove(conn, occupant_);
}

void ServerTable::Drop(ConnId conn, CloseMode mode) {
  const Connection* c = connections_.Find(conn);
  if (c && c->joined)
    Leave(conn, mode, true);
  else
    Refuse(conn);
}

void ServerTable::Leave(ConnId conn, CloseMode mode, bool closeSocket) {
  const Connection* c = connections_.Find(conn);
  if (!c) return;
  const std::string handle = c->handle;
  const std::string address = c->address;
  if (closeSocket) transport_.Close(conn, mode);
  bool suspended = false;
  const int seat = SeatOf(occupant_, conn);
  const bool seated = seat >= 0;
  if (seated) {
    Raise(SeatingEvent::Kind::StoodUp, *c, seat);
    const bool choosing = game_.phase == PhaseChoosing;
    suspended = SuspendGame(game_);
    if (choosing) ui_.HideDecisionDialogs();
  }
  Raise(SeatingEvent::Kind::Left, *c);
  connections_.Remove(conn, occupant_);
  // A seated player's leave is always told; a watcher's within the rate.
  if (seated || joinLines_.Announce(address, transport_.NowMs()))
    BroadcastText(handle + " has left the table");
  ui_.RedrawTable();
  if (suspended) {
    SendStatus(game_);
    BroadcastText("Game suspended");
  }
  if (seat >= 0) Broadcast(MakeSeatInfo(seat, false, {}));
}

void ServerTable::RemoveConnection(int seat) {
  if (seat < 0 || seat > 3) return;
  const ConnId o = occupant_[static_cast<std::size_t>(seat)];
  if (!connections_.Find(o)) return;
  Leave(o, CloseMode::Graceful, true);
  FinishInput();
}

void ServerTable::SeatConnection(ConnId conn, int seat) {
  HandleSitRequest(conn, seat);
  FinishInput();
}

void ServerTable::HandleJoin(Connection& c, std::span<const uint8_t> payload) {
  c.handle = WithoutControlBytes(PayloadText(payload, MaxHandleLength));
  c.joined = true;
  Raise(SeatingEvent::Kind::Joined, c);
  const ConnId conn = c.conn;
  const std::string line = c.handle + " has joined the table";
  if (joinLines_.Announce(c.address, transport_.NowMs()))
    BroadcastText(line);
  else
    SendTextTo(conn, line);
  // Someone who comes after the end still learns where its replay is.
  if (!endedGameLine_.empty() && game_.phase == PhaseGameOver) SendTextTo(conn, endedGameLine_);
  // What the newcomer needs to choose a seat; the others' view of the
  // seats has not changed.
  for (int seat = 0; seat < 4; ++seat) SendTo(conn, SeatInfoFrame(seat));
}

// Chat lines and resend requests beyond the connection's rate are ignored;
// the first time, the sender is told why.
void ServerTable::HandleChat(Connection& c, std::span<const uint8_t> payload) {
  if (!c.chatLines.Take(transport_.NowMs())) {
    if (!c.chatLines.told()) {
      c.chatLines.setTold();
      SendTextTo(c.conn, "Too many chat lines: the rest are ignored");
    }
    return;
  }
  // A relayed line always names its real sender.
  const std::string prefix = ChatPrefix(c.handle);
  std::string line = WithoutControlBytes(PayloadText(payload, payload.size()));
  if (line.compare(0, prefix.size(), prefix) != 0) {
    line = prefix + line;
    if (line.size() > MaxTextLength) line.resize(MaxTextLength);
  }
  BroadcastText(line);
}

void ServerTable::HandleSitRequest(ConnId conn, int seat) {
  if (!MayRequestSeat(connections_, occupant_, conn, seat)) return;
  if (occupant_[static_cast<std::size_t>(seat)] == EmptySeat) {
    occupant_[static_cast<std::size_t>(seat)] = conn;
    const Connection& c = *connections_.Find(conn);
    Raise(SeatingEvent::Kind::Seated, c, seat);
    const std::string handle = c.handle;
    BroadcastText(handle + " is sitting " + SeatName(seat));
    SendTo(conn, MakeSeatGranted(seat));
    Broadcast(MakeSeatInfo(seat, true, handle));
    ui_.RedrawTable();
    // A player let in over the limit has sat: the watcher silent longest
    // gives up its slot.
    if (Connection* sat = connections_.Find(conn); sat && sat->mustSit) {
      sat->mustSit = false;
      const ConnId watcher = LongestSilentWatcher(connections_, occupant_);
      if (connections_.count() > MaxConnections && watcher != NoConn) Drop(watcher, CloseMode::Graceful);
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

void ServerTable::Dispatch(ConnId conn, int type, std::span<const uint8_t> payload) {
  DispatchFrame(conn, type, payload);
  FinishInput();
}

void ServerTable::DispatchFrame(ConnId conn, int type, std::span<const uint8_t> payload) {
  Connection* c = connections_.Find(conn);
  if (!c) return;
  // Keep-alives are no sign of a person: a crowd sending only them stays idle.
  if (type != MsgIdle) c->lastHeardMs = transport_.NowMs();
  if (type < MsgJoin || type > MsgScoreDelete) return;
  // Until a connection has joined, only its MsgJoin counts; a second
  // MsgJoin changes nothing.
  if (!c->joined) {
    if (type == MsgJoin) HandleJoin(*c, payload);
    return;
  }
  switch (type) {
    case MsgChat:
      HandleChat(*c, payload);
      break;
    case MsgSitRequest:
      if (!payload.empty()) HandleSitRequest(conn, payload[0]);
      break;
    case MsgContractChosen:
    case MsgDoubleChosen:
      if (!payload.empty() && MayDecide(game_, occupant_, conn, type, payload[0]))
        ApplyDecision(game_, *this, payload[0]);
      break;
    case MsgPlayCard:
      if (!payload.empty()) {
        const int seat = SeatOf(occupant_, conn);
        if (seat >= 0) PlayCard(game_, *this, seat, payload[0]);
      }
      break;
    case MsgResendAll:
      if (c->resends.Take(transport_.NowMs())) {
        ReplyResendAll();
      } else if (!c->resends.told()) {
        c->resends.setTold();
        SendTextTo(conn, "Too many resend requests: the rest are ignored");
      }
      break;
    case MsgUndoRequest:
      if (MayRequestUndo(occupant_, conn)) UndoLastAction(conn);
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
  UndoLastAction(NoConn);
  FinishInput();
}

}  // namespace zelbo
