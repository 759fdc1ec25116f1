// The headless server as a program: options, a whole game with four
// clients, the hand records it writes, and a clean end on SIGTERM.
#include <gtest/gtest.h>

#include <QProcess>

#include <array>
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
       {std::vector<std::string>{"--port", "70000"}, {"--port", "-1"}, {"--seed"}, {"--colour", "red"},
        {"--seed", "12x"}}) {
    ServerOptions p;
    EXPECT_FALSE(ParseServerOptions(bad, p, error));
    EXPECT_FALSE(error.empty());
  }
}

class ServerProgram : public ::testing::Test {
 protected:
  ServerProgram() {
    testing::App();
    std::string pattern = (std::filesystem::temp_directory_path() / "zelbo_prog_XXXXXX").string();
    folder_ = mkdtemp(pattern.data()) ? pattern : std::string(".");
  }
  ~ServerProgram() override { std::filesystem::remove_all(folder_); }

  // Starts the program and returns the port it listens on (0 on failure).
  uint16_t Start(QProcess& p, const QStringList& args) {
    p.start(ZELBOWIN_SERVER, args);
    uint16_t port = 0;
    WaitUntil([&] {
      out_ += p.readAllStandardOutput().toStdString();
      const auto at = out_.find("table open on port ");
      if (at != std::string::npos) port = static_cast<uint16_t>(std::stoi(out_.substr(at + 19)));
      return port != 0 || p.state() == QProcess::NotRunning;
    });
    return port;
  }

  std::string folder_;
  std::string out_;
};

TEST_F(ServerProgram, HostsAWholeGameWritesRecordsAndEndsOnSigterm) {
  QProcess server;
  const uint16_t port = Start(server, {"--port", "0", "--seed", "5", "--dir", QString::fromStdString(folder_)});
  ASSERT_NE(port, 0);
  std::array<std::unique_ptr<QtTransport>, 4> transports;
  std::array<std::unique_ptr<ScriptedClient>, 4> clients;
  for (int s = 0; s < 4; ++s) {
    transports[s] = std::make_unique<QtTransport>();
    clients[s] = std::make_unique<ScriptedClient>(*transports[s], "P" + std::to_string(s), s);
    clients[s]->session().Connect("localhost", port);
  }
  ASSERT_TRUE(WaitUntil(
      [&] {
        out_ += server.readAllStandardOutput().toStdString();
        return out_.find("Hand records written to ") != std::string::npos;
      },
      240000));
  EXPECT_TRUE(WaitUntil([&] {
    for (auto& c : clients)
      if (c->session().Game().phase != PhaseGameOver) return false;
    return true;
  }));
  EXPECT_NE(out_.find("P3 has joined the table"), std::string::npos);
  EXPECT_NE(out_.find("P2 is sitting North"), std::string::npos);
  const auto at = out_.find("Hand records written to ") + 24;
  const std::string path = out_.substr(at, out_.find('\n', at) - at);
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(folder_) / "temp.zelbo"));

  server.terminate();  // SIGTERM
  ASSERT_TRUE(server.waitForFinished(10000));
  EXPECT_EQ(server.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(server.exitCode(), 0);
  // The clients see the table go.
  EXPECT_TRUE(WaitUntil([&] { return !clients[0]->session().IsClient(); }));
}

TEST_F(ServerProgram, PortInUseAndBadOptionsFailClearly) {
  QProcess first;
  const uint16_t port = Start(first, {"--port", "0", "--dir", QString::fromStdString(folder_)});
  ASSERT_NE(port, 0);
  QProcess second;
  second.start(ZELBOWIN_SERVER, {"--port", QString::number(port), "--dir", QString::fromStdString(folder_)});
  ASSERT_TRUE(second.waitForFinished(10000));
  EXPECT_NE(second.exitCode(), 0);
  EXPECT_TRUE(second.readAllStandardError().contains("cannot listen on port"));

  QProcess bad;
  bad.start(ZELBOWIN_SERVER, {"--bogus"});
  ASSERT_TRUE(bad.waitForFinished(10000));
  EXPECT_EQ(bad.exitCode(), 2);
  EXPECT_TRUE(bad.readAllStandardError().contains("unknown option --bogus"));

  QProcess load;
  load.start(ZELBOWIN_SERVER, {"--port", "0", "--load", "/nonexistent/game.zelbo"});
  ASSERT_TRUE(load.waitForFinished(10000));
  EXPECT_NE(load.exitCode(), 0);

  first.kill();
  first.waitForFinished(5000);
}

}  // namespace
}  // namespace zelbo
