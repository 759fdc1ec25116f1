// zelbowin-server: hosts a table without any window. The server's user does
// not play ("nonplaying server"); four clients connect, sit and play, and
// kibitzers may watch. Every message-pane line goes to standard output.
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "hosting/event_loop_writer.h"
#include "hosting/hosted_table.h"
#include "tools/server/archive_commands.h"
#include "net/qt/qt_transport.h"
#include "net/qt/descriptors.h"
#include "net/qt/epoll_dispatcher.h"
#include "net/table_router.h"
#include "tools/server/club_run.h"
#include "tools/server/headless_ui.h"
#include "tools/server/resume_plan.h"
#include "tools/server/server_options.h"
#include "web/qt/web_door.h"
#include "zelbo_version.h"

namespace {

// SIGINT and SIGTERM write one byte into this pipe; the event loop reads it
// and quits, so the table is closed down on the one thread.
int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  const char byte = 1;
  const ssize_t ignored = write(signalPipe[1], &byte, 1);
  (void)ignored;
}

bool InstallSignalHandlers() {
  if (pipe(signalPipe) != 0) return false;
  for (int fd : signalPipe) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  return sigaction(SIGINT, &action, nullptr) == 0 && sigaction(SIGTERM, &action, nullptr) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace zelbo;
  ServerOptions options;
  std::string error;
  if (!ParseServerOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::fprintf(stderr, "zelbowin-server: %s\n%s", error.c_str(), ServerUsage().c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(ServerUsage().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::fputs(VersionLine("zelbowin-server").c_str(), stdout);
    return 0;
  }
  std::error_code ec;
  std::filesystem::create_directories(options.dir, ec);
  if (!std::filesystem::is_directory(options.dir, ec)) {
    std::fprintf(stderr, "zelbowin-server: cannot use folder \"%s\"\n", options.dir.c_str());
    return 1;
  }

  // The archive's commands read it and end; Qt's SQL driver needs the
  // application object.
  if (options.listGames || options.exportGame > 0) {
    QCoreApplication app(argc, argv);
    return options.listGames ? ListArchivedGames(options.dir, stdout, stderr)
                             : ExportArchivedGame(options.dir, options.exportGame, ".", stdout, stderr);
  }

  // --resume: pick the autosave to continue or to start afresh in (a club
  // looks into each table's folder itself).
  ResumePlan plan;
  plan.autosaveName = AutosaveName(0);
  if (options.resume && !options.lobby) {
    plan = PlanResume(options.dir);
    for (const std::string& line : plan.refused)
      std::fprintf(stderr, "zelbowin-server: %s\n", line.c_str());
    if (!plan.usable) {
      std::fprintf(stderr, "zelbowin-server: no autosave name left in \"%s\"\n",
                   options.dir.c_str());
      return 1;
    }
    if (plan.resume) options.load = (std::filesystem::path(options.dir) / plan.autosaveName).string();
  }

  // Every socket takes a descriptor; the table's files need some too.
  if (const std::string low = RaiseDescriptorLimit(); !low.empty())
    std::fprintf(stderr, "zelbowin-server: %s\n", low.c_str());
  UseDispatcherForManySockets();

  QCoreApplication app(argc, argv);
  if (!InstallSignalHandlers()) {
    std::fprintf(stderr, "zelbowin-server: cannot install signal handlers\n");
    return 1;
  }
  QSocketNotifier signalNotifier(signalPipe[0], QSocketNotifier::Read);
  QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [&app] {
    char buffer[16];
    while (read(signalPipe[0], buffer, sizeof buffer) > 0) {
    }
    app.quit();
  });

  QtTransport transport;
  LivenessLimits liveness;
  liveness.pingIntervalMs = options.pingSeconds * int64_t{1000};
  liveness.pongLimitMs = options.pongTimeoutSeconds * int64_t{1000};
  transport.SetLiveness(liveness);
  if (options.lobby) return RunClub(options, transport, app);
  HeadlessUi ui;
  // The crash drill's kill point between an action's frames and its files.
  if (const char* killAt = std::getenv("ZELBOWIN_KILL_BEFORE_FILES"))
    ui.KillBeforeFiles(std::strtol(killAt, nullptr, 10));
  HostedTableOptions hosting;
  hosting.config = ServerConfig{std::string(NonplayingServerHandle), options.dir, options.seed};
  hosting.config.watchersSeeHands = options.watchersSeeHands;
  hosting.config.autosaveName = plan.autosaveName;
  // The table's files are written off the event thread.
  EventLoopWriter writer;
  hosting.config.writer = &writer.Writer();
  // Robots, when asked for, join once the port is open: ordinary clients
  // over loopback, each on its own connection, back by themselves when
  // dropped. --robot-takeover: robots keep the seats of players who left warm.
  hosting.robots = options.robots;
  hosting.robotsReconnect = true;
  hosting.robotLevel = options.robotLevel;
  hosting.takeoverSeconds = options.takeoverSeconds;
  TableRouter router(transport);
  HostedTable hosted(router, ui, hosting);
  ServerTable& table = hosted.Server();
  ui.SetTable(&table);

  // A game that cannot be loaded ends the program before the port opens, so
  // a failed load never looks like a running table.
  if (!options.load.empty() && !table.LoadGameFile(options.load, error)) {
    std::fprintf(stderr, "zelbowin-server: cannot load \"%s\": %s\n", options.load.c_str(),
                 error.c_str());
    return 1;
  }
  if (options.resume)
    std::printf("zelbowin-server: %s %s\n",
                plan.resume ? "resuming the game in" : "new table, autosaving to",
                table.AutosavePath().c_str());

  if (!hosted.Start(options.port, error)) {
    std::fprintf(stderr, "zelbowin-server: cannot listen on port %u (%s)\n", options.port,
                 error.c_str());
    return 1;
  }
  std::printf("zelbowin-server: table open on port %u\n", table.Port());
  // A database that cannot be used is named and left alone; the table
  // goes on without keeping its games.
  if (options.archive &&
      !hosted.OpenArchive(std::filesystem::path(options.dir) / ArchiveFileName, std::to_string(table.Port()), error))
    std::fprintf(stderr, "zelbowin-server: %s; games are not archived\n", error.c_str());
  std::unique_ptr<WebDoor> door;
  if (options.web >= 0) {
    DoorOptions doorOptions{options.webOrigins, options.trustedProxies, nullptr, [&ui] { return ui.lastRecords(); }};
    if (hosted.Archive()) doorOptions.pages = &hosted.Archive()->Pages();
    door = OpenWebDoor(transport, table, static_cast<uint16_t>(options.web), doorOptions, error);
    if (!door) {
      std::fprintf(stderr, "zelbowin-server: cannot listen for browsers on port %d\n", options.web);
      return 1;
    }
    std::printf("zelbowin-server: browsers on port %u\n", door->Port());
  }
  std::fflush(stdout);

  const int result = app.exec();
  door.reset();
  hosted.Stop();
  writer.Writer().Drain();  // the last files are on disk, and any failure told
  std::printf("zelbowin-server: writer: %s\n", WriterSummary(writer.Writer().Stats()).c_str());
  std::printf("zelbowin-server: table closed\n");
  std::fflush(stdout);
  return result;
}
