// The example reverse proxy in front of a club server: Debian's nginx runs
// as an ordinary process with packaging/nginx/zelbowin.conf on free
// loopback ports, and a table is opened through the API and played through
// it: a scripted player joins by the table's link over WebSocket and plays
// a whole deal with the table's robots. The server, told that nginx is a
// trusted proxy, counts the client that nginx names in X-Forwarded-For.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "robot/qt/robot_runner.h"
#include "tests/http_client.h"
#include "tests/server_process.h"

namespace zelbo {
namespace {

using testing::WaitUntil;

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

uint16_t FreePort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  return probe.serverPort();
}

TEST(NginxProxyTest, ATableIsOpenedAndPlayedThroughTheExampleProxy) {
  testing::TempDir dir;
  testing::ServerProcess server({"--lobby", "--web", "0", "--port", "0", "--trusted-proxy", "127.0.0.1",
                                 "--dir", QString::fromStdString(dir.path)});
  const uint16_t web = server.Port("lobby on port ");
  ASSERT_NE(web, 0) << server.out << server.err;

  // The packaged file inside a minimal main configuration; everything
  // nginx writes goes to the temporary folder.
  std::ifstream in(ZELBO_NGINX_CONF);
  std::stringstream packaged;
  packaged << in.rdbuf();
  // The free port is picked before nginx binds it, so another program may
  // take it in between: then nginx stops at once and gets another.
  QProcess nginx;
  nginx.setProcessChannelMode(QProcess::MergedChannels);
  uint16_t front = 0;
  const std::string d = dir.path;
  for (int attempt = 0; attempt < 3 && nginx.state() != QProcess::Running; ++attempt) {
    front = FreePort();
    std::string site = Replace(packaged.str(), "    listen 80;", "    listen 127.0.0.1:" + std::to_string(front) + ";");
    site = Replace(site, "    listen [::]:80;\n", "");
    site = Replace(site, "server 127.0.0.1:8118;", "server 127.0.0.1:" + std::to_string(web) + ";");
    std::ofstream(d + "/nginx.conf") << "daemon off;\nmaster_process off;\npid " << d << "/nginx.pid;\n"
                                     << "error_log " << d << "/nginx-error.log;\nevents { worker_connections 64; }\n"
                                     << "http {\naccess_log off;\nclient_body_temp_path " << d << "/body;\n"
                                     << "proxy_temp_path " << d << "/proxy;\nfastcgi_temp_path " << d << "/fastcgi;\n"
                                     << "uwsgi_temp_path " << d << "/uwsgi;\nscgi_temp_path " << d << "/scgi;\n"
                                     << site << "\n}\n";
    nginx.start(ZELBO_NGINX, {"-p", QString::fromStdString(d), "-e", QString::fromStdString(d + "/nginx-error.log"),
                              "-c", QString::fromStdString(d + "/nginx.conf")});
    nginx.waitForStarted(5000);
    WaitUntil([&] {
      QTcpSocket probe;
      probe.connectToHost(QStringLiteral("127.0.0.1"), front);
      return probe.waitForConnected(200) || nginx.state() == QProcess::NotRunning;
    });
    if (nginx.state() == QProcess::Running) break;
    std::ifstream errors(d + "/nginx-error.log");
    std::stringstream text;
    text << errors.rdbuf();
    std::fprintf(stderr, "nginx did not start: %s%s\n", nginx.readAll().constData(), text.str().c_str());
    nginx.kill();
    nginx.waitForFinished(5000);
  }
  ASSERT_EQ(nginx.state(), QProcess::Running);

  const testing::Reply created = testing::Request(front, "POST", "/api/tables",
                                                   R"({"name":"Proxied","robots":"easy","listed":false})",
                                                   "X-Forwarded-For: 10.9.8.7\r\n");
  ASSERT_EQ(created.status, 201) << created.body;
  const std::string id = testing::IdOf(created);
  ASSERT_FALSE(id.empty()) << created.body;
  EXPECT_TRUE(server.Shows("opened for 10.9.8.7")) << server.out;

  RobotRunner player(RobotConfig{"Pat", 0, false, RobotLevel::Easy});
  player.Start("http://127.0.0.1:" + std::to_string(front) + "/t/" + id + "/", 0);
  EXPECT_TRUE(WaitUntil([&] { return player.Client().Session().Game().dealNumber >= 2; }, 120000))
      << "deal " << player.Client().Session().Game().dealNumber << "\n" << server.out << server.err;

  nginx.terminate();
  nginx.waitForFinished(5000);
  server.process.terminate();
  EXPECT_TRUE(server.process.waitForFinished(10000));
}

}  // namespace
}  // namespace zelbo
