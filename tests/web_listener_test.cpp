// Browsers at the table: the web listener's HTTP answers, and WebSocket
// connections held by the transport as ordinary connections of the table.
#include "web/qt/web_door.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTcpSocket>

#include <memory>
#include <string>
#include <vector>

#include "net/qt/qt_transport.h"
#include "net/server_table.h"
#include "tests/http_client.h"
#include "tests/loopback.h"
#include "tests/web_peer.h"
#include "tools/server/headless_ui.h"
#include "web/web_assets.h"

namespace zelbo {
namespace {

using testing::RawPeer;
using testing::WaitUntil;
using testing::WebPeer;

struct WebTable {  // a nonplaying server with its web listener, both on free ports
  WebTable() {
    ui.SetTable(&server);
    std::string error;
    EXPECT_TRUE(server.Start(0, error)) << error;
    EXPECT_TRUE(door.Listen(0, error)) << error;
  }
  ~WebTable() { server.Stop(); }
  uint16_t web() const { return door.Port(); }

  QCoreApplication& app = testing::App();
  testing::TempDir dir;
  QtTransport transport;
  HeadlessUi ui{std::tmpfile()};
  ServerTable server{transport, ui, ServerConfig{std::string(NonplayingServerHandle), dir.path, 11, true, true}};
  WebDoor door{transport, {}, nullptr};
};

// One request on its own connection, the path as given.
testing::Reply Http(uint16_t port, const std::string& method, const std::string& path,
                    const std::string& headers = "") {
  return testing::Request(port, method, path, {}, headers);
}

TEST(WebListener, ServesTheEmbeddedFilesAndNothingElse) {
  WebTable t;
  const QStringList names = WebAssetNames();
  ASSERT_TRUE(names.contains("index.html"));
  const QRegularExpression reference(R"re((?:href|src)="/?([\w.-]+)"|from '\./([\w.-]+)'|import\('\./([\w.-]+)'\))re");
  for (const QString& name : names) {
    QFile f(WebAssetFor("/" + name));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    const testing::Reply r = Http(t.web(), "GET", "/" + name.toStdString());
    EXPECT_EQ(r.status, 200) << name.toStdString();
    EXPECT_EQ(r.Header("Content-Type"), WebContentType(name.toStdString())) << name.toStdString();
    EXPECT_EQ(r.body, f.readAll().toStdString()) << name.toStdString();
    // Every file a page or script names is served under that name.
    if (!name.endsWith(".html") && !name.endsWith(".js")) continue;
    for (const QRegularExpressionMatch& m : reference.globalMatch(QString::fromStdString(r.body))) {
      const QString named = m.captured(1) + m.captured(2) + m.captured(3);
      if (named.contains(u'.') && named != "handrecords.txt") {
        EXPECT_TRUE(names.contains(named)) << name.toStdString() << " names " << named.toStdString();
      }
    }
  }
  const testing::Reply root = Http(t.web(), "GET", "/");
  EXPECT_EQ(root.Header("Content-Type"), "text/html; charset=utf-8");
  EXPECT_NE(root.body.find("<html"), std::string::npos);
  const testing::Reply head = Http(t.web(), "HEAD", "/index.html");
  EXPECT_EQ(head.status, 200);
  EXPECT_EQ(head.body, "");

  for (const char* path : {"/../index.html", "/etc/passwd", "/%2e%2e/index.html", "/..%2findex.html",
                           "/nothing.js", "/web/index.html", "/.hidden"})
    EXPECT_EQ(Http(t.web(), "GET", path).status, 404) << path;
  for (const char* method : {"POST", "PUT", "DELETE"})
    EXPECT_EQ(Http(t.web(), method, "/").status, 405) << method;
  // "/ws" without an upgrade is no page.
  EXPECT_EQ(Http(t.web(), "GET", "/ws").status, 400);

  EXPECT_EQ(WebContentType("zelbo.wasm"), std::string("application/wasm"));
  EXPECT_EQ(WebContentType("app.js"), std::string("text/javascript; charset=utf-8"));
}

// The hashed name of one of the page's scripts, as index.html names it.
std::string HashedName(uint16_t port, const std::string& stem) {
  const std::string page = Http(port, "GET", "/").body;
  const std::size_t at = page.find("\"" + stem + ".");
  return at == std::string::npos ? "" : page.substr(at + 1, page.find('"', at + 1) - at - 1);
}

// Each file in the most compact form the browser accepts, precompressed,
// with a strong tag per form; a browser that has it is told so, bytes spared.
// Files with a hash in their name are kept for good; the pages are asked
// for again each time, and only hashed names are served for hashed files.
TEST(WebListener, SendsPrecompressedFilesCachedByTheirNames) {
  WebTable t;
  const auto packed = [](const char* name) {
    QFile f(QString(":/webz/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
  };
  const std::string main = "/" + HashedName(t.web(), "main");
  ASSERT_EQ(main.size(), std::string("/main.0123456789.js").size()) << main;
  const bool brotli = !packed("main.js.br").empty();
  const testing::Reply best = Http(t.web(), "GET", main, "Accept-Encoding: gzip, deflate, br\r\n");
  EXPECT_EQ(best.Header("Content-Encoding"), brotli ? "br" : "gzip");
  EXPECT_EQ(best.body, packed(brotli ? "main.js.br" : "main.js.gz"));
  EXPECT_EQ(best.Header("Vary"), "Accept-Encoding");
  EXPECT_EQ(best.Header("Cache-Control"), "public, max-age=31536000, immutable");
  const testing::Reply gzip = Http(t.web(), "GET", main, "Accept-Encoding: br;q=0, gzip\r\n");
  EXPECT_EQ(gzip.Header("Content-Encoding"), "gzip");
  EXPECT_EQ(gzip.body, packed("main.js.gz"));
  EXPECT_LT(gzip.body.size(), Http(t.web(), "GET", main).body.size());
  const testing::Reply plain = Http(t.web(), "GET", main, "Accept-Encoding: gzip;q=0\r\n");
  EXPECT_EQ(plain.Header("Content-Encoding"), "");
  EXPECT_EQ(plain.Header("Cache-Control"), "public, max-age=31536000, immutable");
  for (const char* stale : {"/main.js", "/main.0000000000.js"})
    EXPECT_EQ(Http(t.web(), "GET", stale).status, 404) << stale;

  const std::string tag = gzip.Header("ETag");
  EXPECT_EQ(tag.size(), 18u);
  EXPECT_NE(tag, plain.Header("ETag"));
  const testing::Reply again = Http(t.web(), "GET", main, "Accept-Encoding: gzip\r\nIf-None-Match: " + tag + "\r\n");
  EXPECT_EQ(again.status, 304);
  EXPECT_EQ(again.body, "");
  EXPECT_EQ(Http(t.web(), "GET", main, "If-None-Match: " + tag + "\r\n").status, 200);

  for (const char* stable : {"/", "/manifest.webmanifest"}) {
    const testing::Reply page = Http(t.web(), "GET", stable, "Accept-Encoding: gzip\r\n");
    EXPECT_EQ(page.Header("Cache-Control"), "no-cache") << stable;
    const testing::Reply known =
        Http(t.web(), "GET", stable, "Accept-Encoding: gzip\r\nIf-None-Match: " + page.Header("ETag") + "\r\n");
    EXPECT_EQ(known.status, 304) << stable;
    EXPECT_EQ(known.Header("Cache-Control"), "no-cache") << stable;
  }
}

TEST(WebSocketTable, StreamSplitAndMergedAnyWayAcrossMessages) {
  WebTable t;
  WebPeer web(t.web());
  ASSERT_TRUE(web.Open());
  ASSERT_TRUE(WaitUntil([&] { return t.server.Connections().count() == 1; }));
  // The greeting, the join and a sit request as one stream, sent in
  // messages cut inside the greeting, inside a frame and across borders.
  std::vector<uint8_t> stream = testing::Hello("Webby"), sit = testing::Bytes(MakeSitRequest(North));
  stream.insert(stream.end(), sit.begin(), sit.end());
  std::size_t at = 0;
  for (std::size_t cut : {3u, 10u, 12u, 17u, 0u}) {
    const std::size_t to = cut ? cut : stream.size();
    web.Send({stream.begin() + static_cast<std::ptrdiff_t>(at), stream.begin() + static_cast<std::ptrdiff_t>(to)});
    at = to;
  }
  ASSERT_TRUE(WaitUntil([&] { return web.HasText("Webby is sitting North"); }));
  EXPECT_TRUE(web.HasText("Webby has joined the table"));
  EXPECT_GE(t.server.Occupants()[North], 0);
  // Two frames merged into one message: a chat line and a resend request.
  const int statuses = web.Count(MsgStatus);
  web.Send(testing::Bytes({MakeChat("hello there"), MakeResendAll()}));
  ASSERT_TRUE(WaitUntil([&] { return web.Count(MsgText, "Webby: hello there") == 1 && web.Count(MsgStatus) > statuses; }));
}

TEST(WebSocketTable, TheLimitCountsTcpAndWebSocketTogether) {
  WebTable t;
  std::vector<std::unique_ptr<RawPeer>> tcp;
  std::vector<std::unique_ptr<WebPeer>> web;
  for (int i = 0; i < 16; ++i) {
    tcp.push_back(std::make_unique<RawPeer>(t.server.Port()));
    web.push_back(std::make_unique<WebPeer>(t.web()));
  }
  ASSERT_TRUE(WaitUntil([&] { return t.server.Connections().count() == MaxConnections; }));
  WebPeer extraWeb(t.web());
  RawPeer extraTcp(t.server.Port());
  ASSERT_TRUE(WaitUntil([&] { return extraWeb.ended && extraTcp.Ended(); }));
  EXPECT_EQ(t.server.Connections().count(), MaxConnections);
  // A WebSocket that leaves makes room for the next one.
  web.front()->socket.close();
  ASSERT_TRUE(WaitUntil([&] { return t.server.Connections().count() == MaxConnections - 1; }));
  WebPeer next(t.web());
  ASSERT_TRUE(next.Open());
  ASSERT_TRUE(WaitUntil([&] { return t.server.Connections().count() == MaxConnections; }));
}

TEST(WebSocketTable, OversizedOrTextMessageClosesOnlyThatConnection) {
  WebTable t;
  WebPeer big(t.web()), text(t.web()), good(t.web());
  ASSERT_TRUE(big.Open() && text.Open() && good.Open());
  ASSERT_TRUE(WaitUntil([&] { return t.server.Connections().count() == 3; }));
  big.Send(std::vector<uint8_t>(64 * 1024 + 1, 0x04));
  text.socket.sendTextMessage(QStringLiteral("hello"));
  ASSERT_TRUE(WaitUntil([&] { return big.ended && text.ended && t.server.Connections().count() == 1; }));
  good.Send(testing::Hello("Good"));
  ASSERT_TRUE(WaitUntil([&] { return good.HasText("Good has joined the table"); }));
  EXPECT_FALSE(good.ended);
}

}  // namespace
}  // namespace zelbo
