#include "tools/bench/fan_out_floor.h"

#include <QCoreApplication>

#include <unistd.h>

#include <array>
#include <chrono>
#include <functional>
#include <memory>

#include "net/frames.h"
#include "net/qt/qt_transport.h"
#include "tools/bench/loop_stats.h"

namespace zelbo::bench {

namespace {

using Clock = std::chrono::steady_clock;

// Hands whatever arrives from one client to every client, then flushes, as
// the table server does after each input.
class FanOutServer : public TransportEvents {
 public:
  explicit FanOutServer(Transport& transport) : transport_(transport) { transport_.SetEvents(this); }
  ~FanOutServer() override { transport_.SetEvents(nullptr); }
  void OnAccepted(ConnId conn) override { conns_.push_back(conn); }
  void OnRead(ConnId, std::span<const uint8_t> bytes) override {
    // The clients send one 4-byte frame at a time.
    if (bytes.size() < 3) return;
    for (int i = 0; i < bytes[2]; ++i)
      for (ConnId c : conns_) transport_.Send(c, bytes.first(bytes[0] <= bytes.size() ? bytes[0] : bytes.size()));
    transport_.Flush();
  }
  std::size_t count() const { return conns_.size(); }

 private:
  Transport& transport_;
  std::vector<ConnId> conns_;
};

// Counts the whole frames that reach one client.
class CountingClient : public TransportEvents {
 public:
  explicit CountingClient(std::function<void()> onFrame) : onFrame_(std::move(onFrame)) {
    transport_.SetEvents(this);
  }
  ~CountingClient() override { transport_.SetEvents(nullptr); }
  void Connect(uint16_t port) { conn_ = transport_.Connect("127.0.0.1", port); }
  void OnConnected(ConnId) override { connected_ = true; }
  void OnRead(ConnId, std::span<const uint8_t> bytes) override {
    reader_.Feed(bytes, [this](int, std::span<const uint8_t>) {
      ++frames_;
      onFrame_();
      return true;
    });
  }
  void Send(const Frame& f) { transport_.Send(conn_, f.view()); }
  bool connected() const { return connected_; }
  long frames() const { return frames_; }

 private:
  QtTransport transport_;
  std::function<void()> onFrame_;
  FrameReader reader_{false};
  ConnId conn_ = NoConn;
  bool connected_ = false;
  long frames_ = 0;
};

}  // namespace

uint16_t StartFanOutProcess(pid_t& child) {
  int fds[2];
  if (pipe(fds) != 0) return 0;
  child = fork();
  if (child < 0) return 0;
  if (child == 0) {
    close(fds[0]);
    static int argc = 1;
    static char name[] = "zelbowin-bench-floor";
    static char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QtTransport transport;
    FanOutServer server(transport);
    std::string error;
    const uint16_t port = transport.Listen(0, error) ? transport.ListeningPort() : 0;
    const bool told = write(fds[1], &port, sizeof port) == sizeof port;
    close(fds[1]);
    if (told && port != 0) app.exec();
    _exit(0);
  }
  close(fds[1]);
  uint16_t port = 0;
  if (read(fds[0], &port, sizeof port) != sizeof port) port = 0;
  close(fds[0]);
  return port;
}

std::vector<double> MeasureFanOutFloor(int rounds, int copies, uint16_t port) {
  QtTransport serverTransport;
  FanOutServer server(serverTransport);
  if (port == 0) {
    std::string error;
    if (!serverTransport.Listen(0, error)) return {};
    port = serverTransport.ListeningPort();
  }

  std::vector<double> samples;
  std::array<std::unique_ptr<CountingClient>, 4> clients;
  long sent = 0;
  Clock::time_point sentAt;
  auto sendNext = [&] {
    sentAt = Clock::now();
    ++sent;
    clients[static_cast<std::size_t>(sent % 4)]->Send(MakePlayCard(copies));
  };
  auto onFrame = [&] {
    for (const auto& c : clients)
      if (c->frames() < sent * copies) return;
    samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - sentAt).count());
    if (static_cast<int>(samples.size()) < rounds) sendNext();
  };
  for (auto& c : clients) {
    c = std::make_unique<CountingClient>(onFrame);
    c->Connect(port);
  }
  const bool ready = RunEventsUntil(
      [&] {
        for (const auto& c : clients)
          if (!c->connected()) return false;
        return serverTransport.ListeningPort() == 0 || server.count() == 4;
      },
      10000);
  if (!ready) return {};
  sendNext();
  RunEventsUntil([&] { return static_cast<int>(samples.size()) >= rounds; }, 300000);
  return samples;
}

}  // namespace zelbo::bench
