// RobotClient: a robot player as an ordinary client. It drives a
// ClientSession over any Transport: greets and joins, sits (in the seat it
// was given or the first empty one), and answers every contract prompt,
// doubling prompt and turn of its seat with the strategy's choice, decided
// from the session's mirror alone. With `reconnect` it connects again after
// a lost connection and asks for the same seat.
//
// It stands between the transport and the session: every transport notice
// goes to the session first, and only when a whole chunk of frames has been
// taken in does the robot look at the mirror, and then only when the last
// frame of a server action has arrived (the turn, a prompt, or the status
// that ends a resume), so it never acts on half of an update.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "net/client_session.h"
#include "net/frames.h"
#include "net/transport.h"
#include "robot/robot_player.h"

namespace zelbo {

struct RobotConfig {
  RobotConfig(std::string handleText = "Robot", int seatWanted = -1, bool reconnectAfterLoss = false,
              RobotLevel playLevel = DefaultRobotLevel)
      : handle(std::move(handleText)), seat(seatWanted), reconnect(reconnectAfterLoss), level(playLevel) {}
  std::string handle;
  int seat;                // 0..3, or -1 for the first empty seat
  bool reconnect;          // keep trying after a lost connection
  RobotLevel level;
  LookAhead lookAhead;     // the strong robot's budget
};

class RobotClient : public ClientUi, public TransportEvents {
 public:
  using LineSink = std::function<void(std::string_view)>;

  // `printLine` receives every message-pane line (may be empty).
  RobotClient(Transport& transport, RobotConfig config, LineSink printLine = {});
  ~RobotClient() override;
  RobotClient(const RobotClient&) = delete;
  RobotClient& operator=(const RobotClient&) = delete;

  void Connect(const std::string& host, uint16_t port);
  // About once a second: reconnects when due, and asks the server to send
  // everything again when the robot's own move has hung for a while.
  void Tick();

  // The game has ended (PhaseGameOver seen while seated), or the connection
  // is gone and will not be tried again.
  bool Finished() const { return gameOver_ || closedForGood_; }
  bool GameOver() const { return gameOver_; }
  int Seat() const { return session_.IsSeated() ? ViewedSeat(session_.LocalPosition()) : -1; }
  const ClientSession& Session() const { return session_; }
  // Moves sent so far (contracts, doubling decisions, cards).
  long MovesSent() const { return movesSent_; }
  // Receives, for every card the robot plays, the microseconds from sending
  // it until the turn notice that answers it (for the bench).
  void SetCardTimer(std::function<void(double)> sink) { cardTimer_ = std::move(sink); }

  // ClientUi
  void PromptContract(const GameState& g) override;
  void PromptDoubling(const GameState& g) override;
  void HideDecisionDialogs() override;
  void PaneLineAdded(std::string_view line) override;
  void ConnectionClosed() override;
  void FrameHandled(int type, const GameState& g) override;

  // TransportEvents, passed on to the session
  void OnConnected(ConnId conn) override;
  void OnWritable(ConnId conn) override;
  void OnRead(ConnId conn, std::span<const uint8_t> bytes) override;
  void OnClosed(ConnId conn) override;
  void OnSocketError(ConnId conn, const SocketError& error) override;
  void OnTick() override;

 private:
  void Act();
  void TakeSeat();
  void PlayIfDue();
  bool HandConsistent(const GameState& g, int seat) const;

  Transport& transport_;
  RobotConfig config_;
  LineSink printLine_;
  ClientSession session_;
  RobotPlayer player_;
  std::string host_;
  uint16_t port_ = 0;

  int wantedSeat_ = -1;     // the configured seat to ask for (the session keeps the last one held)
  int seatAsked_ = -1;      // seat requested and not yet granted or refused
  bool seatInfoSeen_ = false;  // the server has told us who sits where
  bool contractDue_ = false;
  bool doublingDue_ = false;
  int lastGameFrame_ = -1;  // type of the last frame that changed the game
  bool turnNoticed_ = false;  // a turn or resume arrived since our last card
  bool gameOver_ = false;
  bool closedForGood_ = false;
  bool reconnectDue_ = false;
  int idleTicks_ = 0;        // ticks while our card move hung unanswered
  long movesSent_ = 0;
  std::function<void(double)> cardTimer_;
  std::chrono::steady_clock::time_point cardSentAt_;
  bool cardAwaitingTurn_ = false;
};

}  // namespace zelbo
