// Command line of zelbowin-robot.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/frames.h"
#include "robot/robot_level.h"

namespace zelbo {

struct RobotOptions {
  std::string host = "127.0.0.1";
  uint16_t port = DefaultPort;
  std::string handle = "Robot";
  int seat = -1;  // -1: the first empty seat
  bool reconnect = false;
  RobotLevel level = DefaultRobotLevel;
  bool help = false;
  bool version = false;
};

std::string RobotUsage();
// Fills `options`; on a bad argument returns false with `error` set.
bool ParseRobotOptions(const std::vector<std::string>& args, RobotOptions& options,
                       std::string& error);
// "south", "west", "north", "east" (any case) to 0..3; -1 otherwise.
int SeatFromName(const std::string& name);

}  // namespace zelbo
