// RobotTable: the robots a server program runs in its own process to fill
// empty seats. Each is an ordinary client on its own loopback connection to
// the server's port, so it knows only what any seated client knows.
#pragma once

#include <memory>
#include <vector>

#include "net/server_table.h"
#include "robot/qt/robot_runner.h"
#include "robot/robot_level.h"

namespace zelbo {

class RobotTable {
 public:
  // Starts robots for up to `count` seats that are empty at `server`, in
  // the order West, North, East, South. A robot of this table whose seat is
  // empty is replaced. With `reconnect` a robot whose connection drops comes
  // back to its seat by itself. New robots play at `level`. Returns the
  // number of robots started.
  int Fill(const ServerTable& server, int count, bool reconnect = false,
           RobotLevel level = DefaultRobotLevel);
  // Stops every robot (their connections close).
  void Clear() { robots_.clear(); }
  // Robots still running.
  int Count() const { return static_cast<int>(robots_.size()); }
  const RobotRunner& Robot(int i) const { return *robots_[static_cast<std::size_t>(i)].runner; }

 private:
  struct Entry {
    int seat = -1;
    std::unique_ptr<RobotRunner> runner;
  };
  std::vector<Entry> robots_;
};

}  // namespace zelbo
