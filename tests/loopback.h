// Tests over loopback sockets: the QCoreApplication, waiting with a deadline,
// and a peer on a plain socket that sends exactly the bytes a test gives.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <functional>

#include "net/qt/epoll_dispatcher.h"
#include "tests/fake_transport.h"

namespace zelbo::testing {

inline QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "net_test", *argv[] = {name, nullptr};
  static QCoreApplication* app = QCoreApplication::instance();
  if (app) return *app;
  // The same tests again over the servers' own dispatcher.
  if (qEnvironmentVariableIsSet("ZELBO_TEST_EPOLL")) UseDispatcherForManySockets();
  return *(app = new QCoreApplication(argc, argv));
}

// Runs the event loop until `done` holds (true) or `ms` have passed (false).
inline bool WaitUntil(const std::function<bool()>& done, int ms = 20000) {
  App();
  QElapsedTimer clock;
  clock.start();
  QTimer wake;  // wakes the loop now and then so the deadline is seen
  wake.start(20);
  while (!done()) {
    if (clock.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  return true;
}

// A socket to 127.0.0.1:port, each send its own segment; reads never block
// (the server runs on this thread's event loop).
struct RawPeer {
  explicit RawPeer(uint16_t port) {
    sockaddr_in a{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) error = errno;
  }
  ~RawPeer() { close(fd); }
  void Send(const std::vector<uint8_t>& b) {
    if (send(fd, b.data(), b.size(), MSG_NOSIGNAL) < 0 && !error) error = errno;
  }
  void Send(const Frame& f) { Send(Bytes(f)); }
  // Sends what of `s` the socket takes now, without waiting; false once the connection is gone.
  bool Push(const std::string& s) {
    return send(fd, s.data(), s.size(), MSG_NOSIGNAL | MSG_DONTWAIT) >= 0 || errno == EAGAIN;
  }
  std::string Text() {  // all that has arrived
    Ended();
    return {in.begin(), in.end()};
  }
  // Takes in what has arrived; true once the connection has ended (`error`
  // then holds the socket error, 0 for an orderly end).
  bool Ended() {
    uint8_t buffer[65536];
    ssize_t n;
    while ((n = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT)) > 0) in.insert(in.end(), buffer, buffer + n);
    if (n < 0 && errno != EAGAIN && !error) error = errno;
    return ended |= n == 0 || error != 0;
  }
  int Count(int type, const std::string& text = "") {
    Ended();
    int n = 0;
    for (const DecodedFrame& f : DecodeFrames(in)) n += f.type == type && (text.empty() || f.text() == text);
    return n;
  }
  bool HasText(const std::string& text) { return Count(MsgText, text) > 0; }

  int fd = socket(AF_INET, SOCK_STREAM, 0);
  int error = 0;
  bool ended = false;
  std::vector<uint8_t> in;
};

}  // namespace zelbo::testing
