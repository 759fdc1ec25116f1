// Tests of the club's API: one HTTP request on its own loopback connection.
#pragma once

#include <QTcpSocket>

#include <string>

#include "hosting/table_id.h"
#include "tests/loopback.h"

namespace zelbo::testing {

struct Reply {
  int status = 0;
  std::string body, head;  // the head from the status line to its last CR LF
  // The value of header `name` ("" when absent).
  std::string Header(const std::string& name) const {
    const std::size_t at = head.find("\r\n" + name + ": ");
    if (at == std::string::npos) return "";
    const std::size_t from = at + name.size() + 4;
    return head.substr(from, head.find("\r\n", from) - from);
  }
};

// Sends the request, its path as given, to 127.0.0.1:port; the answer once
// the server has closed the connection.
inline Reply Request(uint16_t port, const std::string& method, const std::string& path,
                     const std::string& body = {}, const std::string& headers = {}) {
  QTcpSocket s;
  s.connectToHost(QStringLiteral("127.0.0.1"), port);
  std::string request = method + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n" + headers;
  if (!body.empty()) request += "Content-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) + "\r\n";
  request += "\r\n" + body;
  s.write(request.data(), static_cast<qint64>(request.size()));
  std::string in;
  WaitUntil([&] {
    in += s.readAll().toStdString();
    return s.state() == QAbstractSocket::UnconnectedState;
  });
  Reply r;
  if (in.size() > 12) r.status = std::stoi(in.substr(9, 3));
  if (const std::size_t end = in.find("\r\n\r\n"); end != std::string::npos) {
    r.head = in.substr(0, end + 2);
    r.body = in.substr(end + 4);
  }
  return r;
}

// The value of "id" in an API answer.
inline std::string IdOf(const Reply& r) {
  const std::size_t at = r.body.find("\"id\":\"");
  return at == std::string::npos ? std::string() : r.body.substr(at + 6, TableIdLength);
}

}  // namespace zelbo::testing
