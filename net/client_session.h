// ClientSession: the client role. It connects to a server, sends the
// greeting and MsgJoin, keeps a mirror of the server's GameState filled
// from the frames it receives, and sends the local user's actions. The
// desktop window and the robot players both sit on top of it through
// ClientUi; a robot can decide from Game() alone (the engine's rule
// queries work on the mirror).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/game_state.h"
#include "net/frames.h"
#include "net/message_pane.h"
#include "net/table_screen.h"
#include "net/transport.h"

namespace zelbo {

// What the client's screen (or a robot) does. Every method has a default
// that does nothing.
class ClientUi : public TableScreen {
 public:
  // The server asks the local user, the dealer, to pick a contract; the
  // offered kinds are in g.offeredContracts (and the dealer's row of
  // g.contractsLeft).
  virtual void PromptContract(const GameState& g) { (void)g; }
  // The server asks the local user to decide on doubles; g.forcedDouble
  // says whether the dealer must be doubled.
  virtual void PromptDoubling(const GameState& g) { (void)g; }
  // The connection is gone ("Connection closed"); the session can connect
  // again.
  virtual void ConnectionClosed() {}
  // A frame from the server has taken effect (after any of the calls above).
  // The server ends each of its broadcast sequences after a card or a
  // decision with MsgTurn, so a player can act on MsgTurn knowing that the
  // mirror is complete; after a resume the sequence ends with MsgStatus.
  virtual void FrameHandled(int type, const GameState& g) { (void)type, (void)g; }
};

class ClientSession : public TransportEvents {
 public:
  // The handle is cut to 31 characters. The transport and the UI must
  // outlive the session, which makes itself the transport's event sink.
  ClientSession(Transport& transport, ClientUi& ui, std::string handle);
  ~ClientSession() override;
  ClientSession(const ClientSession&) = delete;
  ClientSession& operator=(const ClientSession&) = delete;

  // ConnectToServer: `host` is a dotted IPv4 address or a host name.
  // Shows "Searching for server..."; does nothing while already a client.
  void Connect(const std::string& host, uint16_t port = DefaultPort);
  // Closes the connection as if the server had gone ("Connection closed").
  void Disconnect();

  bool IsClient() const { return isClient_; }
  const std::string& Handle() const { return handle_; }
  const GameState& Game() const { return game_; }
  Position LocalPosition() const { return localPosition_; }
  bool IsSeated() const { return zelbo::IsSeated(localPosition_); }
  // The last position the server granted or the user chose; it outlives a
  // lost connection (Rejoin asks for it again) but not Disconnect.
  Position LastPosition() const { return lastPosition_; }
  // What the server said of a seat; empty and not taken for a value that
  // is no seat.
  const std::string& SeatHandle(int seat) const;
  bool SeatTaken(int seat) const { return IsSeat(seat) && seatTaken_[static_cast<std::size_t>(seat)] != 0; }
  const MessagePane& Pane() const { return pane_; }

  // The local user's commands. Each does nothing unless the role and the
  // position allow it.
  void RequestSeat(int seat);           // only without a position
  void StartKibitzing(int seat);        // 0..3, or 4 for everyone
  void SendContractChosen(int code);    // only in PhaseChoosing
  void SendDoubleChosen(int bits);      // only in PhaseChoosing
  void PlayCard(int card);              // own seat's turn in phases 2 and 6
  void SendChat(std::string_view text); // cut into prefixed lines
  void SendResendAll();
  void RequestUndo();                   // only seated West, North or East
  // Back after a lost connection: asks for LastPosition() again, the seat
  // or the same view. Only without a position; nothing when there is none.
  void Rejoin();

  // Handles one complete frame from the server; public for tests.
  void Dispatch(int type, std::span<const uint8_t> payload);

  // TransportEvents
  void OnConnected(ConnId conn) override;
  void OnWritable(ConnId conn) override;
  void OnRead(ConnId conn, std::span<const uint8_t> bytes) override;
  void OnClosed(ConnId conn) override;
  void OnSocketError(ConnId conn, const SocketError& error) override;

 private:
  void AddPaneLine(std::string_view line);
  void SendGreetingAndJoin();
  void Send(const Frame& frame);
  void ResetConnection();  // the close handling: "Connection closed", no position

  // One per frame type a client receives; each applies a valid payload.
  void ApplyText(std::span<const uint8_t> p);
  void ApplySeatGranted(std::span<const uint8_t> p);
  void ApplyStatus(std::span<const uint8_t> p);
  void ApplySeatInfo(std::span<const uint8_t> p);
  void ApplyHand(std::span<const uint8_t> p);
  void ApplyContract(std::span<const uint8_t> p);
  void ApplyChooseContract(std::span<const uint8_t> p);
  void ApplyTurn(std::span<const uint8_t> p);
  void ApplyDealDecision(std::span<const uint8_t> p);
  void ApplyDoubleFactors(std::span<const uint8_t> p);
  void ApplyDoublePrompt(std::span<const uint8_t> p);
  void ApplyTableCards(std::span<const uint8_t> p);
  void ApplyTally(std::span<const uint8_t> p);
  void ApplyDoublesOwed(std::span<const uint8_t> p);
  void ApplyScoreClear(std::span<const uint8_t> p);
  void ApplyScoreLine(std::span<const uint8_t> p);
  void ApplyScoreDelete(std::span<const uint8_t> p);

  Transport& transport_;
  ClientUi& ui_;
  std::string handle_;
  GameState game_;
  void SetPosition(Position p);
  Position localPosition_ = NoPosition;
  Position lastPosition_ = NoPosition;
  std::array<std::string, 4> seatHandles_;
  std::array<uint8_t, 4> seatTaken_{};
  MessagePane pane_;
  std::string host_;
  ConnId conn_ = NoConn;
  bool isClient_ = false;
  bool greetingSent_ = false;
  // Frames of commands given while the connection was still being made;
  // they follow the greeting and MsgJoin.
  std::vector<uint8_t> early_;
  FrameReader reader_{false};
};

}  // namespace zelbo
