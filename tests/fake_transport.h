// A Transport that records what the core sends and lets a test play the
// socket side, a UI that records what either role shows, and a temporary folder.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "net/client_session.h"
#include "net/frames.h"
#include "net/server_table.h"
#include "net/transport.h"

namespace zelbo::testing {

struct DecodedFrame {
  int type = -1;
  std::vector<uint8_t> payload;
  std::string text() const { return {payload.begin(), payload.end()}; }
};

// The complete frames at the front of `bytes`; `used` gets their byte count.
inline std::vector<DecodedFrame> DecodeFrames(const std::vector<uint8_t>& bytes, std::size_t* used = nullptr) {
  std::vector<DecodedFrame> frames;
  std::size_t at = 0;
  for (; at + 2 <= bytes.size() && bytes[at] >= 2 && at + bytes[at] <= bytes.size(); at += bytes[at])
    frames.push_back({bytes[at + 1], {bytes.begin() + static_cast<std::ptrdiff_t>(at) + 2,
                                      bytes.begin() + static_cast<std::ptrdiff_t>(at + bytes[at])}});
  if (used) *used = at;
  return frames;
}

inline std::vector<uint8_t> Bytes(const Frame& f) { return {f.bytes.begin(), f.bytes.begin() + f.size}; }
// Several frames as one stream, in order.
inline std::vector<uint8_t> Bytes(std::initializer_list<Frame> frames) {
  std::vector<uint8_t> b;
  for (const Frame& f : frames) b.insert(b.end(), f.bytes.begin(), f.bytes.begin() + f.size);
  return b;
}

// "P0", "w12", ...: a name and a number, built by appending (GCC 12 warns
// falsely about "P" + std::to_string(n) in optimised builds).
inline std::string Numbered(std::string_view prefix, int n) {
  std::string name(prefix);
  name += std::to_string(n);
  return name;
}

inline std::vector<uint8_t> Hello(const std::string& handle) {  // greeting and MsgJoin in one
  std::vector<uint8_t> b(Greeting.begin(), Greeting.end()), join = Bytes(MakeJoin(handle));
  b.insert(b.end(), join.begin(), join.end());
  return b;
}

class FakeTransport : public Transport {
 public:
  void SetEvents(TransportEvents* events) override { events_ = events; }
  bool Listen(uint16_t, std::string&) override { return true; }
  uint16_t ListeningPort() const override { return 40000; }
  void StopListening() override {}
  ConnId Connect(const std::string&, uint16_t) override { return lastConn = next_++; }
  void Send(ConnId conn, std::span<const uint8_t> bytes) override {
    sent[conn].insert(sent[conn].end(), bytes.begin(), bytes.end());
  }
  void Close(ConnId conn, CloseMode mode) override { closed[conn] = mode; }
  int64_t NowMs() const override { return now; }
  // A stalled connection's peer reads nothing: all it was sent stays queued.
  int64_t QueuedBytes(ConnId conn) const override {
    const auto it = sent.find(conn);
    return stalled.count(conn) && it != sent.end() ? static_cast<int64_t>(it->second.size()) : 0;
  }
  void Flush() override { ++flushes; }

  ConnId Accept() { events_->OnAccepted(next_); return next_++; }  // a new incoming connection
  void Deliver(ConnId conn, std::span<const uint8_t> bytes) { events_->OnRead(conn, bytes); }
  void Deliver(ConnId conn, const Frame& f) { Deliver(conn, f.view()); }
  void Greet(ConnId conn, const std::string& handle) { Deliver(conn, Hello(handle)); }
  // The frames sent on a connection since the last call.
  std::vector<DecodedFrame> Frames(ConnId conn) {
    std::size_t used = 0;
    auto frames = DecodeFrames(sent[conn], &used);
    sent[conn].erase(sent[conn].begin(), sent[conn].begin() + static_cast<std::ptrdiff_t>(used));
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
  std::set<ConnId> stalled;
  int flushes = 0;
  int64_t now = 0;
  ConnId lastConn = NoConn;

 private:
  ConnId next_ = 100;
};

// Records what the core asks of its screen, for the server and the client.
struct RecordingUi : ServerUi, ClientUi {
  int hides = 0, closes = 0;
  std::vector<std::string> lines;
  void HideDecisionDialogs() override { ++hides; }
  void PaneLineAdded(std::string_view line) override { lines.emplace_back(line); }
  void ConnectionClosed() override { ++closes; }
};

// A new folder under the system's temporary directory (or `base`), removed
// at the end.
struct TempDir {
  std::string path;
  explicit TempDir(const std::filesystem::path& base = std::filesystem::temp_directory_path())
      : path(base / "zelbo_test_XXXXXX") {
    if (!mkdtemp(path.data())) path = "/nonexistent/zelbo_test";
  }
  ~TempDir() { std::filesystem::remove_all(path); }
};

}  // namespace zelbo::testing
