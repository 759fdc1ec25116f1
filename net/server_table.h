// ServerTable: the server role. It owns the authoritative GameState, the
// connection table and the seating, runs the engine for the local user and
// for the clients' frames, and is the engine's host: every broadcast,
// prompt, undo snapshot, autosave and the game-over question go through it.
// A desktop window or the headless server plugs in through ServerUi; the
// sockets come through a Transport.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/engine_host.h"
#include "engine/game_state.h"
#include "net/connection_table.h"
#include "net/frames.h"
#include "net/join_lines.h"
#include "net/message_pane.h"
#include "net/table_screen.h"
#include "net/transport.h"

namespace zelbo {

class Autosave;
class FileWriter;
class FinishedGameSink;
class UndoRing;

// What the server's own screen does besides what every table screen does.
// Every method has a default that does nothing, so a headless host
// overrides only what it needs.
class ServerUi : public TableScreen {
 public:
  // The local user (South) must pick a contract from g.offeredContracts.
  virtual void OpenPickGameDialog(const GameState& g) { (void)g; }
  // The local user (South) must decide on doubles; g.forcedDouble is set.
  virtual void OpenDoublingDialog(const GameState& g) { (void)g; }
  // The game has ended: ask about the hand records.
  virtual void GameOver(const GameState& g) { (void)g; }
  // An action's frames have been handed to the sockets; its undo snapshot
  // and autosave are handed to the writer as soon as this returns.
  virtual void ActionFramesSent() {}
};

// A change in who is at the table. Joined: a connection's MsgJoin was
// handled. Seated: it was given `seat`. StoodUp: it no longer holds `seat`
// (it left, or was removed). Left: a joined connection is gone. For each
// connection they come in that order, each at most once (StoodUp only
// after Seated, Left only after Joined), and always name the connection's
// own id.
struct SeatingEvent {
  enum class Kind { Joined, Seated, StoodUp, Left };
  Kind kind = Kind::Joined;
  ConnId conn = NoConn;
  int seat = -1;        // Seated and StoodUp
  std::string handle;
};

// Told of every seating event once the input that caused it has been
// handled (its frames are out and its files handed to the writer), in order. A listener
// may act on the table from there; what that causes is told next.
class SeatingListener {
 public:
  virtual ~SeatingListener() = default;
  virtual void OnSeatingEvent(const SeatingEvent& event) = 0;
};

struct ServerConfig {
  std::string handle;        // the local user's handle; "nonplaying server" for none
  std::string folder;        // where the autosave and undo files go; "" = current directory
  uint32_t randomSeed = 0;   // 0: seed the game from the clock
  bool autosave = true;      // write the autosave after every action
  bool undo = true;          // keep the four undo snapshots
  std::string autosaveName = "temp.zelbo";  // the autosave's file name inside `folder`
  // Connections without a seat see every hand open; false shows them the
  // hands masked, as a seated player sees the other seats.
  bool watchersSeeHands = true;
  // Takes the autosave and undo files once an action's frames are out, and
  // must outlive the table. nullptr: they are written at once, before the
  // action's handler returns.
  FileWriter* writer = nullptr;
};

class ServerTable : public EngineHost, public TransportEvents {
 public:
  // The transport and the UI must outlive the table. The table takes the
  // events of the transport it is given: a transport of its own, or its
  // link of a TableRouter that several tables share.
  ServerTable(Transport& transport, ServerUi& ui, ServerConfig config);
  ~ServerTable() override;
  ServerTable(const ServerTable&) = delete;
  ServerTable& operator=(const ServerTable&) = delete;

  // Starts listening on every IPv4 interface ("Serving..."). Port 0 picks a
  // free port. On failure returns false with "socket error N: reason" in
  // `error`, and the pane shows the same line.
  bool Start(uint16_t port, std::string& error);
  uint16_t Port() const;
  // Closes every connection and stops listening.
  void Stop();

  // State for painting, dialogs and tests.
  const GameState& Game() const { return game_; }
  int LocalPosition() const { return localPosition_; }
  const SeatOccupant& Occupants() const { return occupant_; }
  const ConnectionTable& Connections() const { return connections_; }
  const MessagePane& Pane() const { return pane_; }
  // The writer this table's files go through (a store may hand it jobs).
  FileWriter& Writer() { return writer_; }
  const ServerConfig& Config() const { return config_; }
  // Undo snapshots that can still be taken back (0..4).
  int UndoDepth() const;

  // Local user's actions. Each does nothing unless the rules allow it.
  void LocalContractChosen(int code);
  void LocalDoubleChosen(int bits);
  void LocalPlayCard(int card);
  void LocalUndo();                       // UndoLastAction for the local user
  void SendChat(std::string_view text);   // cut into prefixed lines, to all
  // Remove South/West/North/East: only for a seat held by a client.
  void RemoveConnection(int seat);
  // Seats a joined connection that holds no seat in an empty seat, as its
  // own request would (a player who comes back to the seat they left).
  void SeatConnection(ConnId conn, int seat);

  // Seating events go to every listener added (each must outlive the table
  // or be removed first).
  void AddSeatingListener(SeatingListener& listener);
  void RemoveSeatingListener(SeatingListener& listener);

  // Files, in the records' shape: false with a readable reason in `error`
  // when the file cannot be used, and the game untouched (a refused load
  // also shows the reason in the pane).
  bool LoadGameFile(const std::string& path, std::string& error);
  bool SaveGameFile(const std::string& path, std::string& error) const;
  // The records' header shows `utcTime` (seconds since 1970), or the
  // present time when it is negative.
  bool WriteHandRecordsFile(const std::string& path, std::string& error,
                            int64_t utcTime = -1) const;
  // Names of the autosave and undo files inside the folder.
  std::string AutosavePath() const;

  // Every game that reaches its end goes to `sink` (nullptr: none), named
  // as played at `tableName`. The sink must outlive the table or be unset.
  void SetFinishedGameSink(FinishedGameSink* sink, std::string tableName);
  // When the last game ended (seconds since 1970), 0 before any has.
  int64_t GameEndedAt() const { return gameEndedAt_; }

  // Adds a line to the local pane only.
  void AddPaneLine(std::string_view line);
  // Shows the line locally and sends it (cut to 124) to every connection.
  void BroadcastText(std::string_view text);
  // Sends the line (cut to 124) to one connection only.
  void SendTextTo(ConnId conn, std::string_view text);
  // Broadcasts a line about the game that just ended (where its replay
  // is), and tells it again to each who joins while that game stays over.
  void BroadcastEndedGameLine(std::string_view text);

  // Handles one complete frame from `conn`; public for tests. The frames it
  // causes are flushed to the sockets before the action's undo snapshot
  // and autosave are handed to the writer (and so written, without one,
  // before it returns).
  void Dispatch(ConnId conn, int type, std::span<const uint8_t> payload);

  // TransportEvents
  void OnAccepted(ConnId conn) override;
  void OnWritable(ConnId conn) override;
  void OnRead(ConnId conn, std::span<const uint8_t> bytes) override;
  void OnClosed(ConnId conn) override;
  void OnSocketError(ConnId conn, const SocketError& error) override;
  void OnTick() override;

  // EngineHost
  void SendStatus(const GameState& g) override;
  void SendHand(const GameState& g, int seat) override;
  void SendContract(const GameState& g) override;
  void SendTurn(const GameState& g) override;
  void SendDealDecision(const GameState& g) override;
  void SendDoubleFactors(const GameState& g) override;
  void SendTableCards(const GameState& g) override;
  void SendTally(const GameState& g) override;
  void SendDoublesOwed(const GameState& g) override;
  void SendScoreClear() override;
  void SendScoreLine(int index, std::string_view text) override;
  void SendScoreDelete(int index) override;
  void RedrawTable() override;
  void RequestContractChoice(const GameState& g) override;
  void RequestDoublingDecision(const GameState& g) override;
  void TakeUndoSnapshot(const GameState& g) override;
  void AutosaveGame(const GameState& g) override;
  void GameOver(const GameState& g) override;
  std::string SeatHandle(int seat) const override;

  // How long a new connection has to greet and join.
  static constexpr int64_t GreetingDeadlineMs = 10000;

 private:
  // Sending reaches joined connections only (SendTo also the others, for
  // what a new connection needs), never one whose queue has overflowed.
  void Broadcast(const Frame& frame);
  void SendTo(ConnId conn, const Frame& frame);
  void SendTo(Connection& c, const Frame& frame);
  Frame SeatInfoFrame(int seat) const;
  // After every input: frames out first, then the files the action asked
  // for, then the connections that could not keep up are closed, then the
  // seating events go out.
  void FinishInput();
  void Raise(SeatingEvent::Kind kind, const Connection& c, int seat = -1);
  void DeliverSeatingEvents();
  void WritePendingFiles();
  // The outcome of a file the writer took, for this table while it lives.
  std::function<void(bool, const std::string&)> WhenWritten(
      void (ServerTable::*handler)(bool ok, const std::string& error));
  void SnapshotWritten(bool ok, const std::string& error);
  void AutosaveWritten(bool ok, const std::string& error);
  void CloseOverflowed();
  // At a full table: frees the place of an idle watcher, if any.
  bool MakeRoom();
  void SendStateUpToScoreSheet();
  void SendWholeState();
  void ReplyResendAll();
  void DispatchFrame(ConnId conn, int type, std::span<const uint8_t> payload);
  void HandleJoin(Connection& c, std::span<const uint8_t> payload);
  void HandleChat(Connection& c, std::span<const uint8_t> payload);
  void HandleSitRequest(ConnId conn, int seat);
  void StartOrResumeWhenFull();
  void UndoLastAction(ConnId requester);
  void ReannounceAfterLoad();
  // A joined connection leaves: pane line, suspension, seat info. The
  // socket is closed with `mode` unless the peer closed it already.
  void Leave(ConnId conn, CloseMode mode, bool closeSocket);
  // A connection goes silently (one that never joined); so does any
  // connection when the table stops.
  void Refuse(ConnId conn);
  // Leave for a joined connection, Refuse for another.
  void Drop(ConnId conn, CloseMode mode);

  Transport& transport_;
  ServerUi& ui_;
  ServerConfig config_;
  GameState game_;
  ConnectionTable connections_;
  SeatOccupant occupant_{EmptySeat, EmptySeat, EmptySeat, EmptySeat};
  int localPosition_ = -1;
  MessagePane pane_;
  std::unique_ptr<UndoRing> undo_;
  std::unique_ptr<Autosave> autosave_;
  std::unique_ptr<FileWriter> ownWriter_;  // when the config names none
  FileWriter& writer_;
  // Outcomes of files handed over reach the table only while this lives.
  std::shared_ptr<ServerTable*> self_;
  bool snapshotsFailing_ = false;  // the last undo snapshot was not written
  bool listening_ = false;
  std::vector<SeatingListener*> listeners_;
  std::vector<SeatingEvent> events_;  // raised, not yet delivered
  bool delivering_ = false;
  // Files an action asked for, written once its frames are out.
  std::vector<GameState> pendingSnapshots_;
  std::optional<GameState> pendingSave_;
  JoinLines joinLines_;
  FinishedGameSink* finishedGames_ = nullptr;
  std::string tableName_;
  int64_t gameEndedAt_ = 0;
  std::string endedGameLine_;  // see BroadcastEndedGameLine
};

}  // namespace zelbo
