// The local user's settings: what the Setup dialog edits and the stored
// settings keep between runs. One record per program window, so a server and
// several clients can live in one process.
#pragma once

#include <cstdint>
#include <string>

namespace zelbo {

constexpr int StartModeNone = 1;
constexpr int StartModeClient = 2;
constexpr int StartModeServer = 3;

constexpr int32_t InitialPort = 2118;  // the port of a fresh start
constexpr std::size_t MaxServerAddress = 255;  // characters
constexpr std::size_t MaxHandle = 31;          // characters

// The handle with which a server occupies no seat (exact bytes).
inline constexpr const char* NonplayingHandle = "nonplaying server";
// The handle that unlocks the hidden Undo spot (any letter case).
inline constexpr const char* PrivilegedHandle = "plomk";

struct Settings {
  std::string ServerAddress;
  int32_t Port = InitialPort;
  std::string Handle;
  uint32_t randomSeed = 0;
  int32_t BackgroundRed = 230;
  int32_t BackgroundGreen = 230;
  int32_t BackgroundBlue = 230;
  int32_t CardSpacing = 16;
  int32_t StartMode = StartModeNone;
  bool Privileged = false;
  // Folder with 52 pictures 900.png .. 951.png that replace the drawn cards;
  // empty for the drawn ones.
  std::string CardFolder;
  // Robot players that take the empty seats (West, North, East, then South)
  // when this program starts a server: the command-line key robots=N.
  int32_t Robots = 0;
  // Port on which a server started by this program also lets browsers in
  // (the command-line key web=PORT); -1 for none.
  int32_t WebPort = -1;
};

// Cuts UTF-8 text to at most `bytes` bytes without splitting a character.
std::string CutUtf8(std::string_view text, std::size_t bytes);

// True when `handle` is the privileged handle, ignoring letter case.
bool IsPrivilegedHandle(std::string_view handle);

}  // namespace zelbo
