#include "robot/qt/robot_table.h"

#include <algorithm>
#include <array>

#include "robot/robot_seats.h"

namespace zelbo {

int RobotTable::Fill(const ServerTable& server, int count, bool reconnect) {
  // A robot whose connection is gone for good (removed from its seat) has
  // left the table; its seat may be filled anew.
  std::erase_if(robots_, [](const Entry& e) { return e.runner->Client().Finished(); });
  std::array<bool, 4> taken{};
  for (std::size_t s = 0; s < 4; ++s) taken[s] = server.Occupants()[s] != EmptySeat;
  for (const Entry& e : robots_) taken[static_cast<std::size_t>(e.seat)] = true;
  int started = 0;
  for (int seat : SeatsForRobots(count, taken)) {
    Entry e;
    e.seat = seat;
    e.runner = std::make_unique<RobotRunner>(RobotConfig{RobotHandle(seat), seat, reconnect});
    e.runner->Start("127.0.0.1", server.Port());
    robots_.push_back(std::move(e));
    ++started;
  }
  return started;
}

}  // namespace zelbo
