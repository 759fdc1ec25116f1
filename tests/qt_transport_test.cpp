// The socket transport over real loopback connections.
#include "net/qt/qt_transport.h"

#include <gtest/gtest.h>

#include <QTcpSocket>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <vector>

#include "tests/loopback.h"

namespace zelbo {
namespace {

using testing::WaitUntil;

struct Recorder : TransportEvents {
  std::vector<ConnId> accepted, connected, writable, closed;
  std::map<ConnId, std::vector<uint8_t>> received;
  std::vector<SocketError> errors;
  std::size_t largestRead = 0;
  void OnAccepted(ConnId c) override { accepted.push_back(c); }
  void OnConnected(ConnId c) override { connected.push_back(c); }
  void OnWritable(ConnId c) override { writable.push_back(c); }
  void OnRead(ConnId c, std::span<const uint8_t> b) override {
    largestRead = std::max(largestRead, b.size());
    received[c].insert(received[c].end(), b.begin(), b.end());
  }
  void OnClosed(ConnId c) override { closed.push_back(c); }
  void OnSocketError(ConnId, const SocketError& e) override { errors.push_back(e); }
};

class QtTransportTest : public ::testing::Test {
 protected:
  QtTransportTest() {
    testing::App();
    server_.SetEvents(&serverEvents_);
    client_.SetEvents(&clientEvents_);
    EXPECT_TRUE(server_.Listen(0, nullptr));
    port_ = server_.ListeningPort();
  }
  // A raw blocking socket connected to the server, for checks at the
  // system-call level.
  int RawConnect() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port_);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    timeval tv{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    return fd;
  }

  QtTransport server_, client_;
  Recorder serverEvents_, clientEvents_;
  uint16_t port_ = 0;
};

TEST_F(QtTransportTest, ConnectsByNameExchangesBytesAndReadsInSmallChunks) {
  ASSERT_NE(port_, 0);
  const ConnId c = client_.Connect("localhost", port_);
  ASSERT_TRUE(WaitUntil([&] { return !clientEvents_.connected.empty() && !serverEvents_.accepted.empty(); }));
  EXPECT_EQ(clientEvents_.connected[0], c);
  EXPECT_EQ(clientEvents_.writable[0], c);
  const ConnId s = serverEvents_.accepted[0];
  EXPECT_EQ(serverEvents_.writable[0], s);
  std::vector<uint8_t> big(5000);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7);
  client_.Send(c, big);
  ASSERT_TRUE(WaitUntil([&] { return serverEvents_.received[s].size() == big.size(); }));
  EXPECT_EQ(serverEvents_.received[s], big);
  EXPECT_LE(serverEvents_.largestRead, 1024u);
  server_.Send(s, std::vector<uint8_t>{1, 2, 3});
  ASSERT_TRUE(WaitUntil([&] { return clientEvents_.received[c].size() == 3; }));
  client_.Close(c, CloseMode::Graceful);
  ASSERT_TRUE(WaitUntil([&] { return !serverEvents_.closed.empty(); }));
  EXPECT_EQ(serverEvents_.closed[0], s);
  EXPECT_TRUE(clientEvents_.closed.empty());  // a close we asked for is not reported
}

TEST_F(QtTransportTest, QueuesWhatTheSocketCannotTakeAndKeepsOrder) {
  const int fd = RawConnect();
  ASSERT_TRUE(WaitUntil([&] { return !serverEvents_.accepted.empty(); }));
  const ConnId s = serverEvents_.accepted[0];
  // Far more than the socket buffers hold while the peer does not read.
  constexpr std::size_t Total = 16 << 20;
  std::vector<uint8_t> chunk(4096);
  for (std::size_t sent = 0; sent < Total; sent += chunk.size()) {
    for (std::size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<uint8_t>((sent + i) % 251);
    server_.Send(s, chunk);
  }
  ASSERT_TRUE(WaitUntil([&] { return server_.QueuedBytes(s) < static_cast<int64_t>(Total); }, 5000));
  EXPECT_GT(server_.QueuedBytes(s), 0);  // the kernel refused part of it
  std::size_t got = 0;
  bool inOrder = true;
  std::vector<uint8_t> buffer(65536);
  while (got < Total) {
    // Let the transport move queued bytes on while we read.
    testing::App().processEvents(QEventLoop::AllEvents, 5);
    const ssize_t n = recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK) continue;
      break;
    }
    for (ssize_t i = 0; i < n; ++i)
      inOrder &= buffer[static_cast<std::size_t>(i)] == static_cast<uint8_t>((got + static_cast<std::size_t>(i)) % 251);
    got += static_cast<std::size_t>(n);
  }
  EXPECT_EQ(got, Total);
  EXPECT_TRUE(inOrder);
  close(fd);
}

TEST_F(QtTransportTest, AbortiveCloseResetsGracefulCloseEnds) {
  const int hard = RawConnect();
  const int soft = RawConnect();
  ASSERT_TRUE(WaitUntil([&] { return serverEvents_.accepted.size() == 2; }));
  server_.Close(serverEvents_.accepted[0], CloseMode::Abortive);
  server_.Close(serverEvents_.accepted[1], CloseMode::Graceful);
  ASSERT_TRUE(WaitUntil([] { return true; }));
  testing::App().processEvents();
  char byte = 0;
  errno = 0;
  EXPECT_EQ(recv(hard, &byte, 1, 0), -1);
  EXPECT_EQ(errno, ECONNRESET);
  EXPECT_EQ(recv(soft, &byte, 1, 0), 0);
  close(hard);
  close(soft);
}

TEST_F(QtTransportTest, FailedConnectionsReportAnErrorAndClose) {
  QtTransport spare;
  ASSERT_TRUE(spare.Listen(0, nullptr));
  const uint16_t deadPort = spare.ListeningPort();
  spare.StopListening();
  const ConnId refused = client_.Connect("127.0.0.1", deadPort);
  ASSERT_TRUE(WaitUntil([&] { return !clientEvents_.closed.empty(); }));
  EXPECT_EQ(clientEvents_.closed[0], refused);
  ASSERT_EQ(clientEvents_.errors.size(), 1u);
  EXPECT_FALSE(clientEvents_.errors[0].hostNotFound);
  EXPECT_FALSE(clientEvents_.errors[0].reason.empty());

  const ConnId unknown = client_.Connect("no-such-host.invalid", 2118);
  ASSERT_TRUE(WaitUntil([&] { return clientEvents_.closed.size() == 2; }, 60000));
  EXPECT_EQ(clientEvents_.closed[1], unknown);
  ASSERT_EQ(clientEvents_.errors.size(), 2u);
  EXPECT_TRUE(clientEvents_.errors[1].hostNotFound);
}

TEST_F(QtTransportTest, PortInUseIsReportedWithReason) {
  QtTransport second;
  SocketError error;
  EXPECT_FALSE(second.Listen(port_, &error));
  EXPECT_FALSE(error.reason.empty());
}

}  // namespace
}  // namespace zelbo
