// PausableSocket: a QTcpSocket whose reader can be held back. While paused
// it reports no bytes available, so a reader that loops on bytesAvailable()
// (QWebSocket does) stops taking input; the read buffer fills, and TCP
// holds the peer back. Resuming announces the waiting bytes again.
#pragma once

#include <QTcpSocket>

namespace zelbo {

class PausableSocket : public QTcpSocket {
  Q_OBJECT
 public:
  using QTcpSocket::QTcpSocket;

  qint64 bytesAvailable() const override { return paused_ ? 0 : QTcpSocket::bytesAvailable(); }
  bool paused() const { return paused_; }
  void Pause() { paused_ = true; }
  void Resume() {
    if (!paused_) return;
    paused_ = false;
    if (QTcpSocket::bytesAvailable() > 0) emit readyRead();
  }

 protected:
  qint64 readData(char* data, qint64 maxSize) override {
    return paused_ ? 0 : QTcpSocket::readData(data, maxSize);
  }

 private:
  bool paused_ = false;
};

}  // namespace zelbo
