// Pacer: runs each action a fixed delay after it was handed over, from one
// timer. The delay is the same for all, so actions fall due in the order
// they came; each firing runs every action due within a few milliseconds.
// A load of a thousand tables' players then wakes its event loop (which
// polls every socket it holds) once per batch rather than once per action,
// and keeps no timer per action.
#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <deque>
#include <functional>
#include <utility>

namespace zelbo::bench {

class Pacer : public QObject {
 public:
  explicit Pacer(int delayMs);
  // Runs `action` delayMs from now (up to SlackMs sooner). Actions still
  // waiting when the pacer goes are dropped.
  void Later(std::function<void()> action);

  static constexpr int SlackMs = 4;

 private:
  using Clock = std::chrono::steady_clock;
  void Fire();
  void Arm();

  std::chrono::milliseconds delay_;
  std::deque<std::pair<Clock::time_point, std::function<void()>>> due_;
  QTimer timer_;
};

}  // namespace zelbo::bench
