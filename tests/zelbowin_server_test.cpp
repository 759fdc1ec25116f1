// The headless server as a program: a table four clients join, refused
// options and ports, and a clean end on SIGTERM.
#include <gtest/gtest.h>

#include <QProcess>

#include <filesystem>
#include <memory>
#include <string>

#include "net/qt/qt_transport.h"
#include "tests/loopback.h"
#include "tools/bench/scripted_client.h"

namespace zelbo {
namespace {

using testing::WaitUntil;

// Runs the program and returns the port it listens on (0 when it did not
// start); `out` collects its standard output.
uint16_t Start(QProcess& p, const QStringList& args, std::string& out) {
  testing::App();
  p.start(ZELBOWIN_SERVER, args);
  uint16_t port = 0;
  WaitUntil([&] {
    out += p.readAllStandardOutput().toStdString();
    const auto at = out.find("table open on port ");
    if (at != std::string::npos) port = static_cast<uint16_t>(std::stoi(out.substr(at + 19)));
    return port != 0 || p.state() == QProcess::NotRunning;
  });
  return port;
}

TEST(ServerProgram, HostsATableRefusesABusyPortAndEndsOnSigterm) {
  testing::TempDir dir;
  QProcess server;
  std::string out;
  const uint16_t port = Start(server, {"--port", "0", "--seed", "5", "--dir", QString::fromStdString(dir.path)}, out);
  ASSERT_NE(port, 0);
  std::vector<std::unique_ptr<QtTransport>> transports;
  std::vector<std::unique_ptr<ScriptedClient>> clients;
  for (int s = 0; s < 4; ++s) {
    transports.push_back(std::make_unique<QtTransport>());
    clients.push_back(std::make_unique<ScriptedClient>(*transports.back(), "P" + std::to_string(s), s));
    clients.back()->session().Connect("localhost", port);
  }
  // Pane lines go to standard output; the game starts and autosaves.
  EXPECT_TRUE(WaitUntil([&] {
    out += server.readAllStandardOutput().toStdString();
    return out.find("P3 is sitting East") != std::string::npos && clients[0]->actions + clients[1]->actions > 0;
  }));
  EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(std::filesystem::path(dir.path) / "temp.zelbo"); }));

  const struct {
    QStringList args;
    std::string message;
  } failures[] = {{{"--port", QString::number(port)}, "cannot listen on port " + std::to_string(port) + " (socket error "},
                  {{"--bogus"}, "unknown option --bogus"},
                  {{"--port", "70000"}, ""},
                  {{"--seed", "12x"}, ""},
                  {{"--port", "0", "--load", "/nonexistent/game.zelbo"}, ""}};
  for (const auto& f : failures) {
    QProcess p;
    p.start(ZELBOWIN_SERVER, f.args);
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardError().contains(f.message.c_str())) << f.message;
  }

  server.terminate();  // SIGTERM
  ASSERT_TRUE(server.waitForFinished(10000));
  EXPECT_EQ(server.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(server.exitCode(), 0);
  EXPECT_TRUE(WaitUntil([&] { return !clients[0]->session().IsClient(); }));  // the clients see the table go
}

}  // namespace
}  // namespace zelbo
