// zelbowin: the desktop program. Checks that a window can be opened, reads
// the command line, shows the main window and the Setup dialog, and runs
// the event loop until the window is closed.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/app_prompts.h"
#include "app/command_ids.h"
#include "app/command_line.h"
#include "app/display_check.h"
#include "app/main_window.h"
#include "app/qt_settings_store.h"
#include "net/qt/descriptors.h"
#include "zelbo_version.h"

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// The platform Qt will use: a -platform argument wins over QT_QPA_PLATFORM.
std::string RequestedPlatform(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "-platform" || arg == "--platform") return argv[i + 1];
  }
  return Env("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char** argv) {
  switch (zelbo::FindInfoRequest(std::vector<std::string>(argv + 1, argv + argc))) {
    case zelbo::InfoRequest::Help:
      std::fputs(zelbo::DesktopUsage().c_str(), stdout);
      return 0;
    case zelbo::InfoRequest::Version:
      std::fputs(zelbo::VersionLine("zelbowin").c_str(), stdout);
      return 0;
    case zelbo::InfoRequest::None:
      break;
  }
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS) && !defined(Q_OS_ANDROID)
  if (!zelbo::DisplayAvailable(RequestedPlatform(argc, argv), Env("DISPLAY"),
                               Env("WAYLAND_DISPLAY"))) {
    std::fputs(zelbo::NoDisplayMessage, stderr);
    return 2;
  }
#endif

  // A hosted table's sockets and files each take a descriptor.
  if (const std::string low = zelbo::RaiseDescriptorLimit(); !low.empty())
    std::fprintf(stderr, "zelbowin: %s\n", low.c_str());

  QApplication app(argc, argv);
  QApplication::setOrganizationName("Zelbowin");

  zelbo::Settings settings;
  {
    // The folder of card pictures, when one is named in the settings.
    zelbo::QtSettingsStore store;
    std::string folder;
    if (store.ReadString(zelbo::ValueCardPictures, folder)) settings.cardFolder = folder;
    std::string level;
    if (store.ReadString(zelbo::ValueRobotLevel, level)) {
      zelbo::ParseRobotLevel(level, settings.robotPlayLevel);  // a bad value keeps normal
    }
  }

  // Qt has taken its own options out of the arguments; the rest are ours,
  // already split by the system, one token each.
  std::vector<std::string> args;
  const QStringList arguments = QApplication::arguments();
  for (qsizetype i = 1; i < arguments.size(); ++i) args.push_back(arguments[i].toStdString());
  for (const std::string& message : zelbo::ReadArguments(args, settings)) {
    QMessageBox box(QMessageBox::NoIcon, QString(), QString::fromStdString(message),
                    QMessageBox::Ok);
    box.exec();
  }

  zelbo::QtSettingsStore store;
  zelbo::QtPrompts prompts;
  auto* window = new zelbo::MainWindow(settings, store, prompts);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  // Setup opens at every start, once the window is on the screen.
  QTimer::singleShot(0, window, [window] { window->Command(zelbo::CmdSetup); });
  return app.exec();
}
