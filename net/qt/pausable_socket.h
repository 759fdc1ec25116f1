// PausableSocket: the server's end of a browser's connection, a QTcpSocket
// with two changes.
//
// Its reader can be held back. While paused it reports no bytes available,
// so a reader that loops on bytesAvailable() (QWebSocket does) stops taking
// input; the read buffer fills, and TCP holds the peer back. Resuming
// announces the waiting bytes again.
//
// What is written while nothing waits in Qt's write buffer is kept in a
// small buffer of its own and sent by SendStaged(), which the owner calls
// once an action's frames are all written (a posted call does it otherwise,
// within the same turn of the event loop). Qt's buffer would take a 32 KiB
// block on the first write and keep it for the life of the connection:
// with thousands of idle players that block is most of the server's memory.
// Only what the kernel cannot take at once goes into Qt's buffer, which
// sends it as the connection drains.
#pragma once

#include <QTcpSocket>

#include <string>

namespace zelbo {

class PausableSocket : public QTcpSocket {
  Q_OBJECT
 public:
  using QTcpSocket::QTcpSocket;

  qint64 bytesAvailable() const override { return paused_ ? 0 : QTcpSocket::bytesAvailable(); }
  bool paused() const { return paused_; }
  void Pause() { paused_ = true; }
  void Resume();

  qint64 bytesToWrite() const override {
    return QTcpSocket::bytesToWrite() + static_cast<qint64>(staged_.size());
  }
  // Hands what is staged to the kernel; what it cannot take waits in Qt's
  // write buffer.
  void SendStaged();
  void disconnectFromHost() override;
  void close() override;

 protected:
  qint64 readData(char* data, qint64 maxSize) override {
    return paused_ ? 0 : QTcpSocket::readData(data, maxSize);
  }
  qint64 writeData(const char* data, qint64 size) override;

 private:
  bool paused_ = false;
  std::string staged_;
};

}  // namespace zelbo
