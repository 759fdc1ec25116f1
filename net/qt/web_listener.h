// WebListener: the table's door for browsers. It answers HTTP on one port:
// GET (and HEAD) of the browser client's files compiled into the program
// under ":/web", and WebSocket upgrades on "/ws". Every upgraded connection
// is handed over whole; the listener keeps no connection of its own.
// Nothing else is answered: unknown paths get 404, other methods on the
// client's files 405.
#pragma once

#include <QObject>
#include <QWebSocket>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/transport.h"

class QHttpServer;
class QHttpServerRequest;
class QHttpServerResponder;

namespace zelbo {

class WebListener : public QObject {
  Q_OBJECT
 public:
  using SocketHandler = std::function<void(std::unique_ptr<QWebSocket>)>;

  // `onSocket` receives every upgraded WebSocket connection.
  explicit WebListener(SocketHandler onSocket, QObject* parent = nullptr);
  ~WebListener() override;

  // Listens on every IPv4 interface; port 0 picks a free port. On failure
  // returns false with the socket error line ("socket error N: reason") in `error`.
  bool Listen(uint16_t port, std::string& error);
  uint16_t Port() const { return port_; }
  void Close();

 private:
  void Answer(const QHttpServerRequest& request, QHttpServerResponder& responder);

  SocketHandler onSocket_;
  std::unique_ptr<QHttpServer> http_;
  uint16_t port_ = 0;
};

class QtTransport;
class ServerTable;

// Opens `transport`'s web listener on `port` for the table `table` and says
// in the table's pane where browsers join ("Browsers join at http://...",
// one line per address; the loopback address when the machine has no other),
// or, when the port cannot be had, the socket error, which then also comes
// back in `error` with false.
bool OpenWebDoor(QtTransport& transport, ServerTable& table, uint16_t port, std::string& error);

// The addresses to give friends: "http://HOST:PORT/" for each IPv4
// address of this machine that is not a loopback address.
std::vector<std::string> BrowserAddresses(uint16_t port);

}  // namespace zelbo
