#include "hosting/hosted_table.h"

#include "robot/robot_seats.h"

namespace zelbo {

HostedTable::HostedTable(TableRouter& router, ServerUi& ui, HostedTableOptions options)
    : router_(router),
      link_(router.AddTable(options.route)),
      options_(std::move(options)),
      server_(std::make_unique<ServerTable>(link_, ui, options_.config)) {}

HostedTable::~HostedTable() {
  Stop();
  server_->SetFinishedGameSink(nullptr, {});
  archive_.reset();  // stores what is queued
  server_.reset();
  router_.RemoveTable(link_);
}

bool HostedTable::Start(uint16_t port, std::string& error) {
  if (!server_->Start(port, error)) return false;
  robots_.Fill(*server_, options_.robots, options_.robotsReconnect, options_.robotLevel);
  if (options_.takeoverSeconds > 0)
    warmer_ = std::make_unique<SeatWarmer>(*server_, options_.takeoverSeconds, options_.robotLevel);
  return true;
}

void HostedTable::FillRobots(int count) {
  robots_.Fill(*server_, count, options_.robotsReconnect, options_.robotLevel);
}

int HostedTable::People() const {
  // Robots are told by their handles, not by the runners this table holds:
  // the connections of robots just let go are still open for a moment, and
  // counting them as people would wake the robots again.
  int people = 0;
  for (const Connection& c : server_->Connections().all()) people += !(c.joined && IsRobotHandle(c.handle));
  return people;
}

void HostedTable::PauseRobots() {
  if (robotsPaused_) return;
  robotsPaused_ = true;
  warmer_.reset();
  robots_.Clear();
}

void HostedTable::ResumeRobots() {
  if (!robotsPaused_) return;
  robotsPaused_ = false;
  robots_.Fill(*server_, options_.robots, options_.robotsReconnect, options_.robotLevel);
  if (options_.takeoverSeconds > 0)
    warmer_ = std::make_unique<SeatWarmer>(*server_, options_.takeoverSeconds, options_.robotLevel);
}

void HostedTable::Stop() {
  warmer_.reset();
  robots_.Clear();
  server_->Stop();
}

bool HostedTable::OpenArchive(const std::filesystem::path& path, const std::string& tableName,
                              std::string& error) {
  server_->SetFinishedGameSink(nullptr, {});
  archive_.reset();
  ServerTable& table = *server_;
  // Everyone at the table hears where the game's replay is; a failure is
  // the operator's to see.
  const auto report = [&table](int64_t id, const std::string& line) {
    id > 0 ? table.BroadcastEndedGameLine(line) : table.AddPaneLine(line);
  };
  archive_ = ArchiveStore::Open(path, table.Writer(), report, error);
  if (!archive_) {
    table.AddPaneLine("No archive of games: " + error);
    return false;
  }
  server_->SetFinishedGameSink(archive_.get(), tableName);
  return true;
}

}  // namespace zelbo
