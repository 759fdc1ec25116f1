// The door's reading of request heads and the verdicts drawn from them.
#include "web/http_request.h"

#include <gtest/gtest.h>

#include <string>

#include "web/refusal_tally.h"

namespace zelbo {
namespace {

HttpRequestHead Head(const std::string& text) {
  const HeadResult r = ScanRequestHead(text);
  EXPECT_EQ(r.scan, HeadScan::Complete) << text;
  EXPECT_EQ(r.length, text.size());
  return r.head;
}

TEST(HttpRequest, HeadsAreCutAtTheirLimitsAndBrokenOnesRefused) {
  EXPECT_EQ(ScanRequestHead("GET / HTTP/1.1\r\nHost: x\r\n").scan, HeadScan::Incomplete);
  EXPECT_EQ(ScanRequestHead("GET /" + std::string(MaxRequestLineBytes, 'a')).scan, HeadScan::LineTooLong);
  EXPECT_EQ(ScanRequestHead("GET / HTTP/1.1\r\n" + std::string(MaxRequestHeadBytes, 'a')).scan,
            HeadScan::HeadTooLarge);
  // A head just within the limit is read; the bytes after it are not looked at.
  const std::string line = "GET /" + std::string(MaxRequestLineBytes - 16, 'a') + " HTTP/1.1\r\n";
  EXPECT_EQ(ScanRequestHead(line + "\r\n" + std::string(MaxRequestHeadBytes, 'x')).scan, HeadScan::Complete);
  for (const char* bad : {"GET / HTTP/2.0\r\n\r\n", "GET http://x/ HTTP/1.1\r\n\r\n", "GET  / HTTP/1.1\r\n\r\n",
                          "GET / HTTP/1.1\r\nHost: x\r\n folded\r\n\r\n", "GET / HTTP/1.1\r\nNo colon\r\n\r\n",
                          "GET / HTTP/1.1\r\nA: b\nC: d\r\n\r\n", "GET / HTTP/1.1\r\nA: \x01\r\n\r\n"})
    EXPECT_EQ(ScanRequestHead(bad).scan, HeadScan::Malformed) << bad;
  const HttpRequestHead h = Head("GET /a.js?x=1 HTTP/1.0\r\nHOST:  x \r\n\r\n");
  EXPECT_EQ(h.Path(), "/a.js");
  EXPECT_EQ(*h.Find("host"), "x");
}

TEST(HttpRequest, BodiesAmbiguousFramingAndConnectionsAreJudged) {
  const auto status = [](const std::string& headers) {
    return JudgeRequest(Head("POST / HTTP/1.1\r\nHost: x\r\n" + headers + "\r\n"), "/ws", {}).status;
  };
  EXPECT_EQ(status("Content-Length: 5\r\n"), 413);
  EXPECT_EQ(status("Transfer-Encoding: chunked\r\n"), 413);
  EXPECT_EQ(status("Content-Length: 0\r\n"), 0);
  EXPECT_EQ(status("Content-Length: 5\r\nContent-Length: 5\r\n"), 400);
  EXPECT_EQ(status("Content-Length: 5\r\nTransfer-Encoding: chunked\r\n"), 400);
  EXPECT_EQ(status("Content-Length: -1\r\n"), 400);
  EXPECT_EQ(status("Host: y\r\n"), 400);
  EXPECT_TRUE(JudgeRequest(Head("GET / HTTP/1.1\r\nHost: x\r\n\r\n"), "/ws", {}).keepAlive);
  EXPECT_FALSE(JudgeRequest(Head("GET / HTTP/1.0\r\n\r\n"), "/ws", {}).keepAlive);
  EXPECT_FALSE(JudgeRequest(Head("GET / HTTP/1.1\r\nHost: x\r\nConnection: keep-alive, Close\r\n\r\n"), "/ws", {}).keepAlive);
}

TEST(HttpRequest, UpgradesNeedAKeyAndAnAllowedOrigin) {
  const auto judge = [](const std::string& extra, const OriginPolicy& policy = {}) {
    return JudgeRequest(Head("GET /ws HTTP/1.1\r\nHost: table.lan:8118\r\nUpgrade: websocket\r\n"
                             "Connection: keep-alive, Upgrade\r\nSec-WebSocket-Version: 13\r\n" + extra + "\r\n"),
                        "/ws", policy);
  };
  const std::string key = "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n";
  EXPECT_TRUE(judge(key).upgrade);  // no Origin: a native client
  EXPECT_TRUE(judge(key + "Origin: http://TABLE.lan:8118/\r\n").upgrade);
  EXPECT_EQ(judge("").status, 400);
  EXPECT_EQ(judge("Sec-WebSocket-Key: short==\r\n").status, 400);
  EXPECT_EQ(judge("Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZR==\r\n").status, 400);  // spare bits set
  EXPECT_EQ(judge(key + key).status, 400);
  for (const char* origin : {"http://evil.example", "http://table.lan:8119", "https://table.lan:8118", "null"})
    EXPECT_EQ(judge(key + "Origin: " + origin + "\r\n").status, 403) << origin;
  EXPECT_TRUE(judge(key + "Origin: https://cards.example.org\r\n", {{"https://cards.example.org/"}, false}).upgrade);
  const std::string forwarded = key + "Origin: https://cards.example.org\r\nX-Forwarded-Proto: https\r\n"
                                      "X-Forwarded-Host: cards.example.org\r\n";
  EXPECT_EQ(judge(forwarded).status, 403);  // only a trusted proxy's headers count
  EXPECT_TRUE(judge(forwarded, {{}, true}).upgrade);
  EXPECT_TRUE(SameOrigin("https://a.example:443", "https://a.example"));
}

TEST(HttpRequest, TheClientAddressComesFromTrustedProxiesOnly) {
  const HttpRequestHead h = Head("GET / HTTP/1.1\r\nHost: x\r\nX-Forwarded-For: 6.6.6.6, 1.2.3.4\r\n"
                                 "X-Forwarded-For: 10.0.0.2\r\n\r\n");
  EXPECT_EQ(ClientAddress("9.9.9.9", h, {"10.0.0.1"}), "9.9.9.9");
  EXPECT_EQ(ClientAddress("10.0.0.1", h, {"10.0.0.1"}), "10.0.0.2");
  // The nearest address a trusted proxy did not add is the client; one it
  // cannot vouch for further left is ignored.
  EXPECT_EQ(ClientAddress("10.0.0.1", h, {"10.0.0.1", "10.0.0.2"}), "1.2.3.4");
}

TEST(RefusalTally, OneLineAtOnceThenOneCountPerMinute) {
  RefusalTally t;
  EXPECT_EQ(t.Note("431", 0), "web door refused: 431");
  for (int i = 1; i <= 500; ++i) EXPECT_EQ(t.Note("431", i), "");
  EXPECT_NE(t.Note("414", 10), "");
  EXPECT_TRUE(t.Due(59999).empty());
  const auto lines = t.Due(60000);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "web door refused 500 more in the last minute: 431");
  EXPECT_EQ(t.Note("431", 60001), "");  // still counted: the crowd goes on
  EXPECT_EQ(t.Due(120000).size(), 1u);
  EXPECT_TRUE(t.Due(180000).empty());
  EXPECT_NE(t.Note("431", 180001), "");
}

}  // namespace
}  // namespace zelbo
