#include "tools/server/club_run.h"

#include <cstdio>

#include "hosting/event_loop_writer.h"
#include "archive/archive_store.h"
#include "net/table_router.h"
#include "tools/server/club.h"
#include "web/qt/web_door.h"

namespace zelbo {

int RunClub(const ServerOptions& options, QtTransport& transport, QCoreApplication& app) {
  if (options.web < 0) {
    std::fprintf(stderr, "zelbowin-server: --lobby needs --web N, the port of the lobby\n");
    return 2;
  }
  ClubOptions club;
  club.dir = options.dir;
  club.port = options.port;
  club.house.config = ServerConfig{std::string(NonplayingServerHandle), {}, options.seed};
  club.house.config.watchersSeeHands = options.watchersSeeHands;
  // One writer thread takes the files of every table (made before the club,
  // so that it outlives every table). The tables' files are rewritten after
  // every action: their spares lie in the club's folder.
  EventLoopWriter writer(options.dir);
  club.house.config.writer = &writer.Writer();
  club.house.robots = options.robots;
  club.house.robotsReconnect = true;
  club.house.robotLevel = options.robotLevel;
  club.house.takeoverSeconds = options.takeoverSeconds;
  club.takeoverSeconds = options.takeoverSeconds;
  club.tableRobots = options.tableRobots;
  club.seed = options.seed;
  club.limits.maxTables = options.maxTables;
  club.timeouts.pauseRobotsMs = int64_t{options.robotsIdleSeconds} * 1000;
  club.timeouts.unloadMs = int64_t{options.unloadSeconds} * 1000;
  club.timeouts.closeOverMs = int64_t{options.closeOverSeconds} * 1000;

  // One archive keeps the games of every table, named by the table's id.
  std::string error;
  std::unique_ptr<ArchiveStore> archive;
  if (options.archive) {
    archive = ArchiveStore::Open(
        std::filesystem::path(options.dir) / ArchiveFileName, writer.Writer(),
        [](int64_t, const std::string& line) {
          std::printf("%s\n", line.c_str());
          std::fflush(stdout);
        },
        error);
    if (!archive) std::fprintf(stderr, "zelbowin-server: %s; games are not archived\n", error.c_str());
  }
  club.archive = archive.get();

  TableRouter router(transport);
  Club tables(router, club);
  if (!tables.Start(options.resume, error)) {
    std::fprintf(stderr, "zelbowin-server: cannot open the house table: %s\n", error.c_str());
    return 1;
  }
  std::printf("zelbowin-server: house table open on port %u\n", tables.House()->Server().Port());
  DoorOptions door;
  door.origins = options.webOrigins;
  door.trustedProxies = options.trustedProxies;
  door.site = &tables;
  if (archive) door.pages = &archive->Pages();
  WebDoor web(transport, door, [](const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
  });
  if (!web.Listen(static_cast<uint16_t>(options.web), error)) {
    std::fprintf(stderr, "zelbowin-server: cannot listen for browsers on port %d (%s)\n", options.web,
                 error.c_str());
    return 1;
  }
  std::printf("zelbowin-server: lobby on port %u\n", web.Port());
  for (const std::string& address : BrowserAddresses(web.Port()))
    std::printf("zelbowin-server: the lobby is at %s\n", address.c_str());
  std::fflush(stdout);
  const int result = app.exec();
  tables.Stop();
  writer.Writer().Drain();  // the last files are on disk, and any failure told
  std::printf("zelbowin-server: writer: %s\n", WriterSummary(writer.Writer().Stats()).c_str());
  std::printf("zelbowin-server: club closed\n");
  std::fflush(stdout);
  return result;
}

}  // namespace zelbo
