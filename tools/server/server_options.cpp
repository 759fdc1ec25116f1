#include "tools/server/server_options.h"

#include "tools/cli_options.h"

namespace zelbo {

std::string ServerUsage() {
  return "usage: zelbowin-server [options]\n"
         "Hosts a Zelbo table without a window; four players connect and sit.\n"
         "  --port N     port to listen on, every IPv4 interface (default " + std::to_string(DefaultPort) + "; 0 picks one)\n"
         "  --seed N     random seed of the deals (default 0: from the clock); with\n"
         "               --lobby, each new table's seed is made from N and its number\n"
         "  --dir DIR    folder for the autosave, undo and hand-records files\n"
         "               (default: the current directory)\n"
         "  --load FILE  start from a saved game, suspended until the table is full\n"
         "  --resume     continue the unfinished game autosaved in DIR, if there is one;\n"
         "               a new table otherwise (a corrupt autosave is kept, and the new\n"
         "               table autosaves beside it to temp-1.zelbo, temp-2.zelbo, ...)\n"
         "  --robots N   robot players take N empty seats (West, North, East, South)\n"
         "  --robot-level L  the robots' level: " + RobotLevelChoices(" (default)") + "\n"
         "  --robot-takeover S  when a seat of a running game has been empty S seconds,\n"
         "               a robot plays it until its player comes back (default 0: never)\n"
         "  --web N      also let browsers play: the web client and WebSocket\n"
         "               connections on port N, every IPv4 interface (0 picks one)\n"
         "  --web-origin URL  a page on URL (scheme, host and port, as the browser\n"
         "               shows it) may open the WebSocket too, e.g. a proxy's public\n"
         "               name; repeatable\n"
         "  --trusted-proxy ADDR  a proxy at ADDR: its X-Forwarded-For names the client\n"
         "               for the per-address limits; repeatable\n"
         "  --ping S     ping each browser's connection every S seconds (default 15)\n"
         "  --pong-timeout S  close a browser's connection that has not answered\n"
         "               a ping for S seconds (default 60)\n"
         "  --lobby      a club: many tables on one address, a lobby page at \"/\", each\n"
         "               table at /t/ID/ and an API at /api/tables; the TCP port is the\n"
         "               house table \"main\"; tables live in DIR/tables/ID/\n"
         "  --max-tables N  tables held in memory at most (default 1000)\n"
         "  --table-robots N  seats robots take at a new table opened with robots\n"
         "               (1 to 4; default 3, which leaves a seat for a person)\n"
         "  --robots-idle S  robots of an unfinished table nobody is at stop after S\n"
         "               seconds (default 60)\n"
         "  --unload-after S  such a table leaves memory after S seconds; its link loads\n"
         "               it again (default 600)\n"
         "  --close-over-after S  a finished table nobody is at closes after S seconds\n"
         "               (default 600)\n"
         "  --watchers-see-hands yes|no"
         "               whether connections without a seat see every hand (default yes)\n"
         "  --archive yes|no  keep every finished game in DIR/games.sqlite, for the\n"
         "               web door's /games pages (default yes)\n"
         "  --list-games print the archived games of DIR, a line each, newest first\n"
         "  --export-game ID  write archived game ID into the current folder, as\n"
         "               game-ID.zelbo and its hand records game-ID.txt\n"
         "  --help       show this text\n"
         "  --version    show the version\n";
}

bool ParseServerOptions(const std::vector<std::string>& args, ServerOptions& options,
                        std::string& error) {
  auto take = [&](const std::string& arg, const std::string& value, std::string& refusal) {
    unsigned long n = 0;
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--resume") {
      options.resume = true;
    } else if (arg == "--lobby") {
      options.lobby = true;
    } else if (arg == "--max-tables") {
      if (!ParseNumber(value, 100000, n) || n == 0)
        return Refuse(refusal, "--max-tables needs a number from 1 to 100000, not \"" + value + "\"");
      options.maxTables = static_cast<int>(n);
    } else if (arg == "--table-robots") {
      if (!ParseNumber(value, 4, n) || n == 0)
        return Refuse(refusal, "--table-robots needs a number from 1 to 4, not \"" + value + "\"");
      options.tableRobots = static_cast<int>(n);
    } else if (arg == "--robots-idle" || arg == "--unload-after" || arg == "--close-over-after") {
      if (!ParseNumber(value, 604800, n))
        return Refuse(refusal, arg + " needs seconds from 0 to 604800, not \"" + value + "\"");
      (arg == "--robots-idle" ? options.robotsIdleSeconds
       : arg == "--unload-after" ? options.unloadSeconds
                                 : options.closeOverSeconds) = static_cast<int>(n);
    } else if (arg == "--port") {
      if (!ParseNumber(value, 65535, n))
        return Refuse(refusal, "--port needs a number from 0 to 65535, not \"" + value + "\"");
      options.port = static_cast<uint16_t>(n);
    } else if (arg == "--seed") {
      if (!ParseNumber(value, 4294967295UL, n))
        return Refuse(refusal, "--seed needs a number from 0 to 4294967295, not \"" + value + "\"");
      options.seed = static_cast<uint32_t>(n);
    } else if (arg == "--dir") {
      if (value.empty()) return Refuse(refusal, "--dir needs a folder");
      options.dir = value;
    } else if (arg == "--robots") {
      if (!ParseNumber(value, 4, n))
        return Refuse(refusal, "--robots needs a number from 0 to 4, not \"" + value + "\"");
      options.robots = static_cast<int>(n);
    } else if (arg == "--robot-level") {
      if (!ParseRobotLevel(value, options.robotLevel))
        return Refuse(refusal, "--robot-level needs " + RobotLevelChoices() + ", not \"" + value + "\"");
    } else if (arg == "--robot-takeover") {
      if (!ParseNumber(value, 86400, n))
        return Refuse(refusal, "--robot-takeover needs seconds from 0 to 86400, not \"" + value + "\"");
      options.takeoverSeconds = static_cast<int>(n);
    } else if (arg == "--web") {
      if (!ParseNumber(value, 65535, n))
        return Refuse(refusal, "--web needs a number from 0 to 65535, not \"" + value + "\"");
      options.web = static_cast<int>(n);
    } else if (arg == "--web-origin") {
      if (value.rfind("http://", 0) != 0 && value.rfind("https://", 0) != 0)
        return Refuse(refusal, "--web-origin needs an http:// or https:// address, not \"" + value + "\"");
      options.webOrigins.push_back(value);
    } else if (arg == "--trusted-proxy") {
      if (value.empty()) return Refuse(refusal, "--trusted-proxy needs an address");
      options.trustedProxies.push_back(value);
    } else if (arg == "--ping" || arg == "--pong-timeout") {
      if (!ParseNumber(value, 3600, n) || n == 0)
        return Refuse(refusal, arg + " needs seconds from 1 to 3600, not \"" + value + "\"");
      (arg == "--ping" ? options.pingSeconds : options.pongTimeoutSeconds) = static_cast<int>(n);
    } else if (arg == "--archive") {
      if (value != "yes" && value != "no")
        return Refuse(refusal, "--archive needs yes or no, not \"" + value + "\"");
      options.archive = value == "yes";
    } else if (arg == "--list-games") {
      options.listGames = true;
    } else if (arg == "--export-game") {
      if (!ParseNumber(value, 9007199254740991UL, n) || n == 0)
        return Refuse(refusal, "--export-game needs a game number, not \"" + value + "\"");
      options.exportGame = static_cast<long long>(n);
    } else if (arg == "--watchers-see-hands") {
      if (value != "yes" && value != "no")
        return Refuse(refusal, "--watchers-see-hands needs yes or no, not \"" + value + "\"");
      options.watchersSeeHands = value == "yes";
    } else {
      options.load = value;
    }
    return true;
  };
  if (!ParseOptionList(args, {"--help", "-h", "--version", "--resume", "--lobby", "--list-games"},
                       {"--port", "--seed", "--dir", "--load", "--robots", "--robot-level",
                        "--robot-takeover", "--web", "--web-origin", "--trusted-proxy",
                        "--watchers-see-hands", "--ping", "--pong-timeout",
                        "--max-tables", "--table-robots", "--robots-idle", "--unload-after",
                        "--close-over-after", "--archive", "--export-game"},
                       take, error))
    return false;
  if (options.resume && !options.load.empty()) {
    error = "--resume and --load cannot be used together";
    return false;
  }
  return true;
}

}  // namespace zelbo
