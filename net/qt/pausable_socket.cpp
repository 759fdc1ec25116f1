#include "net/qt/pausable_socket.h"

#include <sys/socket.h>

#include <cerrno>

namespace zelbo {

namespace {
// A larger write (a file the door serves) is sent at once rather than kept.
constexpr std::size_t StageLimit = 16 * 1024;
// A staging buffer grown past this by a large write is given back.
constexpr std::size_t KeptCapacity = 4 * 1024;
}  // namespace

void PausableSocket::Resume() {
  if (!paused_) return;
  paused_ = false;
  if (QTcpSocket::bytesAvailable() > 0) emit readyRead();
}

qint64 PausableSocket::writeData(const char* data, qint64 size) {
  // Once Qt's buffer holds bytes, later ones must queue behind them; and a
  // socket that is not connected is left to Qt, which refuses the write.
  if (size <= 0 || QTcpSocket::bytesToWrite() > 0 || state() != ConnectedState)
    return QTcpSocket::writeData(data, size);
  const bool wasEmpty = staged_.empty();
  staged_.append(data, static_cast<std::size_t>(size));
  if (staged_.size() >= StageLimit) {
    SendStaged();
  } else if (wasEmpty) {
    QMetaObject::invokeMethod(this, &PausableSocket::SendStaged, Qt::QueuedConnection);
  }
  return size;
}

void PausableSocket::SendStaged() {
  if (staged_.empty()) return;
  std::size_t sent = 0;
  const int fd = static_cast<int>(socketDescriptor());
  if (fd >= 0 && QTcpSocket::bytesToWrite() == 0) {
    while (sent < staged_.size()) {
      const ssize_t n = ::send(fd, staged_.data() + sent, staged_.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
      if (n > 0) {
        sent += static_cast<std::size_t>(n);
      } else if (n < 0 && errno == EINTR) {
        continue;
      } else {
        break;  // full, or failed: Qt's own write finds out which and says so
      }
    }
  }
  if (sent < staged_.size())
    QTcpSocket::writeData(staged_.data() + sent, static_cast<qint64>(staged_.size() - sent));
  staged_.clear();
  if (staged_.capacity() > KeptCapacity) std::string().swap(staged_);
}

void PausableSocket::disconnectFromHost() {
  SendStaged();
  QTcpSocket::disconnectFromHost();
}

void PausableSocket::close() {
  SendStaged();
  QTcpSocket::close();
}

}  // namespace zelbo
