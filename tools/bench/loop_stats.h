// Helpers shared by the bench modes that run over loopback sockets: driving
// the Qt event loop until a condition holds, and percentiles of timings.
#pragma once

#include <functional>
#include <vector>

namespace zelbo::bench {

// Runs the event loop until `done` holds (true) or `ms` milliseconds passed.
bool RunEventsUntil(const std::function<bool()>& done, int ms);

// The value at fraction `p` (0..1) of the sorted samples; 0 when empty.
double Percentile(std::vector<double> v, double p);

}  // namespace zelbo::bench
