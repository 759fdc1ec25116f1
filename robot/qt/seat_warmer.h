// SeatWarmer: keeps the empty seats of a running game warm. It looks at the
// server's table every tenth of a second and does what the TakeoverPolicy
// says: a robot sits in a seat that its player left long enough ago, and
// when that player joins again with the same handle the robot stands up at
// once and the player gets the seat back. The message pane says each time.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <array>
#include <memory>

#include "net/server_table.h"
#include "net/takeover_policy.h"
#include "robot/qt/robot_runner.h"
#include "robot/robot_level.h"

namespace zelbo {

class SeatWarmer : public QObject {
 public:
  SeatWarmer(ServerTable& server, int delaySeconds, RobotLevel level, QObject* parent = nullptr);
  ~SeatWarmer() override;

  // One look at the table (the timer calls it).
  void Check();
  // Moves sent by every robot this warmer has run, also those gone.
  long MovesSent() const;
  // The robot in `seat`, or null.
  const RobotRunner* Robot(int seat) const { return robots_[static_cast<std::size_t>(seat & 3)].get(); }

 private:
  void DropRobot(int seat);
  TableSnapshot Snapshot() const;

  ServerTable& server_;
  RobotLevel level_;
  TakeoverPolicy policy_;
  QTimer timer_;
  QElapsedTimer clock_;
  std::array<std::unique_ptr<RobotRunner>, 4> robots_;
  long movesOfRobotsGone_ = 0;
};

}  // namespace zelbo
