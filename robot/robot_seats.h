// Which empty seats robots take when a table is filled with them, and the
// handles they go by ("Robot West", ...).
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace zelbo {

// Up to `count` of the seats not `taken`, in the order West, North, East,
// South, so that a table with one person at South gets the other three.
std::vector<int> SeatsForRobots(int count, const std::array<bool, 4>& taken);

// "Robot West" for seat 1, ...
std::string RobotHandle(int seat);
// True for the handle of a robot of any seat.
bool IsRobotHandle(std::string_view handle);

}  // namespace zelbo
