// A Transport for the protocol core's unit tests: it records what the core
// sends and closes, and lets a test play the socket side by calling the
// TransportEvents methods itself.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "net/frames.h"
#include "net/transport.h"

namespace zelbo::testing {

struct DecodedFrame {
  int type = -1;
  std::vector<uint8_t> payload;
  std::string text() const { return {payload.begin(), payload.end()}; }
};

class FakeTransport : public Transport {
 public:
  void SetEvents(TransportEvents* events) override { events_ = events; }
  bool Listen(uint16_t port, SocketError* error) override {
    if (failListen) {
      if (error) *error = SocketError{98, "Address already in use", false};
      return false;
    }
    port_ = port == 0 ? 40000 : port;
    return true;
  }
  uint16_t ListeningPort() const override { return port_; }
  void StopListening() override { port_ = 0; }
  ConnId Connect(const std::string& host, uint16_t port) override {
    lastHost = host;
    lastPort = port;
    return next_++;
  }
  void Send(ConnId conn, std::span<const uint8_t> bytes) override {
    auto& out = sent[conn];
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  void Close(ConnId conn, CloseMode mode) override { closed[conn] = mode; }
  int64_t NowMs() const override { return now; }

  // A new incoming connection (server side).
  ConnId Accept() {
    const ConnId c = next_++;
    events_->OnAccepted(c);
    return c;
  }
  void Deliver(ConnId conn, const std::vector<uint8_t>& bytes) { events_->OnRead(conn, bytes); }
  void Deliver(ConnId conn, const Frame& f) {
    events_->OnRead(conn, std::vector<uint8_t>(f.bytes.begin(), f.bytes.begin() + f.size));
  }
  // Greeting plus MsgJoin in one read, as a client sends them.
  void Greet(ConnId conn, const std::string& handle) {
    std::vector<uint8_t> b(Greeting.begin(), Greeting.end());
    const Frame j = MakeJoin(handle);
    b.insert(b.end(), j.bytes.begin(), j.bytes.begin() + j.size);
    Deliver(conn, b);
  }
  bool IsClosed(ConnId conn) const { return closed.count(conn) != 0; }

  // Frames sent on a connection so far (and forgets them when `take`).
  std::vector<DecodedFrame> Frames(ConnId conn, bool take = true) {
    std::vector<DecodedFrame> frames;
    auto& bytes = sent[conn];
    std::size_t at = 0;
    while (at + 2 <= bytes.size() && at + bytes[at] <= bytes.size() && bytes[at] >= 2) {
      DecodedFrame f;
      f.type = bytes[at + 1];
      f.payload.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at) + 2,
                       bytes.begin() + static_cast<std::ptrdiff_t>(at) + bytes[at]);
      frames.push_back(std::move(f));
      at += bytes[at];
    }
    if (take) bytes.erase(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
    return frames;
  }
  std::vector<std::string> Texts(ConnId conn) {
    std::vector<std::string> texts;
    for (const DecodedFrame& f : Frames(conn))
      if (f.type == MsgText) texts.push_back(f.text());
    return texts;
  }

  TransportEvents* events_ = nullptr;
  std::map<ConnId, std::vector<uint8_t>> sent;
  std::map<ConnId, CloseMode> closed;
  int64_t now = 0;
  bool failListen = false;
  std::string lastHost;
  uint16_t lastPort = 0;

 private:
  uint16_t port_ = 0;
  ConnId next_ = 100;
};

}  // namespace zelbo::testing
