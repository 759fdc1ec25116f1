// The headless server as a program: options, a whole game with four
// clients, the hand records it writes, and a clean end on SIGTERM.
#include <gtest/gtest.h>

#include <QProcess>

#include <filesystem>
#include <memory>
#include <string>

#include "net/qt/qt_transport.h"
#include "tests/loopback.h"
#include "tools/bench/scripted_client.h"
#include "tools/server/server_options.h"

namespace zelbo {
namespace {

using testing::WaitUntil;

TEST(ServerOptions, ParsesAndRefuses) {
  ServerOptions o;
  std::string error;
  ASSERT_TRUE(ParseServerOptions({"--port", "0", "--seed", "42", "--dir", "x", "--load", "g.zelbo"}, o, error));
  EXPECT_EQ(o.port, 0);
  EXPECT_EQ(o.seed, 42u);
  EXPECT_EQ(o.dir, "x");
  EXPECT_EQ(o.load, "g.zelbo");
  for (const std::vector<std::string>& bad :
       {std::vector<std::string>{"--port", "70000"}, {"--port", "-1"}, {"--seed"}, {"--colour", "red"}, {"--seed", "12x"}}) {
    EXPECT_FALSE(ParseServerOptions(bad, o, error));
    EXPECT_FALSE(error.empty());
  }
}

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

TEST(ServerProgram, HostsAWholeGameWritesRecordsAndEndsOnSigterm) {
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
  const std::string written = "Hand records written to ";
  ASSERT_TRUE(WaitUntil([&] { return (out += server.readAllStandardOutput().toStdString()).find(written) != std::string::npos; }, 240000));
  EXPECT_TRUE(WaitUntil([&] {
    for (auto& c : clients)
      if (c->session().Game().phase != PhaseGameOver) return false;
    return true;
  }));
  EXPECT_NE(out.find("P3 has joined the table"), std::string::npos);
  EXPECT_NE(out.find("P2 is sitting North"), std::string::npos);
  const auto at = out.find(written) + written.size();
  EXPECT_TRUE(std::filesystem::exists(out.substr(at, out.find('\n', at) - at)));
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(dir.path) / "temp.zelbo"));

  server.terminate();  // SIGTERM
  ASSERT_TRUE(server.waitForFinished(10000));
  EXPECT_EQ(server.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(server.exitCode(), 0);
  EXPECT_TRUE(WaitUntil([&] { return !clients[0]->session().IsClient(); }));  // the clients see the table go
}

TEST(ServerProgram, PortInUseAndBadOptionsFailClearly) {
  testing::TempDir dir;
  QProcess first;
  std::string out;
  const uint16_t port = Start(first, {"--port", "0", "--dir", QString::fromStdString(dir.path)}, out);
  ASSERT_NE(port, 0);
  const struct {
    QStringList args;
    const char* message;
  } cases[] = {{{"--port", QString::number(port)}, "cannot listen on port"},
               {{"--bogus"}, "unknown option --bogus"},
               {{"--port", "0", "--load", "/nonexistent/game.zelbo"}, ""}};
  for (const auto& c : cases) {
    QProcess p;
    p.start(ZELBOWIN_SERVER, c.args);
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardError().contains(c.message)) << c.message;
  }
  first.kill();
  first.waitForFinished(5000);
}

}  // namespace
}  // namespace zelbo
