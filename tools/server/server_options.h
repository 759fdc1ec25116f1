// Command line of zelbowin-server.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/frames.h"
#include "robot/robot_level.h"

namespace zelbo {

struct ServerOptions {
  uint16_t port = DefaultPort;     // --port N (0: any free port)
  uint32_t seed = 0;        // --seed N (0: from the clock)
  std::string dir = ".";    // --dir DIR: autosave, undo and hand-records files
  std::string load;         // --load FILE: start from a saved game
  bool help = false;        // --help
  bool version = false;     // --version
  bool resume = false;      // --resume: continue the unfinished autosave in --dir
  bool watchersSeeHands = true;  // --watchers-see-hands yes|no
  // Options that other parts of the program add go here (robot players).
  int robots = 0;           // --robots N: robot players take N empty seats (0..4)
  RobotLevel robotLevel = DefaultRobotLevel;  // --robot-level L
  int takeoverSeconds = 0;  // --robot-takeover S: a robot keeps a seat warm after S seconds (0: never)
  int web = -1;             // --web N: port for browsers (-1: none; 0 picks one)
  std::vector<std::string> webOrigins;      // --web-origin URL, repeatable
  std::vector<std::string> trustedProxies;  // --trusted-proxy ADDR, repeatable
  int pingSeconds = 15;          // --ping S: a browser's connection is pinged this often
  int pongTimeoutSeconds = 60;   // --pong-timeout S: and closed when it has not answered for this long
  bool archive = true;      // --archive yes|no: keep finished games in DIR/games.sqlite
  bool listGames = false;   // --list-games: print the archive and end
  long long exportGame = 0; // --export-game ID: write an archived game here and end
  // A club: many tables behind a lobby (see Club).
  bool lobby = false;       // --lobby
  int maxTables = 1000;     // --max-tables N
  int tableRobots = 3;      // --table-robots N: robots at each new table that asks for them (1..4)
  int robotsIdleSeconds = 60;     // --robots-idle S: robots of a table nobody plays at stop
  int unloadSeconds = 600;        // --unload-after S: such a table leaves memory
  int closeOverSeconds = 600;     // --close-over-after S: a finished table nobody is at closes
};

// Parses argv[1..]. On a bad option returns false with a message in `error`.
bool ParseServerOptions(const std::vector<std::string>& args, ServerOptions& options,
                        std::string& error);

// The --help text.
std::string ServerUsage();

}  // namespace zelbo
