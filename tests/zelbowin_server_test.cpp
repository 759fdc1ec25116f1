// The headless server as a program: refused options and ports, a clean end
// on SIGTERM. (Its pane on standard output is read by the crash drill.)
#include <gtest/gtest.h>

#include <QProcess>

#include <string>

#include "tests/loopback.h"

namespace zelbo {
namespace {

using testing::WaitUntil;

TEST(ServerProgram, RefusesBadOptionsAndABusyPortEndsOnSigterm) {
  testing::TempDir dir;
  testing::App();
  QProcess server;
  server.start(ZELBOWIN_SERVER, {"--port", "0", "--dir", QString::fromStdString(dir.path)});
  std::string out;
  uint16_t port = 0;
  ASSERT_TRUE(WaitUntil([&] {
    out += server.readAllStandardOutput().toStdString();
    const auto at = out.find("table open on port ");
    if (at != std::string::npos) port = static_cast<uint16_t>(std::stoi(out.substr(at + 19)));
    return port != 0;
  }));
  testing::RawPeer peer(port);
  const struct { QStringList args; std::string message; } failures[] = {
      {{"--port", QString::number(port)}, "cannot listen on port " + std::to_string(port) + " (socket error "},
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
  EXPECT_TRUE(server.exitStatus() == QProcess::NormalExit && server.exitCode() == 0);
  EXPECT_TRUE(WaitUntil([&] { return peer.Ended(); }));  // the table goes
}

}  // namespace
}  // namespace zelbo
