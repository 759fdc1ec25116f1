// The local user's settings: what the Setup dialog edits and the stored
// settings keep between runs. One record per program window, so a server and
// several clients can live in one process.
#pragma once

#include <cstdint>
#include <string>

#include "net/frames.h"
#include "robot/robot_level.h"

namespace zelbo {

constexpr int StartModeNone = 1;
constexpr int StartModeClient = 2;
constexpr int StartModeServer = 3;

constexpr int32_t InitialPort = DefaultPort;  // the port of a fresh start
constexpr std::size_t MaxServerAddress = 255;  // characters
constexpr int32_t MaxTakeoverSeconds = 86400;  // a day

// The handle that unlocks the hidden Undo spot (any letter case).
inline constexpr const char* PrivilegedHandle = "plomk";

struct Settings {
  std::string serverAddress;
  int32_t port = InitialPort;
  std::string handle;
  uint32_t randomSeed = 0;
  int32_t backgroundRed = 230;
  int32_t backgroundGreen = 230;
  int32_t backgroundBlue = 230;
  int32_t cardSpacing = 16;
  int32_t startMode = StartModeNone;
  bool privileged = false;
  // Folder with 52 pictures 900.png .. 951.png that replace the drawn cards;
  // empty for the drawn ones.
  std::string cardFolder;
  // Robot players that take the empty seats (West, North, East, then South)
  // when this program starts a server: the command-line key robots=N.
  int32_t robots = 0;
  // The level of the robots this program seats: the command-line key
  // robot-level=, the stored "Robot level", the choice in the Sit menu.
  RobotLevel robotPlayLevel = DefaultRobotLevel;
  // Seconds after which a robot keeps an empty seat of a running game warm
  // (0: never): the command-line key takeover=SECONDS.
  int32_t takeoverSeconds = 0;
  // Port on which a server started by this program also lets browsers in
  // (the command-line key web=PORT); -1 for none.
  int32_t webPort = -1;
};

// Cuts UTF-8 text to at most `bytes` bytes without splitting a character.
std::string CutUtf8(std::string_view text, std::size_t bytes);

// True when `handle` is the privileged handle, ignoring letter case.
bool IsPrivilegedHandle(std::string_view handle);

}  // namespace zelbo
