// HostedTable: one table as a server program hosts it. It owns the
// ServerTable with its folder of autosave and undo files, the robots that
// fill its seats, and the seat warmer that keeps the seats of players who
// left warm. Its connections come from a TableRouter, so one transport (and
// one door for browsers) can carry several tables.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "archive/archive_store.h"
#include "net/server_table.h"
#include "net/table_router.h"
#include "robot/qt/robot_table.h"
#include "robot/qt/seat_warmer.h"
#include "robot/robot_level.h"

namespace zelbo {

struct HostedTableOptions {
  ServerConfig config;
  int robots = 0;               // robots that sit once the table is open
  bool robotsReconnect = false;  // a robot whose connection drops comes back by itself
  RobotLevel robotLevel = RobotLevel::Normal;
  int takeoverSeconds = 0;      // > 0: robots keep left seats warm after this long
  std::string route;            // a club table's id: its connections come under it
};

class HostedTable {
 public:
  // The router and the UI must outlive the table.
  HostedTable(TableRouter& router, ServerUi& ui, HostedTableOptions options);
  ~HostedTable();
  HostedTable(const HostedTable&) = delete;
  HostedTable& operator=(const HostedTable&) = delete;

  ServerTable& Server() { return *server_; }
  const ServerTable& Server() const { return *server_; }

  // Opens the table on `port` (see ServerTable::Start), then seats the
  // robots asked for and starts keeping seats warm.
  bool Start(uint16_t port, std::string& error);
  // Robots for up to `count` empty seats, at the level robots play now.
  void FillRobots(int count);
  // Robots seated from now on play at `level`.
  void SetRobotLevel(RobotLevel level) { options_.robotLevel = level; }
  // Robots and warmer go, then every connection is closed.
  void Stop();

  // Finished games from now on are kept in the archive at `path`, as
  // played at `tableName`. When it cannot be used, the reason is shown in
  // the pane, comes back in `error` and the table goes on without it.
  bool OpenArchive(const std::filesystem::path& path, const std::string& tableName, std::string& error);
  // The archive, or nullptr when none is open.
  ArchiveStore* Archive() { return archive_.get(); }

  // Connections of people: every connection but those that joined with a
  // robot's handle.
  int People() const;
  // A table nobody plays at lets its robots go, and gets them back (as
  // many as it started with) when someone comes.
  void PauseRobots();
  void ResumeRobots();
  bool RobotsPaused() const { return robotsPaused_; }

 private:
  TableRouter& router_;
  Transport& link_;
  HostedTableOptions options_;
  std::unique_ptr<ServerTable> server_;
  RobotTable robots_;
  std::unique_ptr<SeatWarmer> warmer_;
  std::unique_ptr<ArchiveStore> archive_;
  bool robotsPaused_ = false;
};

}  // namespace zelbo
