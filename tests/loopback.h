// Helpers for tests over real loopback sockets: one QCoreApplication for
// the test program, and waiting for a condition with a deadline.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>

namespace zelbo::testing {

inline QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "net_test";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = QCoreApplication::instance()
                                     ? QCoreApplication::instance()
                                     : new QCoreApplication(argc, argv);
  return *app;
}

// Runs the event loop until `done` holds or `ms` milliseconds have passed;
// returns whether it holds.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 20000) {
  App();
  QElapsedTimer clock;
  clock.start();
  QTimer wake;  // wakes the loop now and then so the deadline is seen
  wake.start(20);
  while (!done()) {
    if (clock.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  }
  return true;
}

}  // namespace zelbo::testing
