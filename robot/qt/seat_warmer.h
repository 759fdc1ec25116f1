// SeatWarmer: keeps the empty seats of a running game warm. It hears every
// seating event of the server's table and does what the TakeoverPolicy
// says: a robot sits in a seat that its player left long enough ago, and
// when that player joins again with the same handle the robot stands up at
// once and the player gets the seat back. The message pane says each time.
// Nothing is polled: besides the events, it looks again only when a seat's
// waiting time is up.
#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <array>
#include <memory>

#include "net/server_table.h"
#include "net/takeover_policy.h"
#include "robot/qt/robot_runner.h"
#include "robot/robot_level.h"

namespace zelbo {

class SeatWarmer : public QObject, public SeatingListener {
 public:
  SeatWarmer(ServerTable& server, int delaySeconds, RobotLevel level, QObject* parent = nullptr);
  ~SeatWarmer() override;

  // Moves sent by every robot this warmer has run, also those gone.
  long MovesSent() const;
  // The robot in `seat`, or null.
  const RobotRunner* Robot(int seat) const { return robots_[static_cast<std::size_t>(seat & 3)].get(); }

  void OnSeatingEvent(const SeatingEvent& event) override;

 private:
  // One look at the table, as it is now with `sat` (a Seated event) laid
  // over it: a sit that the same input undid still counts as a sit.
  void Check(const SeatingEvent* sat = nullptr);
  void DropRobot(int seat);
  TableSnapshot Snapshot() const;
  ConnId WaitingConnection(const std::string& handle) const;

  ServerTable& server_;
  RobotLevel level_;
  int64_t delayMs_;
  TakeoverPolicy policy_;
  QElapsedTimer clock_;
  std::array<std::unique_ptr<RobotRunner>, 4> robots_;
  long movesOfRobotsGone_ = 0;
};

}  // namespace zelbo
