// Helpers shared by the bench modes that run over loopback sockets: driving
// the Qt event loop until a condition holds, and percentiles of timings.
#pragma once

#include <functional>
#include <vector>

namespace zelbo::bench {

// Runs the event loop until `done` holds (true) or `ms` milliseconds passed.
// It never sleeps (Qt's processEvents with a time limit does not wait), so
// single-table round trips carry no wake-up, at the cost of a busy core.
bool RunEventsUntil(const std::function<bool()>& done, int ms);
// The same, sleeping while no event comes (waking at least every 50 ms to
// look at `done` and the time): for a load that shares the machine's cores
// with the server it measures.
bool WaitEventsUntil(const std::function<bool()>& done, int ms);

// The value at fraction `p` (0..1) of the sorted samples; 0 when empty.
double Percentile(std::vector<double> v, double p);

}  // namespace zelbo::bench
