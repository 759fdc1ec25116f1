// How the transport notices peers that vanished without a word (a phone
// that lost its network, a laptop that went to sleep). TCP peers get the
// kernel's keep-alive probes, which need nothing from the protocol, so a
// silent but living desktop peer is never closed. A WebSocket is pinged
// (browsers answer pings on their own) and closed when its pongs stop;
// each ping goes with an idle frame, which the page sees, so that the
// page can tell a dead link from a quiet table.
#pragma once

#include <cstdint>

namespace zelbo {

struct LivenessLimits {
  int64_t pingIntervalMs = 15000;  // a WebSocket is pinged this often
  int64_t pongLimitMs = 60000;     // and closed when no pong came for this long
  int keepAliveIdleS = 30;         // TCP: silence before the first probe
  int keepAliveIntervalS = 10;     // between probes
  int keepAliveProbes = 3;         // unanswered probes before the close
};

// Turns on TCP keep-alive with the limits' times on socket descriptor `fd`
// (-1 does nothing). Where the system cannot set the times, its own apply.
void EnableKeepAlive(intptr_t fd, const LivenessLimits& limits);

// What a WebSocket's heartbeat does at time `nowMs`, given when it was
// last pinged and when its last pong came (or it was taken over).
enum class Heartbeat { Nothing, Ping, Close };
Heartbeat HeartbeatDue(int64_t nowMs, int64_t lastPingMs, int64_t lastPongMs, const LivenessLimits& limits);

}  // namespace zelbo
