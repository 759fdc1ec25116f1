// Menu command identifiers. The menu, the keyboard and tests all reach the
// main window's one command handler with these numbers.
#pragma once

#include <iterator>

#include "robot/robot_level.h"

namespace zelbo {

constexpr int CmdSetup = 250;
constexpr int CmdExit = 300;
constexpr int CmdSitWest = 301;
constexpr int CmdSitNorth = 302;
constexpr int CmdSitEast = 303;
constexpr int CmdShowScore = 304;
constexpr int CmdKibitzSouth = 305;
constexpr int CmdKibitzWest = 306;
constexpr int CmdKibitzNorth = 307;
constexpr int CmdKibitzEast = 308;
constexpr int CmdOpen = 309;
constexpr int CmdSave = 310;
constexpr int CmdSaveHandRecords = 311;
constexpr int CmdUndo = 312;
constexpr int CmdKibitzAll = 313;
constexpr int CmdPastGames = 314;
constexpr int CmdSitSouth = 320;
constexpr int CmdUnsit = 325;
constexpr int CmdFillRobots = 326;
// "Robots play ...": one command per row of RobotLevels, from 327 up.
constexpr int CmdRobotsFirst = 327;
constexpr int CmdRobotsLevel(RobotLevel level) { return CmdRobotsFirst + static_cast<int>(level); }
constexpr int CmdRemoveWest = 401;
constexpr int CmdRemoveNorth = 402;
constexpr int CmdRemoveEast = 403;
constexpr int CmdRemoveSouth = 420;
constexpr int CmdAbout = 500;

// The menu bar: popups left to right, each with its items.
struct MenuItem {
  const char* text;
  int id;
};
struct MenuPopup {
  const char* title;
  MenuItem items[12];
  int count;
};

// The Sit menu: the seats, then one entry per robot level.
constexpr MenuPopup SitMenu() {
  MenuPopup sit{"&Sit",
                {{"Sit &West", CmdSitWest},
                 {"Sit &North", CmdSitNorth},
                 {"Sit &East", CmdSitEast},
                 {"Sit &South", CmdSitSouth},
                 {"&Unsit", CmdUnsit},
                 {"Fill empty seats with &robots", CmdFillRobots}},
                6};
  for (const RobotLevelInfo& row : RobotLevels) sit.items[sit.count++] = {row.menuText, CmdRobotsLevel(row.level)};
  return sit;
}
static_assert(6 + std::size(RobotLevels) <= std::size(MenuPopup{}.items), "the Sit menu has room for every level");
static_assert(CmdRobotsFirst + std::size(RobotLevels) <= 400, "level commands stay clear of the Remove commands");

// The level a "Robots play ..." command chooses; nullptr for another command.
constexpr const RobotLevelInfo* LevelOfCommand(int id) {
  for (const RobotLevelInfo& row : RobotLevels)
    if (CmdRobotsLevel(row.level) == id) return &row;
  return nullptr;
}

inline constexpr MenuPopup MenuBar[] = {
    {"&File",
     {{"&Setup...", CmdSetup},
      {"&Open", CmdOpen},
      {"Sa&ve", CmdSave},
      {"Save &Hand Records", CmdSaveHandRecords},
      {"&Past games", CmdPastGames},
      {"E&xit", CmdExit}},
     6},
    {"&Remove",
     {{"Remove &West", CmdRemoveWest},
      {"Remove &North", CmdRemoveNorth},
      {"Remove &East", CmdRemoveEast},
      {"Remove &South", CmdRemoveSouth}},
     4},
    SitMenu(),
    {"&Kibbitz",
     {{"Kibbitz &South", CmdKibitzSouth},
      {"Kibbitz &West", CmdKibitzWest},
      {"Kibbitz &North", CmdKibitzNorth},
      {"Kibbitz &East", CmdKibitzEast},
      {"Kibbitz &All", CmdKibitzAll}},
     5},
    {"S&core", {{"&Show Score", CmdShowScore}}, 1},
    {"&Undo", {{"&Undo", CmdUndo}}, 1},
    {"&Help", {{"&About", CmdAbout}}, 1},
};

}  // namespace zelbo
