// A browser's WebSocket to a table over loopback: each Send is one binary
// message, held until the socket is open; what comes back is kept whole.
#pragma once

#include <QWebSocket>

#include <string>
#include <vector>

#include "tests/loopback.h"

namespace zelbo::testing {

struct WebPeer {
  explicit WebPeer(uint16_t port, const std::string& path = "/ws") {
    QObject::connect(&socket, &QWebSocket::binaryMessageReceived,
                     [this](const QByteArray& m) { in.insert(in.end(), m.begin(), m.end()); });
    QObject::connect(&socket, &QWebSocket::disconnected, [this] { ended = true; });
    QObject::connect(&socket, &QWebSocket::connected, [this] {
      for (const QByteArray& m : pending) socket.sendBinaryMessage(m);
      pending.clear();
    });
    socket.open(QUrl(QString::fromStdString("ws://127.0.0.1:" + std::to_string(port) + path)));
  }
  bool Open() { return WaitUntil([&] { return socket.state() == QAbstractSocket::ConnectedState || ended; }) && !ended; }
  void Send(const std::vector<uint8_t>& b) {
    const QByteArray m(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size()));
    if (socket.state() == QAbstractSocket::ConnectedState) socket.sendBinaryMessage(m);
    else pending.push_back(m);
  }
  int Count(int type, const std::string& text = "") const {
    int n = 0;
    for (const auto& f : DecodeFrames(in)) n += f.type == type && (text.empty() || f.text() == text);
    return n;
  }
  bool HasText(const std::string& text) const { return Count(MsgText, text) > 0; }

  QWebSocket socket;
  std::vector<uint8_t> in;
  std::vector<QByteArray> pending;
  bool ended = false;
};

}  // namespace zelbo::testing
