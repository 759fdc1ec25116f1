#include "net/qt/descriptors.h"

#include <QTimer>

#include <sys/resource.h>

namespace zelbo {

namespace {
constexpr int AcceptPauseMs = 250;
}

std::string RaiseDescriptorLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return {};
  if (limit.rlim_cur < limit.rlim_max) {
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
    getrlimit(RLIMIT_NOFILE, &limit);
  }
  if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur < 4096)
    return "only " + std::to_string(limit.rlim_cur) +
           " file descriptors may be open; a crowd of browsers may exhaust them (raise the hard "
           "limit, e.g. LimitNOFILE=65536)";
  return {};
}

bool InDescriptorReserve(qintptr descriptor) {
  rlimit limit{};
  if (descriptor < 0 || getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
    return false;
  return static_cast<rlim_t>(descriptor) + DescriptorReserve >= limit.rlim_cur;
}

void ResumeAcceptingAfterExhaustion(QTcpServer* server, std::function<void()> onPause) {
  QObject::connect(server, &QTcpServer::acceptError, server,
                   [server, onPause](QAbstractSocket::SocketError error) {
                     if (error != QAbstractSocket::SocketResourceError) return;
                     server->pauseAccepting();
                     if (onPause) onPause();
                     QTimer::singleShot(AcceptPauseMs, server, [server] { server->resumeAccepting(); });
                   });
}

}  // namespace zelbo
