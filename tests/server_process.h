// zelbowin-server as a child process, for tests of the program: what it
// prints collected as it comes, waiting for a line, the ports and files it
// names, and its resident memory. Needs ZELBOWIN_SERVER, the program's path.
#pragma once

#include <QProcess>

#include <fstream>
#include <string>

#include "tests/loopback.h"

namespace zelbo::testing {

struct ServerProcess {
  ServerProcess() {
    QObject::connect(&process, &QProcess::readyReadStandardOutput, [this] { Take(); });
    QObject::connect(&process, &QProcess::readyReadStandardError, [this] { Take(); });
  }
  explicit ServerProcess(const QStringList& args) : ServerProcess() { Start(args); }
  ~ServerProcess() { Stop(); }

  // `out` holds what this run printed, `all` what every run did; `err` all of standard error.
  void Start(const QStringList& args) {
    out.clear();
    process.start(QStringLiteral(ZELBOWIN_SERVER), args);
  }
  // SIGTERM, or SIGKILL with `kill`; what it printed is kept.
  void Stop(bool kill = false) {
    kill ? process.kill() : process.terminate();
    if (!process.waitForFinished(10000)) {
      process.kill();
      process.waitForFinished(10000);
    }
    Take();
  }
  void Take() {
    const std::string in = process.readAllStandardOutput().toStdString();
    out += in;
    all += in;
    err += process.readAllStandardError().toStdString();
  }
  bool Logged(const std::string& text) const { return out.find(text) != std::string::npos; }
  // Waits until this run printed `text`; false if the program ends or `ms` pass first.
  bool Shows(const std::string& text, int ms = 20000) {
    WaitUntil([&] { return Logged(text) || process.state() == QProcess::NotRunning; }, ms);
    Take();
    return Logged(text);
  }
  // The number printed right after `text` ("table open on port "), once it is; 0 if never.
  uint16_t Port(const std::string& text, int ms = 20000) {
    return Shows(text, ms) ? static_cast<uint16_t>(std::stoi(out.substr(out.find(text) + text.size()))) : 0;
  }
  // The rest of the first line that starts with `text` ("Hand records written to ").
  std::string After(const std::string& text) const {
    const std::size_t at = out.find(text);
    if (at == std::string::npos) return "";
    const std::size_t from = at + text.size();
    return out.substr(from, out.find('\n', from) - from);
  }
  // A field of /proc/PID/status in KiB ("VmRSS:"), -1 if there is none.
  long StatusKiB(const char* field) const {
    std::ifstream status("/proc/" + std::to_string(process.processId()) + "/status");
    for (std::string line; std::getline(status, line);)
      if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
    return -1;
  }
  // Runs with `key` set in the environment (before Start).
  void SetEnv(const QString& key, const QString& value) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(key, value);
    process.setProcessEnvironment(env);
  }

  QCoreApplication& app = App();  // before any Qt object
  QProcess process;
  std::string out, err, all;
};

}  // namespace zelbo::testing
