#include "net/qt/qt_transport.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebSocket>

#include "net/qt/web_listener.h"

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

}  // namespace

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
    if (events_) events_->OnTick();
  });
}

QtTransport::~QtTransport() {
  events_ = nullptr;
  for (auto& [id, socket] : sockets_) {
    if (!socket) continue;
    socket->disconnect(this);
    socket->abort();
    delete socket.data();
  }
  sockets_.clear();
  for (auto& [id, socket] : webSockets_) {
    if (!socket) continue;
    socket->disconnect(this);
    socket->abort();
    delete socket.data();
  }
  webSockets_.clear();
  web_.reset();
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
  web_.reset();
}

bool QtTransport::ListenWeb(uint16_t port, std::string& error) {
  if (!web_) {
    web_ = std::make_unique<WebListener>(
        [this](std::unique_ptr<QWebSocket> socket) { AdoptWebSocket(std::move(socket)); });
  }
  if (!web_->Listen(port, error)) return false;
  tick_.start();
  return true;
}

uint16_t QtTransport::WebPort() const { return web_ ? web_->Port() : 0; }

void QtTransport::AdoptWebSocket(std::unique_ptr<QWebSocket> owned) {
  QWebSocket* socket = owned.release();
  socket->setParent(this);
  const ConnId id = nextConn_++;
  webSockets_[id] = socket;
  socket->setMaxAllowedIncomingMessageSize(WebMessageLimit);
  socket->setMaxAllowedIncomingFrameSize(WebMessageLimit);
  socket->setReadBufferSize(ReadBufferLimit);
  connect(socket, &QWebSocket::binaryMessageReceived, this,
          [this, id](const QByteArray& message) { ReadMessage(id, message); });
  // The table speaks bytes only: a text message breaks the protocol and
  // closes that connection.
  connect(socket, &QWebSocket::textMessageReceived, this, [this, id] {
    const auto it = webSockets_.find(id);
    if (it == webSockets_.end() || !it->second) return;
    it->second->abort();
    Lost(id);
  });
  connect(socket, &QWebSocket::disconnected, this, [this, id] { Lost(id); }, Qt::QueuedConnection);
  if (events_) events_->OnAccepted(id);
  if (events_ && webSockets_.count(id)) events_->OnWritable(id);
}

void QtTransport::ReadMessage(ConnId id, const QByteArray& message) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(message.constData());
  const auto size = static_cast<std::size_t>(message.size());
  // Handed on in the same chunks as TCP, as long as the connection lasts.
  for (std::size_t at = 0; at < size && webSockets_.count(id);) {
    const std::size_t n = std::min<std::size_t>(ReadChunk, size - at);
    if (events_) events_->OnRead(id, std::span<const uint8_t>(bytes + at, n));
    at += n;
  }
}

void QtTransport::OnNewConnection() {
  while (server_ && server_->hasPendingConnections()) {
    QTcpSocket* socket = server_->nextPendingConnection();
    if (!socket) break;
    // Owned by the transport, not the server, so closing the listening
    // socket does not take the connections with it.
    socket->setParent(this);
    const ConnId id = nextConn_++;
    Adopt(id, socket, true);
    if (events_) events_->OnAccepted(id);
    if (events_ && sockets_.count(id)) events_->OnWritable(id);
  }
}

void QtTransport::Adopt(ConnId id, QTcpSocket* socket, bool accepted) {
  sockets_[id] = socket;
  socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
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
        const auto it = sockets_.find(id);
        if (it == sockets_.end() || !it->second) return;
        QTcpSocket* s = it->second;
        // A peer that closes is a close, not an error.
        if (code != QAbstractSocket::RemoteHostClosedError && events_)
          events_->OnSocketError(id, ErrorOf(*s));
        if (s->state() == QAbstractSocket::UnconnectedState) Lost(id);
      },
      Qt::QueuedConnection);
  if (!accepted) {
    connect(socket, &QTcpSocket::connected, this, [this, id] {
      if (events_ && sockets_.count(id)) events_->OnConnected(id);
      if (events_ && sockets_.count(id)) events_->OnWritable(id);
    });
  }
}

ConnId QtTransport::Connect(const std::string& host, uint16_t port) {
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

void QtTransport::ReadFrom(ConnId id) {
  char buffer[ReadChunk];
  readLater_.erase(id);
  for (int64_t handed = 0;; handed += ReadChunk) {
    const auto it = sockets_.find(id);
    if (it == sockets_.end() || !it->second) return;
    QTcpSocket* socket = it->second;
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
  if (const auto ws = webSockets_.find(id); ws != webSockets_.end()) {
    if (ws->second && !bytes.empty())
      ws->second->sendBinaryMessage(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                               static_cast<qsizetype>(bytes.size())));
    unflushed_.insert(id);
    return;
  }
  const auto it = sockets_.find(id);
  if (it == sockets_.end() || !it->second || bytes.empty()) return;
  // The socket's write buffer keeps whatever the kernel cannot take now
  // and sends it, in order, as the connection drains.
  it->second->write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  unflushed_.insert(id);
}

void QtTransport::Flush() {
  for (ConnId id : unflushed_) {
    if (const auto ws = webSockets_.find(id); ws != webSockets_.end()) {
      if (ws->second) ws->second->flush();
      continue;
    }
    const auto it = sockets_.find(id);
    if (it != sockets_.end() && it->second) it->second->flush();
  }
  unflushed_.clear();
}

int64_t QtTransport::QueuedBytes(ConnId id) const {
  if (const auto ws = webSockets_.find(id); ws != webSockets_.end())
    return ws->second ? ws->second->bytesToWrite() : 0;
  const auto it = sockets_.find(id);
  return it == sockets_.end() || !it->second ? 0 : it->second->bytesToWrite();
}

void QtTransport::Drop(ConnId id) {
  unflushed_.erase(id);
  if (const auto ws = webSockets_.find(id); ws != webSockets_.end()) {
    QPointer<QWebSocket> socket = ws->second;
    webSockets_.erase(ws);
    if (socket) {
      socket->disconnect(this);
      socket->deleteLater();
    }
    return;
  }
  const auto it = sockets_.find(id);
  if (it == sockets_.end()) return;
  QPointer<QTcpSocket> socket = it->second;
  sockets_.erase(it);
  unflushed_.erase(id);
  readLater_.erase(id);
  if (socket) {
    socket->disconnect(this);
    socket->deleteLater();
  }
}

void QtTransport::Lost(ConnId id) {
  if (!sockets_.count(id) && !webSockets_.count(id)) return;
  Drop(id);
  if (events_) events_->OnClosed(id);
}

void QtTransport::Close(ConnId id, CloseMode mode) {
  if (webSockets_.count(id)) {
    CloseWebSocket(id, mode);
    return;
  }
  const auto it = sockets_.find(id);
  if (it == sockets_.end()) return;
  QPointer<QTcpSocket> socket = it->second;
  sockets_.erase(it);
  unflushed_.erase(id);
  readLater_.erase(id);
  if (!socket) return;
  socket->disconnect(this);
  if (mode == CloseMode::Abortive) {
    AbortiveClose(socket);
    socket->deleteLater();
    return;
  }
  if (socket->state() == QAbstractSocket::UnconnectedState) {
    socket->deleteLater();
    return;
  }
  connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
  // Past the limit the connection is reset, which also drops the bytes the
  // kernel still holds for the peer.
  QTimer::singleShot(gracefulCloseLimitMs_, socket, [socket] {
    if (socket) {
      AbortiveClose(socket);
      socket->deleteLater();
    }
  });
  socket->disconnectFromHost();
}

void QtTransport::CloseWebSocket(ConnId id, CloseMode mode) {
  QPointer<QWebSocket> socket = webSockets_[id];
  webSockets_.erase(id);
  unflushed_.erase(id);
  if (!socket) return;
  socket->disconnect(this);
  if (mode == CloseMode::Abortive || socket->state() == QAbstractSocket::UnconnectedState) {
    socket->abort();
    socket->deleteLater();
    return;
  }
  // The closing handshake goes out after what is queued; a peer that never
  // answers it is cut off after the same limit as a TCP connection.
  connect(socket, &QWebSocket::disconnected, socket, &QObject::deleteLater);
  QTimer::singleShot(gracefulCloseLimitMs_, socket, [socket] {
    if (socket) {
      socket->abort();
      socket->deleteLater();
    }
  });
  socket->close();
}

}  // namespace zelbo
