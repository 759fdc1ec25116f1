// What a club table is besides its game: its name, who may find it, its
// robots, when and by whom it was opened. It is written once, as
// "table.info" in the table's folder, beside the autosave, so a table that
// was unloaded or a server that restarted knows it again. The file is lines
// of "key=value"; unknown keys are skipped, so older servers read newer
// files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "robot/robot_level.h"

namespace zelbo {

inline constexpr const char* TableInfoFileName = "table.info";
// A table's name is cut to this many bytes (at a character's start).
inline constexpr std::size_t MaxTableNameBytes = 48;

struct TableInfo {
  std::string name;
  bool listed = true;            // shown in the lobby's list
  bool robots = false;           // robots fill the seats nobody takes
  RobotLevel robotLevel = DefaultRobotLevel;
  int robotSeats = 3;            // seats the robots take (1..4); files without it: 3
  bool watchersSeeHands = true;
  int64_t created = 0;           // seconds since 1970, UTC
  std::string creator;           // the client address that opened it
  bool closed = false;           // its game ended and it was closed: gone for good
};

std::string TableInfoText(const TableInfo& info);
// nullopt for a file without a name line or with a bad value.
std::optional<TableInfo> ParseTableInfo(std::string_view text);

// Reads and writes the file in `folder`; writing goes to a temporary name
// and is renamed into place, so a crash leaves the old file or the new one.
std::optional<TableInfo> ReadTableInfo(const std::filesystem::path& folder);
bool WriteTableInfo(const std::filesystem::path& folder, const TableInfo& info, std::string& error);

}  // namespace zelbo
