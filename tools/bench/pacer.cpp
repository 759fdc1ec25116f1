#include "tools/bench/pacer.h"

#include <algorithm>

namespace zelbo::bench {

Pacer::Pacer(int delayMs) : delay_(delayMs) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] { Fire(); });
}

void Pacer::Later(std::function<void()> action) {
  due_.emplace_back(Clock::now() + delay_, std::move(action));
  if (!timer_.isActive()) Arm();
}

void Pacer::Fire() {
  const Clock::time_point until = Clock::now() + std::chrono::milliseconds(SlackMs);
  // An action may hand over more; those come after `until` and wait.
  while (!due_.empty() && due_.front().first <= until) {
    std::function<void()> action = std::move(due_.front().second);
    due_.pop_front();
    action();
  }
  if (!due_.empty()) Arm();
}

void Pacer::Arm() {
  const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(due_.front().first - Clock::now());
  timer_.start(static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, wait.count())));
}

}  // namespace zelbo::bench
