#include "web/qt/web_door.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QResource>
#include <QTcpServer>
#include <QWebSocket>
#include <QWebSocketServer>

#include <unistd.h>

#include <algorithm>
#include <chrono>

#include "net/qt/descriptors.h"
#include "net/qt/pausable_socket.h"
#include "net/qt/qt_transport.h"
#include "net/server_table.h"
#include "web/http_response.h"
#include "web/lobby_api.h"
#include "web/web_assets.h"

namespace zelbo {

namespace {

constexpr std::string_view SocketPath = "/ws";
// A closing connection that has not gone after this long is reset.
constexpr int64_t CloseLimitMs = 5000;

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::string RefusalKind(int status) {
  switch (status) {
    case 400: return "malformed request (400)";
    case 403: return "WebSocket from a foreign origin (403)";
    case 404: return "unknown table (404)";
    case 413: return "request with a body (413)";
    case 414: return "request line too long (414)";
    case 429: return "too many connections from one address (429)";
    case 431: return "request head too large (431)";
    case 503: return "table cannot be loaded now (503)";
    default: return "status " + std::to_string(status);
  }
}

// Accepts into PausableSockets, and closes at once a connection whose
// descriptor would eat into the reserve kept for the program's files.
class DoorServer : public QTcpServer {
 public:
  using QTcpServer::QTcpServer;
  std::function<void()> onReserve;

 protected:
  void incomingConnection(qintptr descriptor) override {
    if (InDescriptorReserve(descriptor)) {
      ::close(static_cast<int>(descriptor));
      if (onReserve) onReserve();
      return;
    }
    auto* socket = new PausableSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
      delete socket;
      return;
    }
    // An action's frames go out at once, as over the table's TCP port,
    // not held back until the peer acknowledges the first of them.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    addPendingConnection(socket);
  }
};

}  // namespace

std::vector<std::string> BrowserAddresses(uint16_t port) {
  std::vector<std::string> result;
  for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
    if (address.protocol() != QAbstractSocket::IPv4Protocol || address.isLoopback()) continue;
    result.push_back("http://" + address.toString().toStdString() + ":" + std::to_string(port) +
                     "/");
  }
  return result;
}

std::unique_ptr<WebDoor> OpenWebDoor(QtTransport& transport, ServerTable& table, uint16_t port,
                                     DoorOptions options, std::string& error) {
  auto door = std::make_unique<WebDoor>(transport, std::move(options),
                                        [&table](const std::string& line) { table.AddPaneLine(line); });
  if (!door->Listen(port, error)) {
    table.AddPaneLine(error);
    return nullptr;
  }
  std::vector<std::string> addresses = BrowserAddresses(door->Port());
  if (addresses.empty()) addresses.push_back("http://127.0.0.1:" + std::to_string(door->Port()) + "/");
  for (const std::string& address : addresses) table.AddPaneLine("Browsers join at " + address);
  return door;
}

WebDoor::WebDoor(QtTransport& transport, DoorOptions options, Log log, QObject* parent)
    : QObject(parent), transport_(transport), options_(std::move(options)), log_(std::move(log)) {
  sockets_ = new QWebSocketServer(QStringLiteral("ZelboWin"), QWebSocketServer::NonSecureMode, this);
  connect(sockets_, &QWebSocketServer::newConnection, this, &WebDoor::OnWebSocket);
  tick_.setInterval(500);
  connect(&tick_, &QTimer::timeout, this, &WebDoor::Tick);
}

WebDoor::~WebDoor() {
  tick_.stop();
  while (!conns_.empty()) Forget(conns_.begin()->first, true);
}

bool WebDoor::Listen(uint16_t port, std::string& error) {
  auto* server = new DoorServer(this);
  server->onReserve = [this] { Note("connection in the descriptor reserve"); };
  connect(server, &QTcpServer::newConnection, this, &WebDoor::OnNewConnection);
  ResumeAcceptingAfterExhaustion(server, [this] { Note("descriptors exhausted, accepting paused"); });
  if (!server->listen(QHostAddress::AnyIPv4, port)) {
    error = SocketErrorLine(
        {static_cast<int>(server->serverError()), server->errorString().toStdString(), false});
    delete server;
    return false;
  }
  delete server_;
  server_ = server;
  tick_.start();
  return true;
}

uint16_t WebDoor::Port() const { return server_ && server_->isListening() ? server_->serverPort() : 0; }

bool WebDoor::Trusted(const std::string& peer) const {
  return std::find(options_.trustedProxies.begin(), options_.trustedProxies.end(), peer) !=
         options_.trustedProxies.end();
}

void WebDoor::Note(const std::string& kind) {
  const std::string line = tally_.Note(kind, NowMs());
  if (!line.empty() && log_) log_(line);
}

void WebDoor::OnNewConnection() {
  while (server_ && server_->hasPendingConnections()) {
    auto* socket = static_cast<PausableSocket*>(server_->nextPendingConnection());
    if (!socket) break;
    socket->setParent(this);
    // The head is peeked whole; the buffer holds one more byte than a head
    // may have, so an oversized one shows without reading further.
    // A club's API also reads a small body.
    socket->setReadBufferSize(static_cast<qint64>(MaxRequestHeadBytes) + 1 +
                              (options_.site ? static_cast<qint64>(MaxApiBodyBytes) : 0));
    Conn c;
    c.peer = socket->peerAddress().toString().toStdString();
    c.since = NowMs();
    conns_[socket] = c;
    connect(socket, &QIODevice::readyRead, this, [this, socket] { Process(socket); });
    connect(socket, &QIODevice::bytesWritten, this, [this, socket] { Process(socket); });
    connect(socket, &QAbstractSocket::disconnected, this, [this, socket] { Forget(socket, false); },
            Qt::QueuedConnection);
    // Behind a trusted proxy the client is known from the first request.
    if (Trusted(c.peer)) continue;
    if (perAddress_[c.peer] >= MaxHttpPerAddress) {
      Refuse(socket, 429, RefusalKind(429));
      continue;
    }
    ++perAddress_[c.peer];
    conns_[socket].counted = true;
    conns_[socket].address = c.peer;
  }
}

void WebDoor::Process(PausableSocket* socket) {
  const auto it = conns_.find(socket);
  if (it == conns_.end() || it->second.closing) return;
  Conn& c = it->second;
  // Pipelined requests are answered in order, only while the answers
  // already queued stay under the bound.
  while (true) {
    if (socket->bytesToWrite() > MaxUnsentBytes) {
      if (c.overSinceMs < 0) c.overSinceMs = NowMs();
      return;
    }
    c.overSinceMs = -1;
    if (socket->bytesAvailable() <= 0) return;
    if (!c.inRequest) {
      c.inRequest = true;
      c.since = NowMs();
    }
    const QByteArray bytes = socket->peek(static_cast<qint64>(MaxRequestHeadBytes) + 1);
    const HeadResult r = ScanRequestHead(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (r.scan == HeadScan::Incomplete) return;
    if (const int status = RefusalStatus(r.scan)) {
      Refuse(socket, status, RefusalKind(status));
      return;
    }
    const bool viaProxy = Trusted(c.peer);
    const SitePath site = ClassifySitePath(r.head.Path(), options_.site != nullptr);
    const bool socketPath = site.kind == SitePath::Kind::Socket;
    const std::size_t bodyLimit =
        site.kind == SitePath::Kind::Api && r.head.method == "POST" ? MaxApiBodyBytes : 0;
    const RequestVerdict v = JudgeRequest(r.head, socketPath ? r.head.Path() : SocketPath,
                                          {options_.origins, viaProxy}, bodyLimit);
    const std::string client = ClientAddress(c.peer, r.head, options_.trustedProxies);
    if (!c.counted) {
      if (perAddress_[client] >= MaxHttpPerAddress) {
        Refuse(socket, 429, RefusalKind(429));
        return;
      }
      ++perAddress_[client];
      c.counted = true;
      c.address = client;
    }
    if (v.status != 0) {
      Refuse(socket, v.status, RefusalKind(v.status));
      return;
    }
    if (v.upgrade) {
      // The limit counts the address's WebSockets at every table.
      if (transport_.WebSocketsFrom(client) >= MaxWebSocketsPerAddress) {
        Refuse(socket, 429, "too many WebSockets from one address (429)");
        return;
      }
      if (options_.site) {
        if (const int status = socketPath ? options_.site->OpenTable(site.table) : 404) {
          Refuse(socket, status, RefusalKind(status));
          return;
        }
      }
      HandOver(socket, client, site.table);
      return;
    }
    // A body is read once it is all there (the request's deadline bounds the wait).
    if (socket->bytesAvailable() < static_cast<qint64>(r.length + v.bodyLength)) return;
    socket->skip(static_cast<qint64>(r.length));
    const QByteArray body = socket->read(static_cast<qint64>(v.bodyLength));
    Answer(socket, r.head, std::string_view(body.constData(), static_cast<std::size_t>(body.size())),
           v.keepAlive);
    c.inRequest = false;
    c.since = NowMs();
    if (!v.keepAlive) {
      CloseAfterAnswer(socket);
      return;
    }
  }
}

void WebDoor::Answer(PausableSocket* socket, const HttpRequestHead& head, std::string_view body,
                     bool keepAlive) {
  const auto write = [socket](const std::string& s) {
    socket->write(s.data(), static_cast<qint64>(s.size()));
  };
  if (options_.pages) {
    if (std::optional<PageAnswer> page = options_.pages->Answer(head.target)) {
      if (head.method != "GET" && head.method != "HEAD")
        return write(RefusalAnswer(405, keepAlive, "Allow: GET, HEAD\r\n"));
      if (page->status != 200) return write(RefusalAnswer(page->status, keepAlive));
      write(ResponseHead(200, page->contentType, page->body.size(), keepAlive, page->extraHeaders));
      if (head.method == "GET") write(page->body);
      return;
    }
  }
  const SitePath site = ClassifySitePath(head.Path(), options_.site != nullptr);
  // A WebSocket's path without an upgrade is no page.
  if (site.kind == SitePath::Kind::Socket) return write(RefusalAnswer(400, keepAlive));
  if (site.kind == SitePath::Kind::NotFound) return write(RefusalAnswer(404, keepAlive));
  if (site.kind == SitePath::Kind::Api) {
    DoorSite::Answer a = options_.site->Api(head.method, head.Path(), body, ClientAddressOf(socket, head));
    write(ResponseHead(a.status, "application/json", a.json.size(), keepAlive, a.extra, CacheNever));
    if (head.method != "HEAD") write(a.json);
    return;
  }
  // The page of a table that is not there is no page.
  if (!site.table.empty())
    if (const int status = options_.site->OpenTable(site.table)) return write(RefusalAnswer(status, keepAlive));
  const std::string& path = site.asset;
  if (site.table.empty() && path == "/handrecords.txt") return AnswerHandRecords(socket, head, keepAlive);
  const WebAsset file = FindWebAsset(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())));
  if (file.resource.isEmpty() || !BodyOf(file.resource)) return write(RefusalAnswer(404, keepAlive));
  if (head.method != "GET" && head.method != "HEAD")
    return write(RefusalAnswer(405, keepAlive, "Allow: GET, HEAD\r\n"));
  AnswerFile(socket, head, file, keepAlive);
}

void WebDoor::Refuse(PausableSocket* socket, int status, const std::string& kind) {
  Note(kind);
  const std::string answer = RefusalAnswer(status, false);
  socket->write(answer.data(), static_cast<qint64>(answer.size()));
  CloseAfterAnswer(socket);
}

void WebDoor::CloseAfterAnswer(PausableSocket* socket) {
  const auto it = conns_.find(socket);
  if (it == conns_.end()) return;
  it->second.closing = true;
  it->second.since = NowMs();
  socket->flush();
  // Goes once the answer is out (the tick resets it if the peer stalls).
  socket->disconnectFromHost();
}

void WebDoor::Forget(PausableSocket* socket, bool abort) {
  const auto it = conns_.find(socket);
  if (it == conns_.end()) return;
  if (it->second.counted && --perAddress_[it->second.address] <= 0) perAddress_.erase(it->second.address);
  conns_.erase(it);
  socket->disconnect(this);
  if (abort) AbortiveClose(socket);
  socket->deleteLater();
}

std::string WebDoor::ClientAddressOf(PausableSocket* socket, const HttpRequestHead& head) const {
  const auto it = conns_.find(socket);
  return it == conns_.end() ? std::string() : ClientAddress(it->second.peer, head, options_.trustedProxies);
}

void WebDoor::HandOver(PausableSocket* socket, const std::string& client, const std::string& table) {
  const auto it = conns_.find(socket);
  if (it->second.counted && --perAddress_[it->second.address] <= 0) perAddress_.erase(it->second.address);
  conns_.erase(it);
  socket->disconnect(this);
  pending_[{socket->peerAddress().toString().toStdString(), socket->peerPort()}] = {socket, client, table};
  // The WebSocket server reads the head that was only peeked.
  sockets_->handleConnection(socket);
}

void WebDoor::OnWebSocket() {
  while (sockets_->hasPendingConnections()) {
    std::unique_ptr<QWebSocket> socket(sockets_->nextPendingConnection());
    if (!socket) break;
    const auto it = pending_.find({socket->peerAddress().toString().toStdString(), socket->peerPort()});
    if (it == pending_.end() || !it->second.socket) {
      socket->abort();
      continue;
    }
    PausableSocket* tcp = it->second.socket;
    const std::string client = it->second.client, table = it->second.table;
    pending_.erase(it);
    transport_.AdoptWebSocket(std::move(socket), tcp, client, table);
  }
}

void WebDoor::Tick() {
  const int64_t now = NowMs();
  std::vector<std::pair<PausableSocket*, std::string>> expired;
  for (const auto& [socket, c] : conns_) {
    if (c.closing) {
      if (now - c.since >= CloseLimitMs) expired.emplace_back(socket, "");
    } else if (c.overSinceMs >= 0 && now - c.overSinceMs >= DrainDeadlineMs) {
      expired.emplace_back(socket, "answers not read in time");
    } else if (c.inRequest && now - c.since >= RequestDeadlineMs) {
      expired.emplace_back(socket, "request not complete in time");
    } else if (!c.inRequest && c.overSinceMs < 0 && socket->bytesToWrite() == 0 &&
               now - c.since >= KeepAliveMs) {
      expired.emplace_back(socket, "");
    }
  }
  for (const auto& [socket, kind] : expired) {
    if (!kind.empty()) Note(kind);
    Forget(socket, true);
  }
  // Upgrades that never came out of the WebSocket server.
  for (auto it = pending_.begin(); it != pending_.end();)
    it = it->second.socket ? std::next(it) : pending_.erase(it);
  for (const std::string& line : tally_.Due(now))
    if (log_) log_(line);
}

}  // namespace zelbo
