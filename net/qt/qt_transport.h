// QtTransport: the Transport over QTcpServer and QTcpSocket, on the Qt
// event loop of the calling thread. One object serves one role: it listens
// (server) or connects (client), or both in tests. Reads are handed on in
// chunks of at most 1024 bytes, and at most ReadSliceBytes of one
// connection at a time before other sockets get their turn; writes go
// through the socket's own buffer, which queues whatever the kernel cannot
// take at once.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <map>
#include <memory>
#include <set>
#include <string>

#include "net/transport.h"

class QTcpServer;
class QTcpSocket;
class QWebSocket;

namespace zelbo {

class PausableSocket;

// One connection of the transport, whatever carries it.
class Link {
 public:
  virtual ~Link() = default;
  virtual void Send(std::span<const uint8_t> bytes) = 0;
  virtual void Flush() = 0;
  // Bytes not yet taken by the operating system, everything queued counted.
  virtual int64_t Queued() const = 0;
  // Ends the connection; the link lets go of its socket, which cleans up
  // after itself (a graceful close is reset after `gracefulLimitMs`).
  virtual void Close(CloseMode mode, int gracefulLimitMs) = 0;
  // The byte socket to read from, for links read as a stream (TCP).
  virtual QTcpSocket* Stream() const { return nullptr; }
  std::string address;
  std::string route;         // the route it came under ("" for the shared port)
  int64_t overSinceMs = -1;  // when the peer's traffic first overfilled the queue
};

class QtTransport : public QObject, public Transport {
  Q_OBJECT
 public:
  explicit QtTransport(QObject* parent = nullptr);
  ~QtTransport() override;

  void SetEvents(TransportEvents* events) override { events_ = events; }
  bool Listen(uint16_t port, std::string& error) override;
  uint16_t ListeningPort() const override;
  void StopListening() override;
  ConnId Connect(const std::string& host, uint16_t port) override;
  void Send(ConnId conn, std::span<const uint8_t> bytes) override;
  void Close(ConnId conn, CloseMode mode) override;
  int64_t NowMs() const override;
  int64_t QueuedBytes(ConnId conn) const override;
  void Flush() override;

  // Takes over an open WebSocket connection (a browser that came in at the
  // web door) as a connection of this transport like a TCP one: its binary
  // messages are read as one byte stream, and what is sent goes out as
  // binary messages. `tcp` is the socket under it, held back when the
  // peer's traffic (pongs included) fills the send queue; `address` is the
  // client's address. Reported as OnAccepted, then OnWritable.
  ConnId AdoptWebSocket(std::unique_ptr<QWebSocket> socket, PausableSocket* tcp,
                        std::string address, std::string route = {});

  // Routes (see Transport): one loopback listening socket per route.
  uint16_t ListenRoute(const std::string& route, std::string& error) override;
  void StopRoute(const std::string& route) override;
  std::string RouteOf(ConnId conn) const override;

  // The client address of a connection ("" for an unknown one), and how
  // many WebSocket connections from `address` are held.
  std::string PeerAddress(ConnId conn) const override;
  int WebSocketsFrom(const std::string& address) const;

  // How much of one connection's input is handed on before the event loop
  // serves the other sockets again.
  static constexpr int64_t ReadSliceBytes = 16 * 1024;
  // A graceful close whose queued bytes the peer never takes is reset after
  // this long, so a dead peer cannot keep the socket forever.
  static constexpr int GracefulCloseLimitMs = 30000;
  void SetGracefulCloseLimitMs(int ms) { gracefulCloseLimitMs_ = ms; }

 private:
  void Adopt(ConnId conn, QTcpSocket* socket, bool accepted);
  // A client's WebSocket to the table a link names (see Connect).
  ConnId ConnectLink(const std::string& link);
  void ReadMessage(ConnId conn, const QByteArray& message);
  void WatchWebSocketQueue(ConnId conn);
  void OnNewConnection();
  void AcceptFrom(QTcpServer* server, const std::string& route);
  void ReadFrom(ConnId conn);
  void ContinueReadingLater(ConnId conn);
  void Lost(ConnId conn);
  void Drop(ConnId conn);

  TransportEvents* events_ = nullptr;
  QTcpServer* server_ = nullptr;
  std::map<std::string, QTcpServer*> routes_;
  // Every connection, TCP or WebSocket, behind the one interface.
  std::map<ConnId, std::unique_ptr<Link>> links_;
  ConnId nextConn_ = 1;
  // Connections sent to since the last Flush.
  std::set<ConnId> unflushed_;
  // Connections with input left over from a slice, to be read again soon.
  std::set<ConnId> readLater_;
  QTimer tick_;
  int gracefulCloseLimitMs_ = GracefulCloseLimitMs;
};

// Sets SO_LINGER {1, 0} on the socket's descriptor and closes it, so the
// peer sees a reset.
void AbortiveClose(QTcpSocket* socket);

}  // namespace zelbo
