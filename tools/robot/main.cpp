// zelbowin-robot: a robot player that joins a table over TCP like any other
// client, prints its message-pane lines, and plays until the game ends (exit
// code 0) or the connection is closed for good (exit code 1).
#include <QCoreApplication>

#include <cstdio>
#include <string>
#include <vector>

#include "robot/qt/robot_runner.h"
#include "tools/robot/robot_options.h"
#include "zelbo_version.h"

int main(int argc, char** argv) {
  using namespace zelbo;
  RobotOptions options;
  std::string error;
  if (!ParseRobotOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
    std::fprintf(stderr, "zelbowin-robot: %s\n%s", error.c_str(), RobotUsage().c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(RobotUsage().c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::fputs(VersionLine("zelbowin-robot").c_str(), stdout);
    return 0;
  }
  QCoreApplication app(argc, argv);
  RobotRunner robot(RobotConfig{options.handle, options.seat, options.reconnect, options.level},
                    [](std::string_view line) {
                      std::fwrite(line.data(), 1, line.size(), stdout);
                      std::fputc('\n', stdout);
                      std::fflush(stdout);
                    });
  QObject::connect(&robot, &RobotRunner::finished, &app, [&app, &robot] {
    const bool over = robot.Client().GameOver();
    const ScoreSheet& sheet = robot.Client().Session().Game().scoreSheet;
    if (over && !sheet.empty()) {
      std::printf("Game over. Totals (South, West, North, East):\n%s\n",
                  sheet.line(sheet.size() - 1).c_str());
    }
    std::fflush(stdout);
    app.exit(over ? 0 : 1);
  });
  robot.Start(options.host, options.port);
  return app.exec();
}
