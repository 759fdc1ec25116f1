// The floor under the net bench's card round trip: the same loopback
// sockets and transport, with a server that does nothing but hand every
// frame it receives to all four clients, as many times over as the frame's
// first payload byte says (as many frames as the table sends each client
// for a card). Four clients take turns sending such a frame; a round trip
// ends when all four hold every copy.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <vector>

namespace zelbo::bench {

// Runs the fan-out server in a child process, as a table server runs with
// --server; call it before this process makes its QCoreApplication. Returns
// the port, 0 on failure. The caller ends the child (SIGTERM).
uint16_t StartFanOutProcess(pid_t& child);

// Times `rounds` round trips of `copies` frames; the samples are in
// microseconds. `port` 0 runs the fan-out server in this process. Empty
// when the sockets could not be set up.
std::vector<double> MeasureFanOutFloor(int rounds, int copies, uint16_t port = 0);

}  // namespace zelbo::bench
