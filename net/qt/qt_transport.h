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

#include "net/transport.h"

class QTcpServer;
class QTcpSocket;
class QWebSocket;

namespace zelbo {

class WebListener;

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

  // Also lets browsers in: HTTP for the browser client's files and
  // WebSocket connections on "/ws", on `port` of every IPv4 interface (0
  // picks a free port). A WebSocket connection is a connection of this
  // transport like a TCP one: its binary messages are read as one byte
  // stream, and what is sent goes out as binary messages. On failure
  // returns false and fills `error`.
  bool ListenWeb(uint16_t port, std::string& error);
  // The web port actually listened on (0 when not listening).
  uint16_t WebPort() const;

  // How much of one connection's input is handed on before the event loop
  // serves the other sockets again.
  static constexpr int64_t ReadSliceBytes = 16 * 1024;
  // A graceful close whose queued bytes the peer never takes is reset after
  // this long, so a dead peer cannot keep the socket forever.
  static constexpr int GracefulCloseLimitMs = 30000;
  void SetGracefulCloseLimitMs(int ms) { gracefulCloseLimitMs_ = ms; }

 private:
  void Adopt(ConnId conn, QTcpSocket* socket, bool accepted);
  void AdoptWebSocket(std::unique_ptr<QWebSocket> socket);
  void ReadMessage(ConnId conn, const QByteArray& message);
  void CloseWebSocket(ConnId conn, CloseMode mode);
  void OnNewConnection();
  void ReadFrom(ConnId conn);
  void ContinueReadingLater(ConnId conn);
  void Lost(ConnId conn);
  void Drop(ConnId conn);

  TransportEvents* events_ = nullptr;
  QTcpServer* server_ = nullptr;
  std::map<ConnId, QPointer<QTcpSocket>> sockets_;
  std::map<ConnId, QPointer<QWebSocket>> webSockets_;
  std::unique_ptr<WebListener> web_;
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
