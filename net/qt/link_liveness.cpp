#include "net/qt/link_liveness.h"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#endif

namespace zelbo {

void EnableKeepAlive(intptr_t fd, const LivenessLimits& limits) {
  if (fd == -1) return;
  int on = 1;
#ifdef _WIN32
  setsockopt(static_cast<SOCKET>(fd), SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<const char*>(&on),
             sizeof on);
  (void)limits;
#else
  const int s = static_cast<int>(fd);
  setsockopt(s, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
#ifdef TCP_KEEPIDLE
  setsockopt(s, IPPROTO_TCP, TCP_KEEPIDLE, &limits.keepAliveIdleS, sizeof limits.keepAliveIdleS);
  setsockopt(s, IPPROTO_TCP, TCP_KEEPINTVL, &limits.keepAliveIntervalS, sizeof limits.keepAliveIntervalS);
  setsockopt(s, IPPROTO_TCP, TCP_KEEPCNT, &limits.keepAliveProbes, sizeof limits.keepAliveProbes);
#else
  (void)limits;
#endif
#endif
}

Heartbeat HeartbeatDue(int64_t nowMs, int64_t lastPingMs, int64_t lastPongMs, const LivenessLimits& limits) {
  if (nowMs - lastPongMs >= limits.pongLimitMs) return Heartbeat::Close;
  if (nowMs - lastPingMs >= limits.pingIntervalMs) return Heartbeat::Ping;
  return Heartbeat::Nothing;
}

}  // namespace zelbo
