// The web door of the real server under attack, with four robots playing:
// after each attack the server's resident memory has grown by less than a
// bound, and a desktop player over TCP and a browser over WebSocket still
// join within a second.
#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <memory>
#include <string>
#include <vector>

#include "tests/server_process.h"
#include "tests/web_peer.h"
#include "web/qt/web_door.h"

namespace zelbo {
namespace {

using testing::WaitUntil;

constexpr long MB = 1024;  // VmRSS is in kB

// zelbowin-server with four robots, its table and web door on free ports.
struct Server : testing::ServerProcess {
  explicit Server(QStringList extra = {}) {
    // A small quarantine, so the sanitizer's hold on freed memory does not
    // count as growth.
    SetEnv("ASAN_OPTIONS", "quarantine_size_mb=4:detect_leaks=0");
    Start(QStringList{"--port", "0", "--web", "0", "--robots", "4", "--seed", "3", "--dir",
                      QString::fromStdString(dir.path)} + extra);
    EXPECT_TRUE(Shows("is sitting East")) << out;
    port = Port("table open on port ");
    web = Port("browsers on port ");
  }
  ~Server() { Stop(); }  // before its folder goes
  long RssKb() const { return StatusKiB("VmRSS:"); }

  // A desktop player over TCP and a browser over WebSocket both join within
  // a second (`what` names the check; handles are short, as the table cuts
  // them at 31 characters).
  void StillJoins(const std::string& what) {
    const std::string n = std::to_string(++joins);
    testing::RawPeer desk(port);
    desk.Send(testing::Hello("Desk " + n));
    testing::WebPeer browser(web);
    browser.Send(testing::Hello("Web " + n));
    EXPECT_TRUE(WaitUntil([&] {
      return desk.HasText("Desk " + n + " has joined the table") && browser.HasText("Web " + n + " has joined the table");
    }, 1000)) << what;
  }

  testing::TempDir dir;
  uint16_t port = 0, web = 0;
  int joins = 0;
};

using Raw = testing::RawPeer;

std::string Upgrade(const std::string& origin, const std::string& extra = "") {
  return "GET /ws HTTP/1.1\r\nHost: 127.0.0.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
         "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n" +
         (origin.empty() ? "" : "Origin: " + origin + "\r\n") + extra + "\r\n";
}

// Keeps pushing `chunk` for `ms` (or until the door closes), never reading:
// a door that closes with unread input resets, which the next send sees.
bool Flood(Raw& r, const std::string& chunk, int ms) {
  bool open = true;
  WaitUntil([&] {
    for (int i = 0; i < 64 && open; ++i) open = r.Push(chunk);
    return !open;
  }, ms);
  return open;
}

TEST(DoorAttack, FloodsAndBombsAreBoundedAndTheTableStaysOpen) {
  Server s;
  ASSERT_NE(s.web, 0) << s.out;
  s.StillJoins("first");
  const struct {
    const char* name;
    long boundMb;
    std::function<void(Raw&)> attack;
  } attacks[] = {
      {"pipelined GETs never read", 64, [](Raw& r) {
         std::string gets;
         for (int i = 0; i < 100; ++i) gets += "GET / HTTP/1.1\r\nHost: x\r\n\r\n";
         Flood(r, gets, 2000);
       }},
      {"pings before the greeting, never read", 64, [](Raw& r) {
         r.Push(Upgrade(""));
         std::string ping = {'\x89', '\xfd', 0, 0, 0, 0};  // masked, 125 bytes
         ping += std::string(125, 'p');
         std::string pings;
         for (int i = 0; i < 64; ++i) pings += ping;
         Flood(r, pings, 3000);
       }},
      {"header lines without end", 32, [](Raw& r) {
         r.Push("GET / HTTP/1.1\r\nHost: x\r\n");
         EXPECT_FALSE(Flood(r, "X-Fill: " + std::string(1000, 'a') + "\r\n", 5000));
       }},
      {"a body of a gigabyte", 32, [](Raw& r) {
         r.Push("POST / HTTP/1.1\r\nHost: x\r\nContent-Length: 1000000000\r\n\r\n");
         EXPECT_FALSE(Flood(r, std::string(65536, 'b'), 5000));
       }},
      {"a request line of megabytes", 32, [](Raw& r) {
         r.Push("GET /");
         EXPECT_FALSE(Flood(r, std::string(65536, 'a'), 5000));
       }},
  };
  for (const auto& a : attacks) {
    const long before = s.RssKb();
    {
      Raw r(s.web);
      a.attack(r);
      EXPECT_LT(s.RssKb() - before, a.boundMb * MB) << a.name;
      s.StillJoins(a.name);
    }
  }
}

// Held WebSocket upgrades from one peer, each naming the client in
// X-Forwarded-For (all the same one, or each another); how many the door
// refused with 429.
int RefusedUpgrades(uint16_t web, bool oneClient) {
  std::vector<std::unique_ptr<Raw>> held;
  for (int i = 0; i <= WebDoor::MaxWebSocketsPerAddress; ++i) {
    held.push_back(std::make_unique<Raw>(web));
    held.back()->Push(Upgrade("", "X-Forwarded-For: 10.0.0." + std::to_string(oneClient ? 1 : i + 2) + "\r\n"));
    WaitUntil([&] { return held.back()->Ended() || held.back()->Text().find("\r\n\r\n") != std::string::npos; }, 5000);
  }
  int refused = 0;
  for (auto& r : held) refused += r->Text().rfind("HTTP/1.1 429 ", 0) == 0;
  return refused;
}

TEST(DoorAttack, SlowRequestsAreCappedPerAddressAndClosedInTime) {
  Server s;
  std::vector<std::unique_ptr<Raw>> slow;
  for (int i = 0; i < 40; ++i) {
    slow.push_back(std::make_unique<Raw>(s.web));
    slow.back()->Push("G");
  }
  // Past 16 from one address the door answers 429 at once.
  ASSERT_TRUE(WaitUntil([&] {
    int refused = 0;
    for (auto& r : slow) refused += r->Ended() && r->Text().find(" 429 ") != std::string::npos;
    return refused == 40 - 16;
  }, 5000));
  // Meanwhile the table's join lines are rate-limited per address: a crowd
  // that comes and goes is told in one line.
  testing::RawPeer watcher(s.port);
  watcher.Send(testing::Hello("Watcher"));
  QElapsedTimer churning;
  churning.start();
  for (int i = 0; i < 60; ++i) {
    testing::RawPeer churn(s.port);
    churn.Send(testing::Hello("Churn"));
    ASSERT_TRUE(WaitUntil([&] { return churn.HasText("Churn has joined the table"); }, 5000));
  }
  // Joins and leaves alike: a burst of 10, then two a second.
  const int told = watcher.Count(MsgText, "Churn has joined the table") + watcher.Count(MsgText, "Churn has left the table");
  EXPECT_LE(told, 10 + 2 * (churning.elapsed() / 1000 + 1));
  // The robots and earlier joiners share this address's burst, so how many
  // of the crowd are named varies; some are, then the rest are summed up.
  EXPECT_GE(told, 2);
  // The rest of each slow request does not come: all are gone within the
  // deadline (10 s, and the door looks twice a second).
  ASSERT_TRUE(WaitUntil([&] {
    for (auto& r : slow)
      if (!r->Ended()) return false;
    return true;
  }, 12000));
  s.StillJoins("after the slow ones");
  // From a peer that is no trusted proxy, X-Forwarded-For names nobody.
  EXPECT_EQ(RefusedUpgrades(s.web, false), 1);
  ASSERT_TRUE(WaitUntil([&] { return watcher.Count(MsgText) > 0 && s.Logged("people joined and left"); }, 5000))
      << s.out;
  EXPECT_TRUE(s.Logged("web door refused: too many connections from one address (429)"));
  EXPECT_EQ(s.out.find("web door refused: too many connections from one address (429)",
                       s.out.find("too many connections from one address") + 1),
            std::string::npos);  // told once, then counted
}

// A player who drops while watchers take every other slot and keep talking
// gets the seat back at once: the table lets the player in over its limit
// and sends the watcher silent longest away.
TEST(DoorAttack, ADroppedPlayerGetsTheSeatBackPastChattyWatchers) {
  Server s({"--robots", "3"});  // West, North and East
  const auto sit = [&](testing::RawPeer& p) {
    p.Send(testing::Hello("Player"));
    p.Send(MakeSitRequest(South));
    return WaitUntil([&] { return p.HasText("Player is sitting South"); }, 5000);
  };
  auto player = std::make_unique<testing::RawPeer>(s.port);
  ASSERT_TRUE(sit(*player));
  std::vector<std::unique_ptr<testing::RawPeer>> watchers;
  const auto watch = [&] {
    watchers.push_back(std::make_unique<testing::RawPeer>(s.port));
    const std::string handle = testing::Numbered("W", static_cast<int>(watchers.size()));
    watchers.back()->Send(testing::Hello(handle));
    return WaitUntil([&] { return watchers.back()->HasText(handle + " has joined the table"); }, 5000);
  };
  while (watchers.size() < 28) ASSERT_TRUE(watch());
  player.reset();
  ASSERT_TRUE(WaitUntil([&] { return watchers.back()->HasText("Player has left the table"); }, 5000));
  ASSERT_TRUE(watch());  // the table is full again
  for (auto& w : watchers) w->Send(MakeChat("still watching"));
  testing::RawPeer back(s.port);
  ASSERT_TRUE(sit(back));
  EXPECT_TRUE(WaitUntil([&] { return back.HasText("Game resumed"); }, 5000));
  const auto left = [&] {
    int n = 0;
    for (auto& w : watchers) n += w->Ended();
    return n;
  };
  EXPECT_TRUE(WaitUntil([&] { return left() == 1; }, 5000));
  EXPECT_EQ(left(), 1);
}

std::string Answer(uint16_t port, const std::string& request) {
  Raw r(port);
  r.Push(request);
  WaitUntil([&] { return r.Ended() || r.Text().find("\r\n\r\n") != std::string::npos; }, 5000);
  return r.Text();
}

TEST(DoorAttack, ForeignOriginsAreRefusedAndEveryAnswerCarriesTheSecurityHeaders) {
  Server s({"--web-origin", "https://cards.example.org", "--trusted-proxy", "127.0.0.1"});
  // Behind the trusted proxy, WebSockets are counted per forwarded client.
  EXPECT_EQ(RefusedUpgrades(s.web, false), 0);
  EXPECT_EQ(RefusedUpgrades(s.web, true), 1);
  const std::string foreign = Answer(s.web, Upgrade("http://evil.example"));
  EXPECT_EQ(foreign.rfind("HTTP/1.1 403 ", 0), 0u) << foreign;
  EXPECT_EQ(foreign.find("Access-Control-Allow-Origin"), std::string::npos);
  for (const std::string& origin :
       std::vector<std::string>{"https://cards.example.org", "http://127.0.0.1", ""}) {
    const std::string ok = Answer(s.web, Upgrade(origin));
    EXPECT_EQ(ok.rfind("HTTP/1.1 101 ", 0), 0u) << origin << ok;
    // Qt's WebSocket handshake names the Origin it was given; only one the
    // door accepted can get that far.
    EXPECT_TRUE(origin.empty() || ok.find("Access-Control-Allow-Origin: " + origin) != std::string::npos ||
                ok.find("Access-Control-Allow-Origin") == std::string::npos);
    EXPECT_EQ(ok.find("Server: \r\n"), std::string::npos);
  }
  // The public name a trusted proxy forwards is the page's own origin.
  EXPECT_EQ(Answer(s.web, Upgrade("https://table.example.net",
                                  "X-Forwarded-Proto: https\r\nX-Forwarded-Host: table.example.net\r\n"))
                .rfind("HTTP/1.1 101 ", 0),
            0u);
  for (const std::string& request :
       std::vector<std::string>{"GET / HTTP/1.1\r\nHost: x\r\n\r\n", "GET /missing HTTP/1.1\r\nHost: x\r\n\r\n",
        Upgrade("", "").replace(Upgrade("").find("dGhl"), 4, "!!!!")}) {
    const std::string answer = Answer(s.web, request);
    for (const char* header : {"X-Content-Type-Options: nosniff\r\n", "Referrer-Policy: no-referrer\r\n",
                               "script-src 'self' 'wasm-unsafe-eval'", "connect-src 'self'",
                               "frame-ancestors 'none'", "Content-Type: "})
      EXPECT_NE(answer.find(header), std::string::npos) << header << "\n" << answer;
  }
  EXPECT_TRUE(s.Shows("web door refused: WebSocket from a foreign origin (403)", 5000));
}

}  // namespace
}  // namespace zelbo
