// WebDoor: the table's door for browsers, on its own port. It reads each
// request head with hard limits before anything is consumed, answers GET and
// HEAD of the browser client's embedded files, and hands WebSocket upgrades
// of "/ws" (of "/t/ID/ws" in a club), head unread, to a QWebSocketServer and then to the transport as
// ordinary connections of the table. Everything a peer can make it hold is
// bounded: the head's size, the time to send it, the answers waiting to be
// read, the time a kept-alive connection may idle, and the connections of
// one client address.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "web/http_request.h"
#include "web/page_routes.h"
#include "web/refusal_tally.h"
#include "web/web_assets.h"

class QTcpServer;
class QWebSocketServer;

namespace zelbo {

class PausableSocket;
class QtTransport;
class ServerTable;

// What a club server adds behind the door: many tables, each at /t/ID/,
// and an API. Without a site the door serves one table at "/".
class DoorSite {
 public:
  virtual ~DoorSite() = default;
  // 0 when the table `id` is there to be played, after loading it again
  // when it was unloaded; 404 for an unknown id, 503 for a table that cannot
  // be loaded now (the tables in memory are at their limit).
  virtual int OpenTable(const std::string& id) = 0;
  struct Answer {
    int status = 200;
    std::string json;   // the body
    std::string extra;  // further header lines, each ending in CRLF
  };
  // A request under /api, its body read whole; `client` is the address
  // the per-address limits count.
  virtual Answer Api(std::string_view method, std::string_view path, std::string_view body,
                     const std::string& client) = 0;
};

struct DoorOptions {
  std::vector<std::string> origins;         // further origins a page may come from
  std::vector<std::string> trustedProxies;  // peers whose X-Forwarded-For counts
  DoorSite* site = nullptr;                 // a club's tables and API; must outlive the door
  // The hand-records file of the table's last finished game ("" for none),
  // served read-only at /handrecords.txt; unset, that path is not found.
  std::function<std::string()> handRecords;
  PageRoutes* pages = nullptr;              // further pages, asked first; must outlive the door
};

class WebDoor : public QObject {
  Q_OBJECT
 public:
  // HTTP connections of one client address, and its WebSocket connections
  // held by the transport.
  static constexpr int MaxHttpPerAddress = 16;
  static constexpr int MaxWebSocketsPerAddress = 16;
  // A request must be complete this long after its first byte (or after
  // the connection opened); a kept-alive connection may idle this long.
  static constexpr int64_t RequestDeadlineMs = 10000;
  static constexpr int64_t KeepAliveMs = 15000;
  // Past this many unsent bytes no further request is read; a connection
  // that does not drain below it in DrainDeadlineMs is closed.
  static constexpr int64_t MaxUnsentBytes = 1024 * 1024;
  static constexpr int64_t DrainDeadlineMs = 15000;

  using Log = std::function<void(const std::string&)>;
  WebDoor(QtTransport& transport, DoorOptions options, Log log, QObject* parent = nullptr);
  ~WebDoor() override;

  // Listens on every IPv4 interface; port 0 picks a free port. On failure
  // returns false with the socket error line in `error`.
  bool Listen(uint16_t port, std::string& error);
  uint16_t Port() const;
  // HTTP connections open now (for tests).
  std::size_t HttpConnections() const { return conns_.size(); }

 private:
  struct Conn {
    std::string peer, address;  // the socket's peer; the client counted for it
    bool counted = false;       // counted against `address`
    bool inRequest = true;      // bytes of a request have come, or none yet since the open
    bool closing = false;
    int64_t since = 0;          // start of the request, the idle time or the close
    int64_t overSinceMs = -1;   // unsent bytes past the bound since then
  };

  void OnNewConnection();
  void Process(PausableSocket* socket);
  void Answer(PausableSocket* socket, const HttpRequestHead& head, std::string_view body, bool keepAlive);
  void Refuse(PausableSocket* socket, int status, const std::string& kind);
  void CloseAfterAnswer(PausableSocket* socket);
  void Forget(PausableSocket* socket, bool abort);
  void HandOver(PausableSocket* socket, const std::string& client, const std::string& table);
  void OnWebSocket();
  void Tick();
  bool Trusted(const std::string& peer) const;
  // A file as sent: its bytes in one form (resource path) and the entity tag
  // of those bytes. The answer of a file, in web_door_files.cpp.
  struct Body {
    QByteArray bytes;
    std::string tag;
  };
  const Body* BodyOf(const QString& resource);
  void AnswerFile(PausableSocket* socket, const HttpRequestHead& head, const WebAsset& file, bool keepAlive);
  void AnswerHandRecords(PausableSocket* socket, const HttpRequestHead& head, bool keepAlive);
  std::string ClientAddressOf(PausableSocket* socket, const HttpRequestHead& head) const;
  void Note(const std::string& kind);

  QtTransport& transport_;
  DoorOptions options_;
  Log log_;
  QTcpServer* server_ = nullptr;
  QWebSocketServer* sockets_ = nullptr;
  std::map<PausableSocket*, Conn> conns_;
  std::map<std::string, int> perAddress_;
  // Upgrades handed over, by peer address and port, until the WebSocket
  // comes out: the socket under it, the client's address and the table.
  struct Pending {
    QPointer<PausableSocket> socket;
    std::string client, table;
  };
  std::map<std::pair<std::string, uint16_t>, Pending> pending_;
  std::map<QString, Body> bodies_;
  RefusalTally tally_;
  QTimer tick_;
};

// Opens the door on `port` for the table `table` and says in the table's
// pane where browsers join ("Browsers join at http://...", one line per
// address; the loopback address when the machine has no other), or, when
// the port cannot be had, the socket error, which then also comes back in
// `error` with nullptr. The door's refusals go to the pane too.
std::unique_ptr<WebDoor> OpenWebDoor(QtTransport& transport, ServerTable& table, uint16_t port,
                                     DoorOptions options, std::string& error);

// The addresses to give friends: "http://HOST:PORT/" for each IPv4
// address of this machine that is not a loopback address.
std::vector<std::string> BrowserAddresses(uint16_t port);

}  // namespace zelbo
