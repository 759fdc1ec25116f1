#include "robot/qt/robot_runner.h"

namespace zelbo {

RobotRunner::RobotRunner(RobotConfig config, RobotClient::LineSink printLine, QObject* parent)
    : QObject(parent), client_(transport_, std::move(config), std::move(printLine)) {
  timer_.setInterval(1000);
  connect(&timer_, &QTimer::timeout, this, [this] {
    client_.Tick();
    Check();
  });
}

RobotRunner::~RobotRunner() = default;

void RobotRunner::Start(const std::string& host, uint16_t port) {
  client_.Connect(host, port);
  timer_.start();
}

void RobotRunner::Check() {
  if (reported_ || !client_.Finished()) return;
  reported_ = true;
  emit finished();
}

}  // namespace zelbo
