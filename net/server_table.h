// ServerTable: the server role. It owns the authoritative GameState, the
// connection table and the seating, runs the engine for the local user and
// for the clients' frames, and is the engine's host: every broadcast,
// prompt, undo snapshot, autosave and the game-over question go through it.
// A desktop window or the headless server plugs in through ServerUi; the
// sockets come through a Transport.
#pragma once

#include <array>
#include <cstdint>
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
  // and autosave are written as soon as this returns.
  virtual void ActionFramesSent() {}
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
};

class ServerTable : public EngineHost, public TransportEvents {
 public:
  // The transport and the UI must outlive the table. The table makes itself
  // the transport's event sink.
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
  void SeatConnection(int slot, int seat) { HandleSitRequest(slot, seat); }

  // Files, in the records' shape: false with a readable reason in `error`
  // when the file cannot be used, and the game untouched (a refused load
  // also shows the reason in the pane).
  bool LoadGameFile(const std::string& path, std::string& error);
  bool SaveGameFile(const std::string& path, std::string& error) const;
  bool WriteHandRecordsFile(const std::string& path, std::string& error) const;
  // Name of the autosave file inside the folder.
  std::string AutosavePath() const;

  // Adds a line to the local pane only.
  void AddPaneLine(std::string_view line);
  // Shows the line locally and sends it (cut to 124) to every connection.
  void BroadcastText(std::string_view text);
  // Sends the line (cut to 124) to one slot only.
  void SendTextTo(int slot, std::string_view text);

  // Handles one complete frame from `slot`; public for tests. The frames it
  // causes are flushed to the sockets before the action's undo snapshot
  // and autosave are written, both before it returns.
  void Dispatch(int slot, int type, std::span<const uint8_t> payload);

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
  void SendTo(int slot, const Frame& frame);
  Frame SeatInfoFrame(int seat) const;
  // After every input: frames out first, then the files the action asked
  // for, then the connections that could not keep up are closed.
  void FinishInput();
  void WritePendingFiles();
  void CloseOverflowed();
  // At a full table: frees a slot held by an idle watcher, if any.
  bool MakeRoom();
  // Closes a slot to free it: a leave when it has joined, else a refusal.
  void EvictSlot(int slot);
  void SendStateUpToScoreSheet();
  void SendWholeState();
  void ReplyResendAll();
  void DispatchFrame(int slot, int type, std::span<const uint8_t> payload);
  void HandleJoin(int slot, std::span<const uint8_t> payload);
  void HandleChat(int slot, std::span<const uint8_t> payload);
  void HandleSitRequest(int slot, int seat);
  void StartOrResumeWhenFull();
  void UndoLastAction(int requester);
  void ReannounceAfterLoad();
  // Removes the slot of a connection that leaves: the line, the
  // suspension of a game it played in, and its seat's info.
  void LeaveSlot(int slot, CloseMode mode, bool closeSocket);
  void RefuseSlot(int slot);

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
  bool listening_ = false;
  // Files an action asked for, written once its frames are out.
  std::vector<GameState> pendingSnapshots_;
  std::optional<GameState> pendingSave_;
  JoinLines joinLines_;
};

}  // namespace zelbo
