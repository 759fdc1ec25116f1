#include "net/qt/epoll_dispatcher.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimerEvent>

#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

namespace zelbo {

namespace {

// The wake descriptor is told apart from sockets by this generation, which
// no socket gets (socket generations start at 1).
constexpr uint32_t WakeGeneration = 0;
constexpr int ReadyBatch = 256;

uint64_t Tag(int fd, uint32_t generation) {
  return static_cast<uint32_t>(fd) | (uint64_t{generation} << 32);
}

}  // namespace

// A coarse timer may fire up to 5% of its interval early or late, and a
// very coarse one to the second; both are put on the nearest multiple of a
// step of the clock, so that thousands of them (a tick per connection)
// wake the loop a few times a second together, not each on its own.
EpollDispatcher::Clock::time_point EpollDispatcher::NextDue(Clock::time_point from, qint64 intervalMs,
                                                            Qt::TimerType type) {
  using std::chrono::milliseconds;
  const Clock::time_point due = from + milliseconds(intervalMs);
  qint64 stepMs = 0;
  if (type == Qt::VeryCoarseTimer) {
    stepMs = 1000;
  } else if (type == Qt::CoarseTimer) {
    for (const qint64 step : {1000, 500, 250, 100, 50, 25, 10, 5})
      if (step <= intervalMs / 20) {
        stepMs = step;
        break;
      }
  }
  if (stepMs == 0) return due;
  const auto step = std::chrono::duration_cast<Clock::duration>(milliseconds(stepMs));
  const auto sinceEpoch = due.time_since_epoch();
  return Clock::time_point((sinceEpoch + step / 2) / step * step);
}

EpollDispatcher::EpollDispatcher() {
  epoll_ = epoll_create1(EPOLL_CLOEXEC);
  wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (epoll_ < 0 || wake_ < 0) return;
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.u64 = Tag(wake_, WakeGeneration);
  if (epoll_ctl(epoll_, EPOLL_CTL_ADD, wake_, &event) != 0) {
    close(wake_);
    wake_ = -1;
  }
}

EpollDispatcher::~EpollDispatcher() {
  if (wake_ >= 0) close(wake_);
  if (epoll_ >= 0) close(epoll_);
}

// --- sockets ---------------------------------------------------------------

void EpollDispatcher::registerSocketNotifier(QSocketNotifier* notifier) {
  const int fd = static_cast<int>(notifier->socket());
  if (fd < 0) return;
  const auto found = watches_.find(fd);
  const bool fresh = found == watches_.end();
  Watch& watch = fresh ? watches_[fd] : found->second;
  if (fresh) {
    watch.generation = nextGeneration_++;
    if (nextGeneration_ == WakeGeneration) nextGeneration_ = 1;
  }
  switch (notifier->type()) {
    case QSocketNotifier::Read: watch.read = notifier; break;
    case QSocketNotifier::Write: watch.write = notifier; break;
    case QSocketNotifier::Exception: watch.exception = notifier; break;
  }
  UpdateWatch(fd, watch, fresh);
}

void EpollDispatcher::unregisterSocketNotifier(QSocketNotifier* notifier) {
  const int fd = static_cast<int>(notifier->socket());
  const auto found = watches_.find(fd);
  if (found == watches_.end()) return;
  Watch& watch = found->second;
  if (watch.read == notifier) watch.read = nullptr;
  if (watch.write == notifier) watch.write = nullptr;
  if (watch.exception == notifier) watch.exception = nullptr;
  if (watch.read || watch.write || watch.exception) {
    UpdateWatch(fd, watch, false);
    return;
  }
  // The descriptor may be closed already, which took it out of the set.
  epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
  watches_.erase(found);
}

void EpollDispatcher::UpdateWatch(int fd, Watch& watch, bool fresh) {
  epoll_event event{};
  if (watch.read) event.events |= EPOLLIN | EPOLLRDHUP;
  if (watch.write) event.events |= EPOLLOUT;
  if (watch.exception) event.events |= EPOLLPRI;
  event.data.u64 = Tag(fd, watch.generation);
  if (epoll_ctl(epoll_, fresh ? EPOLL_CTL_ADD : EPOLL_CTL_MOD, fd, &event) == 0) return;
  // A descriptor closed and reopened under the same number behind our back
  // left the set (MOD finds nothing), or is still in it (ADD finds it).
  if (errno == ENOENT) epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event);
  else if (errno == EEXIST) epoll_ctl(epoll_, EPOLL_CTL_MOD, fd, &event);
}

bool EpollDispatcher::DispatchSockets(int ready) {
  epoll_event events[ReadyBatch];
  const int count = epoll_wait(epoll_, events, ReadyBatch, ready);
  if (count <= 0) return false;
  bool delivered = false;
  for (int i = 0; i < count; ++i) {
    const int fd = static_cast<int>(events[i].data.u64 & 0xffffffffu);
    const auto generation = static_cast<uint32_t>(events[i].data.u64 >> 32);
    if (generation == WakeGeneration) {
      DrainWake();
      continue;
    }
    const uint32_t what = events[i].events;
    // Each delivery may close sockets or change watches, so the watch is
    // looked up again before each one.
    auto deliver = [&](QSocketNotifier* Watch::*which) {
      const auto found = watches_.find(fd);
      if (found == watches_.end() || found->second.generation != generation) return;
      QSocketNotifier* notifier = found->second.*which;
      if (!notifier) return;
      QEvent activation(QEvent::SockAct);
      QCoreApplication::sendEvent(notifier, &activation);
      delivered = true;
    };
    if (what & (EPOLLIN | EPOLLRDHUP | EPOLLHUP | EPOLLERR)) deliver(&Watch::read);
    if (what & (EPOLLOUT | EPOLLHUP | EPOLLERR)) deliver(&Watch::write);
    if (what & EPOLLPRI) deliver(&Watch::exception);
  }
  return delivered;
}

// --- waking ------------------------------------------------------------------

void EpollDispatcher::wakeUp() {
  if (wakePending_.exchange(true)) return;
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = write(wake_, &one, sizeof one);
}

void EpollDispatcher::interrupt() {
  interrupted_ = true;
  wakeUp();
}

void EpollDispatcher::DrainWake() {
  // Read, then cleared: a wake-up between the two writes nothing, but its
  // event is posted already and goes out at the start of the next turn.
  // (Cleared first, the read could swallow the write of a wake-up that
  // came in between, and leave the flag set with nothing to read: the loop
  // would then never sleep again.)
  uint64_t count = 0;
  [[maybe_unused]] const ssize_t got = read(wake_, &count, sizeof count);
  wakePending_ = false;
}

// --- timers ------------------------------------------------------------------

void EpollDispatcher::registerTimer(int timerId, qint64 interval, Qt::TimerType timerType,
                                    QObject* object) {
  unregisterTimer(timerId);
  Timer timer;
  timer.intervalMs = interval < 0 ? 0 : interval;
  timer.type = timerType;
  timer.object = object;
  timer.due = NextDue(Clock::now(), timer.intervalMs, timerType);
  queue_.emplace(timer.due, timerId);
  timers_.emplace(timerId, timer);
}

bool EpollDispatcher::unregisterTimer(int timerId) {
  const auto found = timers_.find(timerId);
  if (found == timers_.end()) return false;
  queue_.erase({found->second.due, timerId});
  timers_.erase(found);
  return true;
}

bool EpollDispatcher::unregisterTimers(QObject* object) {
  std::vector<int> ids;
  for (const auto& [id, timer] : timers_)
    if (timer.object == object) ids.push_back(id);
  for (const int id : ids) unregisterTimer(id);
  return !ids.empty();
}

QList<QAbstractEventDispatcher::TimerInfo> EpollDispatcher::registeredTimers(QObject* object) const {
  QList<TimerInfo> list;
  for (const auto& [id, timer] : timers_)
    if (timer.object == object) list.append(TimerInfo(id, static_cast<int>(timer.intervalMs), timer.type));
  return list;
}

int EpollDispatcher::remainingTime(int timerId) {
  const auto found = timers_.find(timerId);
  if (found == timers_.end()) return -1;
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(found->second.due - Clock::now());
  return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

int EpollDispatcher::WaitTimeoutMs(bool mayWait) const {
  if (!mayWait) return 0;
  if (queue_.empty()) return -1;
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(queue_.begin()->first - Clock::now());
  if (left.count() <= 0) return 0;
  return left.count() > INT_MAX ? INT_MAX : static_cast<int>(left.count());
}

bool EpollDispatcher::ActivateTimers() {
  const Clock::time_point now = Clock::now();
  // The timers due now, taken before any fires: one that a delivery starts
  // or moves waits for the next turn, so a zero timer cannot starve sockets.
  std::vector<int> due;
  for (auto it = queue_.begin(); it != queue_.end() && it->first <= now; ++it) due.push_back(it->second);
  bool delivered = false;
  for (const int id : due) {
    auto found = timers_.find(id);
    if (found == timers_.end() || found->second.firing || found->second.due > now) continue;
    Timer& timer = found->second;
    queue_.erase({timer.due, id});
    timer.due = NextDue(timer.due, timer.intervalMs, timer.type);
    if (timer.due <= now) timer.due = NextDue(now, timer.intervalMs, timer.type);
    queue_.emplace(timer.due, id);
    timer.firing = true;
    QObject* object = timer.object;
    QTimerEvent event(id);
    QCoreApplication::sendEvent(object, &event);
    delivered = true;
    found = timers_.find(id);  // the delivery may have stopped it
    if (found != timers_.end()) found->second.firing = false;
  }
  return delivered;
}

// --- the turn ----------------------------------------------------------------

bool EpollDispatcher::processEvents(QEventLoop::ProcessEventsFlags flags) {
  interrupted_ = false;
  emit awake();
  QCoreApplication::sendPostedEvents();
  if (interrupted_) return false;

  const bool mayWait = (flags & QEventLoop::WaitForMoreEvents) && !wakePending_;
  int timeout = WaitTimeoutMs(mayWait);
  if (timeout != 0) emit aboutToBlock();

  bool delivered = false;
  if (flags & QEventLoop::ExcludeSocketNotifiers) {
    // Only a wake-up or a timer may end this wait.
    pollfd wake{wake_, POLLIN, 0};
    if (poll(&wake, 1, timeout) > 0) DrainWake();
  } else {
    delivered = DispatchSockets(timeout);
  }
  if (timeout != 0) emit awake();
  if (!(flags & QEventLoop::X11ExcludeTimers)) delivered = ActivateTimers() || delivered;
  return delivered;
}

void UseDispatcherForManySockets() {
  auto* dispatcher = new EpollDispatcher;
  if (!dispatcher->Usable()) {
    delete dispatcher;
    return;
  }
  QCoreApplication::setEventDispatcher(dispatcher);
}

}  // namespace zelbo
