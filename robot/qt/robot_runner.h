// RobotRunner: one robot player on the Qt event loop, with its own socket
// transport and a one-second timer that lets it reconnect and recover. The
// robot program, the headless server's in-process robots and the desktop's
// robots all run this.
#pragma once

#include <QObject>
#include <QTimer>

#include <string>

#include "net/qt/qt_transport.h"
#include "robot/robot_client.h"

namespace zelbo {

class RobotRunner : public QObject {
  Q_OBJECT
 public:
  explicit RobotRunner(RobotConfig config, RobotClient::LineSink printLine = {},
                       QObject* parent = nullptr);
  ~RobotRunner() override;

  void Start(const std::string& host, uint16_t port);
  const RobotClient& Client() const { return client_; }
  RobotClient& Client() { return client_; }

 signals:
  // The game is over, or the connection is gone for good.
  void finished();

 private:
  void Check();

  QtTransport transport_;
  RobotClient client_;
  QTimer timer_;
  bool reported_ = false;
};

}  // namespace zelbo
