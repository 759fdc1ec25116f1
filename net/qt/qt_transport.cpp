#include "net/qt/qt_transport.h"

#include <QHostAddress>
#include <QNetworkRequest>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebSocket>

#include "net/frames.h"
#include "net/qt/descriptors.h"
#include "net/qt/pausable_socket.h"
#include "net/table_link.h"

#include <chrono>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace zelbo {

namespace {

constexpr qint64 ReadChunk = 1024;
constexpr qint64 ReadBufferLimit = 64 * 1024;
// The largest WebSocket message (and frame) a browser may send; a larger
// one closes that connection.
constexpr quint64 WebMessageLimit = 64 * 1024;

SocketError ErrorOf(const QAbstractSocket& socket) {
  SocketError e;
  e.code = static_cast<int>(socket.error());
  e.reason = socket.errorString().toStdString();
  e.hostNotFound = socket.error() == QAbstractSocket::HostNotFoundError;
  return e;
}

// How long a WebSocket whose peer overfilled its queue (pongs to a ping
// flood it never reads) is held back before it is closed.
constexpr int64_t DrainLimitMs = 5000;

}  // namespace

class TcpLink : public Link {
 public:
  TcpLink(QTcpSocket* socket, QObject* owner) : socket_(socket), owner_(owner) {}
  ~TcpLink() override {
    if (!socket_) return;
    socket_->disconnect(owner_);
    socket_->deleteLater();
  }
  void Send(std::span<const uint8_t> bytes) override {
    // The socket's write buffer keeps whatever the kernel cannot take now
    // and sends it, in order, as the connection drains.
    if (socket_ && !bytes.empty())
      socket_->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  }
  void Flush() override {
    if (socket_) socket_->flush();
  }
  int64_t Queued() const override { return socket_ ? socket_->bytesToWrite() : 0; }
  QTcpSocket* Stream() const override { return socket_; }
  void Close(CloseMode mode, int gracefulLimitMs) override {
    QPointer<QTcpSocket> socket = socket_;
    socket_.clear();
    if (!socket) return;
    socket->disconnect(owner_);
    if (mode == CloseMode::Abortive || socket->state() == QAbstractSocket::UnconnectedState) {
      if (mode == CloseMode::Abortive) AbortiveClose(socket);
      socket->deleteLater();
      return;
    }
    QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    // Past the limit the connection is reset, which also drops the bytes
    // the kernel still holds for the peer.
    QTimer::singleShot(gracefulLimitMs, socket, [socket] {
      if (socket) {
        AbortiveClose(socket);
        socket->deleteLater();
      }
    });
    socket->disconnectFromHost();
  }

 private:
  QPointer<QTcpSocket> socket_;
  QObject* owner_;
};

class WebSocketLink : public Link {
 public:
  WebSocketLink(QWebSocket* socket, PausableSocket* tcp, QObject* owner, int64_t nowMs)
      : socket_(socket), tcp_(tcp), owner_(owner), lastPingMs_(nowMs), lastPongMs_(nowMs) {}
  ~WebSocketLink() override {
    if (tcp_) tcp_->disconnect(owner_);
    if (!socket_) return;
    socket_->disconnect(owner_);
    socket_->deleteLater();
  }
  void Send(std::span<const uint8_t> bytes) override {
    if (socket_ && !bytes.empty())
      socket_->sendBinaryMessage(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                            static_cast<qsizetype>(bytes.size())));
  }
  void Flush() override {
    if (tcp_) tcp_->SendStaged();
    if (socket_) socket_->flush();
  }
  // The socket under the WebSocket holds the messages, the pongs and the
  // closing frame alike.
  int64_t Queued() const override { return socket_ ? socket_->bytesToWrite() : 0; }
  PausableSocket* Under() const { return tcp_; }
  void Ponged(int64_t nowMs) { lastPongMs_ = nowMs; }
  bool Heartbeat(int64_t nowMs, const LivenessLimits& limits) override {
    if (!socket_) return true;
    switch (HeartbeatDue(nowMs, lastPingMs_, lastPongMs_, limits)) {
      case Heartbeat::Nothing:
        return true;
      case Heartbeat::Ping: {
        lastPingMs_ = nowMs;
        socket_->ping();
        const Frame idle = MakeIdle();
        Send(idle.view());
        return true;
      }
      case Heartbeat::Close:
        break;
    }
    Close(CloseMode::Abortive, 0);
    return false;
  }
  void Close(CloseMode mode, int gracefulLimitMs) override {
    if (tcp_) tcp_->disconnect(owner_);
    QPointer<QWebSocket> socket = socket_;
    socket_.clear();
    if (!socket) return;
    socket->disconnect(owner_);
    if (mode == CloseMode::Abortive || socket->state() == QAbstractSocket::UnconnectedState) {
      socket->abort();
      socket->deleteLater();
      return;
    }
    // The closing handshake goes out after what is queued; a peer that
    // never answers it is cut off after the same limit as a TCP connection.
    QObject::connect(socket, &QWebSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(gracefulLimitMs, socket, [socket] {
      if (socket) {
        socket->abort();
        socket->deleteLater();
      }
    });
    socket->close();
  }

 private:
  QPointer<QWebSocket> socket_;
  QPointer<PausableSocket> tcp_;
  QObject* owner_;
  int64_t lastPingMs_, lastPongMs_;
};

void AbortiveClose(QTcpSocket* socket) {
  const qintptr fd = socket->socketDescriptor();
  if (fd != -1) {
    linger l{};
    l.l_onoff = 1;
    l.l_linger = 0;
#ifdef _WIN32
    setsockopt(static_cast<SOCKET>(fd), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&l),
               sizeof l);
#else
    setsockopt(static_cast<int>(fd), SOL_SOCKET, SO_LINGER, &l, sizeof l);
#endif
  }
  socket->abort();
}

QtTransport::QtTransport(QObject* parent) : QObject(parent) {
  tick_.setInterval(1000);
  connect(&tick_, &QTimer::timeout, this, [this] {
    std::vector<ConnId> held;
    for (const auto& [id, link] : links_)
      if (link->overSinceMs >= 0) held.push_back(id);
    for (ConnId id : held) WatchWebSocketQueue(id);
    std::vector<ConnId> dead;
    const int64_t now = NowMs();
    for (const auto& [id, link] : links_)
      if (!link->Heartbeat(now, liveness_)) dead.push_back(id);
    for (ConnId id : dead) Lost(id);
    if (events_) events_->OnTick();
  });
}

QtTransport::~QtTransport() {
  events_ = nullptr;
  for (auto& [id, link] : links_) link->Close(CloseMode::Abortive, 0);
  links_.clear();
}

int64_t QtTransport::NowMs() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool QtTransport::Listen(uint16_t port, std::string& error) {
  if (!server_) {
    server_ = new QTcpServer(this);
    connect(server_, &QTcpServer::newConnection, this, &QtTransport::OnNewConnection);
    ResumeAcceptingAfterExhaustion(server_, nullptr);
  }
  if (server_->isListening()) server_->close();
  // Every IPv4 interface: the table must be reachable from other machines.
  if (!server_->listen(QHostAddress::AnyIPv4, port)) {
    error = SocketErrorLine(
        {static_cast<int>(server_->serverError()), server_->errorString().toStdString(), false});
    return false;
  }
  tick_.start();
  return true;
}

uint16_t QtTransport::ListeningPort() const {
  return server_ && server_->isListening() ? server_->serverPort() : 0;
}

void QtTransport::StopListening() {
  if (server_) server_->close();
}

ConnId QtTransport::AdoptWebSocket(std::unique_ptr<QWebSocket> owned, PausableSocket* tcp,
                                   std::string address, std::string route) {
  QWebSocket* socket = owned.release();
  socket->setParent(this);
  const ConnId id = nextConn_++;
  auto link = std::make_unique<WebSocketLink>(socket, tcp, this, NowMs());
  link->address = std::move(address);
  WebSocketLink* raw = link.get();
  link->route = std::move(route);
  links_[id] = std::move(link);
  socket->setMaxAllowedIncomingMessageSize(WebMessageLimit);
  socket->setMaxAllowedIncomingFrameSize(WebMessageLimit);
  socket->setReadBufferSize(ReadBufferLimit);
  connect(socket, &QWebSocket::binaryMessageReceived, this,
          [this, id](const QByteArray& message) { ReadMessage(id, message); });
  // The table speaks bytes only: a text message breaks the protocol and
  // closes that connection.
  connect(socket, &QWebSocket::textMessageReceived, this, [this, id] {
    const auto it = links_.find(id);
    if (it == links_.end()) return;
    it->second->Close(CloseMode::Abortive, 0);
    Lost(id);
  });
  connect(socket, &QWebSocket::disconnected, this, [this, id] { Lost(id); }, Qt::QueuedConnection);
  connect(socket, &QWebSocket::pong, this, [this, id, raw] {
    if (links_.count(id)) raw->Ponged(NowMs());
  });
  if (tcp) {
    // Whatever the peer makes us queue counts, answers to its pings too.
    connect(tcp, &QIODevice::readyRead, this, [this, id] { WatchWebSocketQueue(id); });
    connect(tcp, &QIODevice::bytesWritten, this, [this, id] { WatchWebSocketQueue(id); });
  }
  tick_.start();
  if (events_) events_->OnAccepted(id);
  if (events_ && links_.count(id)) events_->OnWritable(id);
  return id;
}

// A WebSocket whose queue has passed the bound stops being read, so its
// peer cannot make us queue more; it reads again once the queue is back
// under the bound, and is closed when it does not get there in time.
void QtTransport::WatchWebSocketQueue(ConnId id) {
  const auto it = links_.find(id);
  if (it == links_.end()) return;
  auto* link = static_cast<WebSocketLink*>(it->second.get());
  PausableSocket* tcp = link->Under();
  if (!tcp) return;
  const int64_t queued = link->Queued();
  if (queued > MaxQueuedBytes) {
    if (link->overSinceMs < 0) link->overSinceMs = NowMs();
    tcp->Pause();
    if (NowMs() - link->overSinceMs >= DrainLimitMs || queued > 2 * MaxQueuedBytes) {
      link->Close(CloseMode::Abortive, 0);
      Lost(id);
    }
  } else if (link->overSinceMs >= 0) {
    link->overSinceMs = -1;
    tcp->Resume();
  }
}

std::string QtTransport::PeerAddress(ConnId id) const {
  const auto it = links_.find(id);
  return it == links_.end() ? std::string() : it->second->address;
}

int QtTransport::WebSocketsFrom(const std::string& address) const {
  int n = 0;
  for (const auto& [id, link] : links_)
    n += link->Stream() == nullptr && link->address == address;
  return n;
}

void QtTransport::ReadMessage(ConnId id, const QByteArray& message) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(message.constData());
  const auto size = static_cast<std::size_t>(message.size());
  // Handed on in the same chunks as TCP, as long as the connection lasts.
  for (std::size_t at = 0; at < size && links_.count(id);) {
    const std::size_t n = std::min<std::size_t>(ReadChunk, size - at);
    if (events_) events_->OnRead(id, std::span<const uint8_t>(bytes + at, n));
    at += n;
  }
}

uint16_t QtTransport::ListenRoute(const std::string& route, std::string& error) {
  StopRoute(route);
  auto* server = new QTcpServer(this);
  ResumeAcceptingAfterExhaustion(server, nullptr);
  if (!server->listen(QHostAddress::LocalHost, 0)) {
    error = SocketErrorLine(
        {static_cast<int>(server->serverError()), server->errorString().toStdString(), false});
    delete server;
    return 0;
  }
  connect(server, &QTcpServer::newConnection, this, [this, server, route] { AcceptFrom(server, route); });
  routes_[route] = server;
  tick_.start();
  return server->serverPort();
}

void QtTransport::StopRoute(const std::string& route) {
  const auto it = routes_.find(route);
  if (it == routes_.end()) return;
  it->second->close();
  it->second->deleteLater();
  routes_.erase(it);
}

std::string QtTransport::RouteOf(ConnId id) const {
  const auto it = links_.find(id);
  return it == links_.end() ? std::string() : it->second->route;
}

void QtTransport::OnNewConnection() { AcceptFrom(server_, {}); }

void QtTransport::AcceptFrom(QTcpServer* server, const std::string& route) {
  while (server && server->hasPendingConnections()) {
    QTcpSocket* socket = server->nextPendingConnection();
    if (!socket) break;
    // Owned by the transport, not the server, so closing the listening
    // socket does not take the connections with it.
    socket->setParent(this);
    const ConnId id = nextConn_++;
    Adopt(id, socket, true);
    links_[id]->route = route;
    if (events_) events_->OnAccepted(id);
    if (events_ && links_.count(id)) events_->OnWritable(id);
  }
}

void QtTransport::Adopt(ConnId id, QTcpSocket* socket, bool accepted) {
  auto link = std::make_unique<TcpLink>(socket, this);
  if (accepted) link->address = socket->peerAddress().toString().toStdString();
  links_[id] = std::move(link);
  socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  // A peer that vanished is found by the kernel's probes.
  if (accepted) EnableKeepAlive(socket->socketDescriptor(), liveness_);
  // A peer that floods the connection is held back by TCP instead of
  // filling the process's memory.
  socket->setReadBufferSize(ReadBufferLimit);
  connect(socket, &QTcpSocket::readyRead, this, [this, id] { ReadFrom(id); });
  // Closing and errors arrive through the event queue, so they never reach
  // the core inside one of its own calls.
  connect(socket, &QTcpSocket::disconnected, this, [this, id] { Lost(id); }, Qt::QueuedConnection);
  connect(
      socket, &QTcpSocket::errorOccurred, this,
      [this, id](QAbstractSocket::SocketError code) {
        const auto it = links_.find(id);
        if (it == links_.end() || !it->second->Stream()) return;
        QTcpSocket* s = it->second->Stream();
        // A peer that closes is a close, not an error.
        if (code != QAbstractSocket::RemoteHostClosedError && events_)
          events_->OnSocketError(id, ErrorOf(*s));
        if (s->state() == QAbstractSocket::UnconnectedState) Lost(id);
      },
      Qt::QueuedConnection);
  if (!accepted) {
    connect(socket, &QTcpSocket::connected, this, [this, id] {
      if (events_ && links_.count(id)) events_->OnConnected(id);
      if (events_ && links_.count(id)) events_->OnWritable(id);
    });
  }
}

ConnId QtTransport::Connect(const std::string& host, uint16_t port) {
  if (IsTableLink(host)) return ConnectLink(host);
  const ConnId id = nextConn_++;
  auto* socket = new QTcpSocket(this);
  Adopt(id, socket, false);
  tick_.start();
  // Started from the event loop, so that even an immediate failure is
  // reported after the caller knows the connection's id.
  const QString name = QString::fromStdString(host);
  QMetaObject::invokeMethod(
      socket,
      [socket, name, port] {
        socket->connectToHost(name, port, QIODevice::ReadWrite, QAbstractSocket::IPv4Protocol);
      },
      Qt::QueuedConnection);
  return id;
}

ConnId QtTransport::ConnectLink(const std::string& link) {
  const ConnId id = nextConn_++;
  auto* socket = new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, this);
  auto owned = std::make_unique<WebSocketLink>(socket, nullptr, this, NowMs());
  WebSocketLink* raw = owned.get();
  links_[id] = std::move(owned);
  connect(socket, &QWebSocket::pong, this, [this, id, raw] {
    if (links_.count(id)) raw->Ponged(NowMs());
  });
  socket->setMaxAllowedIncomingMessageSize(WebMessageLimit);
  socket->setMaxAllowedIncomingFrameSize(WebMessageLimit);
  socket->setReadBufferSize(ReadBufferLimit);
  connect(socket, &QWebSocket::binaryMessageReceived, this,
          [this, id](const QByteArray& message) { ReadMessage(id, message); });
  connect(socket, &QWebSocket::connected, this, [this, id] {
    if (events_ && links_.count(id)) events_->OnConnected(id);
    if (events_ && links_.count(id)) events_->OnWritable(id);
  });
  connect(
      socket, QOverload<QAbstractSocket::SocketError>::of(&QWebSocket::error), this,
      [this, id, socket](QAbstractSocket::SocketError code) {
        if (!links_.count(id) || code == QAbstractSocket::RemoteHostClosedError || !events_) return;
        events_->OnSocketError(id, {static_cast<int>(code), socket->errorString().toStdString(),
                                    code == QAbstractSocket::HostNotFoundError});
      },
      Qt::QueuedConnection);
  connect(socket, &QWebSocket::disconnected, this, [this, id] { Lost(id); }, Qt::QueuedConnection);
  tick_.start();
  const std::optional<std::string> url = TableSocketUrl(link);
  // Opened from the event loop, so even a link of the wrong shape is
  // reported after the caller knows the connection's id.
  QMetaObject::invokeMethod(
      this,
      [this, id, socket, url, forwardedFor = forwardedFor_] {
        if (!links_.count(id)) return;
        if (!url) {
          if (events_) events_->OnSocketError(id, {0, "not a table's link (http://HOST:PORT/t/ID/)", true});
          Lost(id);
          return;
        }
        QNetworkRequest request(QUrl(QString::fromStdString(*url)));
        if (!forwardedFor.empty()) request.setRawHeader("X-Forwarded-For", QByteArray::fromStdString(forwardedFor));
        socket->open(request);
      },
      Qt::QueuedConnection);
  return id;
}

void QtTransport::ReadFrom(ConnId id) {
  char buffer[ReadChunk];
  readLater_.erase(id);
  for (int64_t handed = 0;; handed += ReadChunk) {
    const auto it = links_.find(id);
    if (it == links_.end() || !it->second->Stream()) return;
    QTcpSocket* socket = it->second->Stream();
    if (socket->bytesAvailable() <= 0) return;
    if (handed >= ReadSliceBytes) {
      ContinueReadingLater(id);
      return;
    }
    const qint64 n = socket->read(buffer, ReadChunk);
    if (n <= 0) return;
    if (events_)
      events_->OnRead(id, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(buffer),
                                                   static_cast<std::size_t>(n)));
  }
}

// The socket does not announce bytes it already holds again, so the rest
// of a slice is picked up from the event queue, behind other sockets'
// notices.
void QtTransport::ContinueReadingLater(ConnId id) {
  if (!readLater_.insert(id).second) return;
  QTimer::singleShot(0, this, [this, id] {
    if (readLater_.count(id)) ReadFrom(id);
  });
}

void QtTransport::Send(ConnId id, std::span<const uint8_t> bytes) {
  const auto it = links_.find(id);
  if (it == links_.end() || bytes.empty()) return;
  it->second->Send(bytes);
  unflushed_.insert(id);
}

void QtTransport::Flush() {
  for (ConnId id : unflushed_)
    if (const auto it = links_.find(id); it != links_.end()) it->second->Flush();
  unflushed_.clear();
}

int64_t QtTransport::QueuedBytes(ConnId id) const {
  const auto it = links_.find(id);
  return it == links_.end() ? 0 : it->second->Queued();
}

void QtTransport::Drop(ConnId id) {
  unflushed_.erase(id);
  readLater_.erase(id);
  links_.erase(id);  // the link lets its socket go
}

void QtTransport::Lost(ConnId id) {
  if (!links_.count(id)) return;
  Drop(id);
  if (events_) events_->OnClosed(id);
}

void QtTransport::Close(ConnId id, CloseMode mode) {
  const auto it = links_.find(id);
  if (it == links_.end()) return;
  it->second->Close(mode, gracefulCloseLimitMs_);
  Drop(id);
}

}  // namespace zelbo
