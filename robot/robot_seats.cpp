#include "robot/robot_seats.h"

#include "engine/cards.h"

namespace zelbo {

std::vector<int> SeatsForRobots(int count, const std::array<bool, 4>& taken) {
  std::vector<int> seats;
  for (int seat : {West, North, East, South}) {
    if (static_cast<int>(seats.size()) >= count) break;
    if (!taken[static_cast<std::size_t>(seat)]) seats.push_back(seat);
  }
  return seats;
}

std::string RobotHandle(int seat) { return std::string("Robot ") + SeatName(seat); }

bool IsRobotHandle(std::string_view handle) {
  for (int seat = 0; seat < 4; ++seat)
    if (handle == RobotHandle(seat)) return true;
  return false;
}

}  // namespace zelbo
