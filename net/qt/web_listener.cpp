#include "net/qt/web_listener.h"

#include "net/qt/qt_transport.h"
#include "net/server_table.h"
#include "web/web_assets.h"

#include <QFile>
#include <QHostAddress>
#include <QHttpServer>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QNetworkInterface>
#include <QTcpServer>

#include <string>
#include <vector>

namespace zelbo {

std::vector<std::string> BrowserAddresses(uint16_t port) {
  std::vector<std::string> result;
  for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
    if (address.protocol() != QAbstractSocket::IPv4Protocol || address.isLoopback()) continue;
    result.push_back("http://" + address.toString().toStdString() + ":" + std::to_string(port) +
                     "/");
  }
  return result;
}

bool OpenWebDoor(QtTransport& transport, ServerTable& table, uint16_t port, std::string& error) {
  if (!transport.ListenWeb(port, error)) {
    table.AddPaneLine(error);
    return false;
  }
  std::vector<std::string> addresses = BrowserAddresses(transport.WebPort());
  if (addresses.empty())
    addresses.push_back("http://127.0.0.1:" + std::to_string(transport.WebPort()) + "/");
  for (const std::string& address : addresses) table.AddPaneLine("Browsers join at " + address);
  return true;
}

WebListener::WebListener(SocketHandler onSocket, QObject* parent)
    : QObject(parent), onSocket_(std::move(onSocket)) {}

WebListener::~WebListener() { Close(); }

void WebListener::Close() {
  http_.reset();
  port_ = 0;
}

bool WebListener::Listen(uint16_t port, std::string& error) {
  Close();
  http_ = std::make_unique<QHttpServer>();
  // The upgrade goes through only when a route takes the request without
  // answering it; a plain GET of "/ws" gets 400.
  http_->route("/ws", [](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
    if (request.value("upgrade").compare("websocket", Qt::CaseInsensitive) != 0)
      responder.write(QHttpServerResponder::StatusCode::BadRequest);
  });
  http_->setMissingHandler([this](const QHttpServerRequest& request, QHttpServerResponder&& responder) {
    Answer(request, responder);
  });
  QObject::connect(http_.get(), &QAbstractHttpServer::newWebSocketConnection, this, [this] {
    while (http_ && http_->hasPendingWebSocketConnections()) {
      std::unique_ptr<QWebSocket> socket = http_->nextPendingWebSocketConnection();
      if (socket) onSocket_(std::move(socket));
    }
  });

  auto* tcp = new QTcpServer(http_.get());
  if (!tcp->listen(QHostAddress::AnyIPv4, port)) {
    error = SocketErrorLine(
        {static_cast<int>(tcp->serverError()), tcp->errorString().toStdString(), false});
    http_.reset();
    return false;
  }
  port_ = tcp->serverPort();
  http_->bind(tcp);
  return true;
}

void WebListener::Answer(const QHttpServerRequest& request, QHttpServerResponder& responder) {
  using Status = QHttpServerResponder::StatusCode;
  const QString file = WebAssetFor(request.url().path());
  if (file.isEmpty()) {
    responder.write(Status::NotFound);
    return;
  }
  const auto method = request.method();
  if (method != QHttpServerRequest::Method::Get && method != QHttpServerRequest::Method::Head) {
    responder.write({{"Allow", "GET, HEAD"}}, Status::MethodNotAllowed);
    return;
  }
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) {
    responder.write(Status::NotFound);
    return;
  }
  const QByteArray body = f.readAll();
  const QByteArray type = WebContentType(file.toStdString());
  if (method == QHttpServerRequest::Method::Head) {
    responder.writeStatusLine(Status::Ok);
    responder.writeHeader("Content-Type", type);
    responder.writeHeader("Content-Length", QByteArray::number(body.size()));
    responder.writeHeader("Cache-Control", "no-cache");
    responder.writeBody(QByteArray());  // ends the head; a HEAD reply has no body
    return;
  }
  responder.write(body, {{"Content-Type", type}, {"Cache-Control", "no-cache"}}, Status::Ok);
}

}  // namespace zelbo
