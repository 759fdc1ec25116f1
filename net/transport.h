// Transport: the only way the protocol core touches sockets. The core asks
// the transport to listen, connect, send and close; the transport reports
// what happens on the sockets through TransportEvents, always from the one
// event-loop thread and never from inside a call the core made to it.
//
// Contract of every implementation:
// - Connections are named by ConnId values that are never reused within
//   one transport object.
// - Send never drops or cuts bytes on a connection that is kept: whatever
//   the socket cannot take at once is queued and goes out in order, and
//   QueuedBytes says how much is waiting.
// - The queue is bounded by the side that sends, not by the transport: a
//   server stops sending to a connection whose QueuedBytes exceed
//   MaxQueuedBytes and closes it abortively, so its queued bytes are
//   dropped and its peer sees a reset. The server handles that connection
//   as one that left (a seat it held falls empty and the game is
//   suspended). A peer that never reads thus costs at most about
//   MaxQueuedBytes of memory.
// - Flush hands every queued byte to the operating system as far as it
//   takes them now, without waiting for the event loop.
// - Listen binds every IPv4 interface.
// - Connect accepts a dotted IPv4 address or a host name, and a transport
//   that speaks WebSocket also a club table's link (see net/table_link.h).
// - A close the core asked for is not reported back through OnClosed.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace zelbo {

using ConnId = int;
constexpr ConnId NoConn = -1;

// The most bytes a kept connection may have queued (see the contract).
constexpr int64_t MaxQueuedBytes = 256 * 1024;

enum class CloseMode {
  Graceful,  // queued bytes are sent first, then the connection is shut down
  Abortive,  // SO_LINGER {1, 0}: the peer sees a reset, queued bytes are dropped
};

struct SocketError {
  int code = 0;         // the socket layer's error code
  std::string reason;   // readable text for the message pane
  bool hostNotFound = false;  // a host name that could not be resolved
};

// The message-pane line for a failed socket operation: "socket error N",
// then ": " and the reason when there is one.
inline std::string SocketErrorLine(const SocketError& e) {
  std::string line = "socket error " + std::to_string(e.code);
  if (!e.reason.empty()) line += ": " + e.reason;
  return line;
}

class TransportEvents {
 public:
  virtual ~TransportEvents() = default;
  // Server: a new connection was accepted.
  virtual void OnAccepted(ConnId conn) { (void)conn; }
  // Client: the connection asked for with Connect is established.
  virtual void OnConnected(ConnId conn) { (void)conn; }
  // The connection can take bytes: once after accept and once after connect.
  virtual void OnWritable(ConnId conn) { (void)conn; }
  // Bytes arrived, in chunks of at most 1024.
  virtual void OnRead(ConnId conn, std::span<const uint8_t> bytes) { (void)conn, (void)bytes; }
  // The peer closed the connection or it broke (after any OnSocketError).
  // A failed connection attempt also ends here. The id is dead afterwards.
  virtual void OnClosed(ConnId conn) { (void)conn; }
  // A send, receive, connect or listen failed. `conn` is NoConn for the
  // listening socket.
  virtual void OnSocketError(ConnId conn, const SocketError& error) { (void)conn, (void)error; }
  // About once a second while the transport listens or holds connections;
  // the server uses it to refuse connections that never greet.
  virtual void OnTick() {}
};

class Transport {
 public:
  virtual ~Transport() = default;

  // Where notices go; set once before Listen or Connect.
  virtual void SetEvents(TransportEvents* events) = 0;

  // Listens on every IPv4 interface; port 0 picks a free port. On failure
  // returns false with the socket error line ("socket error N: reason") in
  // `error`.
  virtual bool Listen(uint16_t port, std::string& error) = 0;
  // The port actually listened on (0 when not listening).
  virtual uint16_t ListeningPort() const = 0;
  virtual void StopListening() = 0;

  // Starts connecting; the outcome comes as OnConnected, or as
  // OnSocketError followed by OnClosed.
  virtual ConnId Connect(const std::string& host, uint16_t port) = 0;

  virtual void Send(ConnId conn, std::span<const uint8_t> bytes) = 0;
  virtual void Close(ConnId conn, CloseMode mode) = 0;
  // Bytes sent on `conn` that the operating system has not taken yet (0 for
  // an unknown connection).
  virtual int64_t QueuedBytes(ConnId conn) const = 0;
  // Hands queued bytes to the operating system now (see the contract).
  virtual void Flush() {}
  // The client address of a connection, for limits per address ("" when
  // unknown).
  virtual std::string PeerAddress(ConnId conn) const {
    (void)conn;
    return {};
  }

  // Monotonic milliseconds, for the greeting deadline.
  virtual int64_t NowMs() const = 0;

  // Routes, for transports that carry several tables: a route is a name
  // (a table's id) that a connection arrives under. ListenRoute opens a
  // port on the loopback interface only whose connections come under
  // `route`, and returns it (0 with the socket error line in `error` when it
  // cannot). RouteOf names a connection's route, "" for one that came to
  // the shared port.
  virtual uint16_t ListenRoute(const std::string& route, std::string& error) {
    (void)route;
    error = "this transport has no routes";
    return 0;
  }
  virtual void StopRoute(const std::string& route) { (void)route; }
  virtual std::string RouteOf(ConnId conn) const {
    (void)conn;
    return {};
  }
};

}  // namespace zelbo
