// For the desktop widget tests: one QApplication, settings in a temporary folder,
// scripted modal prompts, waiting with a deadline, main windows as servers and clients.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>

#include "app/command_ids.h"
#include "app/main_window.h"
#include "app/message_pane_widget.h"
#include "app/qt_settings_store.h"
#include "app/setup_dialog.h"
#include "dialogs/doubling_dialog.h"
#include "dialogs/pick_game_dialog.h"
#include "display/qt/table_widget.h"
#include "engine/engine.h"

namespace zelbo::testing {

class QtAppEnvironment : public ::testing::Environment {
  void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
  void TearDown() override { app_.reset(); }
  int argc_ = 1;
  char name_[9] = "app_test";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

inline ::testing::Environment* const qtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtAppEnvironment);

// Points the stored settings (native and ini formats) at a fresh folder.
class TempSettings {
  QTemporaryDir dir_;

 public:
  TempSettings() {
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
  }
  std::string path() const { return dir_.path().toStdString(); }
  std::string file(const char* name) const { return (dir_.path() + "/" + name).toStdString(); }
};

// File names in order ("" or none left = cancel); `setup` fills the Setup dialog and presses OK.
class ScriptedPrompts : public AppPrompts {
 public:
  std::deque<std::string> fileNames;
  std::vector<std::pair<bool, int>> fileAsks;  // (open, kind) of each file dialog
  std::vector<QString> errors;
  bool answerHandRecords = false;
  int handRecordQuestions = 0, abouts = 0;
  std::function<void(SetupDialog&)> setup;

  std::string ChooseFileName(QWidget*, bool open, int kind) override {
    fileAsks.emplace_back(open, kind);
    std::string name;
    if (!fileNames.empty()) name = fileNames.front(), fileNames.pop_front();
    return name;
  }
  void ShowError(QWidget*, const QString& text) override { errors.push_back(text); }
  bool AskSaveHandRecords(QWidget*) override { return ++handRecordQuestions, answerHandRecords; }
  bool RunSetup(SetupDialog& dialog) override {
    if (setup) setup(dialog);
    return dialog.result() == QDialog::Accepted;
  }
  void ShowAbout(QWidget*) override { ++abouts; }
  std::vector<QString> openedUrls;
  bool OpenInBrowser(const QString& url) override { return openedUrls.push_back(url), true; }
};

// Runs the event loop until `done` holds or `ms` milliseconds have passed.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 20000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

// Main windows sharing one settings folder, store and scripted prompts.
class WindowTest : public ::testing::Test {
 protected:
  // A shown window without a role; port 0 lets a server take any free port.
  std::unique_ptr<MainWindow> Window(const std::string& handle, bool privileged = false,
                                     uint32_t seed = 0) {
    Settings s;
    s.handle = handle, s.port = 0, s.privileged = privileged, s.randomSeed = seed;
    auto w = std::make_unique<MainWindow>(s, store_, prompts_, WindowOptions{settings_.path()});
    w->show();
    return w;
  }
  std::unique_ptr<MainWindow> Server(const std::string& handle = "Sam", bool privileged = false,
                                     uint32_t seed = 0) {
    auto w = Window(handle, privileged, seed);
    EXPECT_TRUE(w->StartServer());
    return w;
  }
  std::unique_ptr<MainWindow> Client(const std::string& handle, const MainWindow& server) {
    auto w = Window(handle);
    w->settings().serverAddress = "127.0.0.1", w->settings().port = server.server()->Port();
    w->ConnectToServer();
    return w;
  }

  TempSettings settings_;
  QtSettingsStore store_;
  ScriptedPrompts prompts_;
};

}  // namespace zelbo::testing
