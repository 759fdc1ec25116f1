#include "robot/qt/robot_table.h"

#include <algorithm>
#include <array>

#include "robot/robot_seats.h"

namespace zelbo {

int RobotTable::Fill(const ServerTable& server, int count, bool reconnect, RobotLevel level) {
  // A robot keeps its place only while the server seats it. One whose seat
  // is empty was removed, lost its connection, or is still on its way; a
  // fresh robot takes over in each case (the old one's connection closes).
  std::erase_if(robots_, [&server](const Entry& e) {
    return e.runner->Client().Finished() ||
           server.Occupants()[static_cast<std::size_t>(e.seat)] == EmptySeat;
  });
  std::array<bool, 4> taken{};
  for (std::size_t s = 0; s < 4; ++s) taken[s] = server.Occupants()[s] != EmptySeat;
  for (const Entry& e : robots_) taken[static_cast<std::size_t>(e.seat)] = true;
  int started = 0;
  for (int seat : SeatsForRobots(count, taken)) {
    Entry e;
    e.seat = seat;
    e.runner = std::make_unique<RobotRunner>(RobotConfig{RobotHandle(seat), seat, reconnect, level});
    e.runner->Start("127.0.0.1", server.Port());
    robots_.push_back(std::move(e));
    ++started;
  }
  return started;
}

}  // namespace zelbo
