// The socket transport over real loopback connections.
#include "net/qt/qt_transport.h"

#include <gtest/gtest.h>

#include <poll.h>

#include <map>
#include <vector>

#include "tests/loopback.h"

namespace zelbo {
namespace {

using testing::RawPeer;
using testing::WaitUntil;

struct Recorder : TransportEvents {
  std::vector<ConnId> accepted, closed;
  std::map<ConnId, std::vector<uint8_t>> received;
  std::vector<SocketError> errors;
  std::size_t largestRead = 0;
  void OnAccepted(ConnId c) override { accepted.push_back(c); }
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
    std::string error;
    EXPECT_TRUE(server_.Listen(0, error)) << error;
    port_ = server_.ListeningPort();
  }
  QtTransport server_, client_;
  Recorder serverEvents_, clientEvents_;
  uint16_t port_ = 0;
};

TEST_F(QtTransportTest, ReadsInSmallChunksAndQueuesWhatTheSocketCannotTakeInOrder) {
  RawPeer peer(port_);
  constexpr std::size_t Total = 16 << 20;
  std::vector<uint8_t> bytes(Total);
  for (std::size_t i = 0; i < Total; ++i) bytes[i] = static_cast<uint8_t>(i % 251);
  const std::vector<uint8_t> head(bytes.begin(), bytes.begin() + 5000);
  peer.Send(head);
  ASSERT_TRUE(WaitUntil([&] { return serverEvents_.accepted.size() == 1 && serverEvents_.received[serverEvents_.accepted[0]] == head; }));
  EXPECT_LE(serverEvents_.largestRead, 1024u);
  // Far more than the socket buffers hold while the peer does not read.
  const ConnId s = serverEvents_.accepted[0];
  for (std::size_t at = 0; at < Total; at += 4096) server_.Send(s, std::span(bytes).subspan(at, 4096));
  ASSERT_TRUE(WaitUntil([&] { return server_.QueuedBytes(s) < static_cast<int64_t>(Total); }, 5000));
  EXPECT_GT(server_.QueuedBytes(s), 0);  // the kernel refused part of it
  ASSERT_TRUE(WaitUntil([&] { return peer.Ended() || peer.in.size() >= Total; }));
  EXPECT_TRUE(peer.in == bytes);
}

TEST_F(QtTransportTest, AbortiveCloseResetsGracefulCloseEndsFailuresCarryAReason) {
  RawPeer hard(port_), soft(port_);
  ASSERT_TRUE(WaitUntil([&] { return serverEvents_.accepted.size() == 2; }));
  server_.Close(serverEvents_.accepted[0], CloseMode::Abortive);
  server_.Close(serverEvents_.accepted[1], CloseMode::Graceful);
  ASSERT_TRUE(WaitUntil([&] { return hard.Ended() && soft.Ended(); }));
  EXPECT_EQ(hard.error, ECONNRESET);
  EXPECT_EQ(soft.error, 0);
  EXPECT_TRUE(serverEvents_.closed.empty());  // a close the core asked for is not reported
  // Failed connections are reported with a reason. (A busy port: the table and server program tests.)
  server_.StopListening();
  const ConnId refused = client_.Connect("127.0.0.1", port_);
  const ConnId unknown = client_.Connect("no-such-host.invalid", 2118);
  ASSERT_TRUE(WaitUntil([&] { return clientEvents_.closed.size() == 2; }, 60000));
  ASSERT_EQ(clientEvents_.errors.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    const bool isUnknown = clientEvents_.closed[i] == unknown;
    EXPECT_EQ(clientEvents_.closed[i], isUnknown ? unknown : refused);
    EXPECT_EQ(clientEvents_.errors[i].hostNotFound, isUnknown);
    EXPECT_FALSE(clientEvents_.errors[i].reason.empty());
  }
}

// A peer that takes nothing cannot hold a gracefully closed connection: once
// the limit has passed with bytes still queued, the connection is reset.
TEST_F(QtTransportTest, AGracefulCloseThatCannotFinishIsResetAfterTheLimit) {
  server_.SetGracefulCloseLimitMs(200);
  RawPeer peer(port_);
  ASSERT_TRUE(WaitUntil([&] { return serverEvents_.accepted.size() == 1; }));
  const ConnId s = serverEvents_.accepted[0];
  const std::vector<uint8_t> block(1 << 20, 7);
  for (int i = 0; i < 16; ++i) server_.Send(s, block);  // more than the socket buffers hold
  server_.Close(s, CloseMode::Graceful);
  // Looked at without reading, so the peer's window stays shut.
  auto reset = [&] {
    pollfd p{peer.fd, 0, 0};
    return poll(&p, 1, 0) == 1 && (p.revents & (POLLERR | POLLHUP)) != 0;
  };
  ASSERT_TRUE(WaitUntil(reset, 20000));
  int error = 0;
  socklen_t size = sizeof error;
  getsockopt(peer.fd, SOL_SOCKET, SO_ERROR, &error, &size);
  EXPECT_EQ(error, ECONNRESET);
  EXPECT_TRUE(serverEvents_.closed.empty());  // a close the core asked for is not reported
}

}  // namespace
}  // namespace zelbo
