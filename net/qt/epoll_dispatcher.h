// An event dispatcher for a process that watches thousands of sockets.
//
// Qt's dispatchers on Linux hand the kernel the whole list of watched
// sockets on every turn of the event loop (poll), and build that list anew
// each time: with four sockets a table and a thousand tables, that walk is
// most of a turn. This one keeps the sockets in an epoll set, so a turn
// costs what the ready sockets cost. Timers are kept in order of their next
// expiry, coarse ones gathered on common steps of the clock; events posted
// from any thread wake the loop through an eventfd.
#pragma once

#include <QAbstractEventDispatcher>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <set>
#include <unordered_map>
#include <utility>

namespace zelbo {

class EpollDispatcher final : public QAbstractEventDispatcher {
  Q_OBJECT
 public:
  EpollDispatcher();
  ~EpollDispatcher() override;

  // False when the kernel refused an epoll set or an eventfd; the process
  // should then keep Qt's own dispatcher.
  bool Usable() const { return epoll_ >= 0 && wake_ >= 0; }

  using QAbstractEventDispatcher::registerTimer;
  bool processEvents(QEventLoop::ProcessEventsFlags flags) override;
  void registerSocketNotifier(QSocketNotifier* notifier) override;
  void unregisterSocketNotifier(QSocketNotifier* notifier) override;
  void registerTimer(int timerId, qint64 interval, Qt::TimerType timerType, QObject* object) override;
  bool unregisterTimer(int timerId) override;
  bool unregisterTimers(QObject* object) override;
  QList<TimerInfo> registeredTimers(QObject* object) const override;
  int remainingTime(int timerId) override;
  void wakeUp() override;
  void interrupt() override;

 private:
  using Clock = std::chrono::steady_clock;

  // The notifiers watching one descriptor. `generation` tells events that
  // the kernel reported for an earlier socket under the same number from
  // events for this one.
  struct Watch {
    QSocketNotifier* read = nullptr;
    QSocketNotifier* write = nullptr;
    QSocketNotifier* exception = nullptr;
    uint32_t generation = 0;
  };
  struct Timer {
    qint64 intervalMs = 0;
    Qt::TimerType type = Qt::CoarseTimer;
    QObject* object = nullptr;
    Clock::time_point due;
    bool firing = false;  // its timer event is being delivered now
  };

  static Clock::time_point NextDue(Clock::time_point from, qint64 intervalMs, Qt::TimerType type);
  void UpdateWatch(int fd, Watch& watch, bool fresh);
  int WaitTimeoutMs(bool mayWait) const;
  bool DispatchSockets(int ready);
  bool ActivateTimers();
  void DrainWake();

  int epoll_ = -1;
  int wake_ = -1;
  std::atomic<bool> wakePending_{false};
  std::atomic<bool> interrupted_{false};
  uint32_t nextGeneration_ = 1;
  std::unordered_map<int, Watch> watches_;
  std::unordered_map<int, Timer> timers_;
  std::set<std::pair<Clock::time_point, int>> queue_;  // (due, id) of every timer
};

// Makes the next application object use an EpollDispatcher for its main
// thread. Call before the application object is made. Does nothing when
// the kernel cannot give one, so Qt's own is used.
void UseDispatcherForManySockets();

}  // namespace zelbo
