#include "tools/bench/loop_stats.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace zelbo::bench {

namespace {
// Objects given to deleteLater() outside any event (from the bench's own
// code) go only when an event loop that runs exec() returns, which none
// here does: their deletions would wait for ever, and keep every turn of
// the loop from sleeping. Here, between events, they may go.
void DeleteLaterObjects() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
}  // namespace

bool RunEventsUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > ms) return false;
    DeleteLaterObjects();
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  return true;
}

bool WaitEventsUntil(const std::function<bool()>& done, int ms) {
  QElapsedTimer clock;
  clock.start();
  QTimer wake;
  wake.start(50);
  QEventLoop loop;
  while (!done()) {
    if (clock.elapsed() > ms) return false;
    DeleteLaterObjects();
    loop.processEvents(QEventLoop::WaitForMoreEvents);
  }
  return true;
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(i, v.size() - 1)];
}

}  // namespace zelbo::bench
