#include "robot/qt/seat_warmer.h"

#include "robot/robot_seats.h"

namespace zelbo {

SeatWarmer::SeatWarmer(ServerTable& server, int delaySeconds, RobotLevel level, QObject* parent)
    : QObject(parent), server_(server), level_(level), policy_(int64_t{delaySeconds} * 1000) {
  clock_.start();
  connect(&timer_, &QTimer::timeout, this, &SeatWarmer::Check);
  timer_.start(100);
}

SeatWarmer::~SeatWarmer() = default;

long SeatWarmer::MovesSent() const {
  long moves = movesOfRobotsGone_;
  for (const auto& r : robots_)
    if (r) moves += r->Client().MovesSent();
  return moves;
}

void SeatWarmer::DropRobot(int seat) {
  auto& robot = robots_[static_cast<std::size_t>(seat)];
  if (!robot) return;
  movesOfRobotsGone_ += robot->Client().MovesSent();
  robot.reset();  // its connection closes
}

TableSnapshot SeatWarmer::Snapshot() const {
  TableSnapshot t;
  const int phase = server_.Game().phase;
  t.gameRunning = phase != PhaseIdle && phase != PhaseGameOver;
  const SeatOccupant& occupant = server_.Occupants();
  const ConnectionTable& connections = server_.Connections();
  for (int s = 0; s < 4; ++s) {
    const int o = occupant[static_cast<std::size_t>(s)];
    std::string& handle = t.seated[static_cast<std::size_t>(s)];
    if (o == ServerUserSeat) handle = server_.Config().handle;
    if (o >= 0 && o < connections.count()) handle = connections.slot(o).handle;
    if (handle.empty() && o != EmptySeat) handle.push_back(' ');  // occupied, whatever the name
    t.robotSeated[static_cast<std::size_t>(s)] = robots_[static_cast<std::size_t>(s)] && handle == RobotHandle(s);
  }
  for (int i = 0; i < connections.count(); ++i) {
    if (connections.slot(i).joined && SeatOfSlot(occupant, i) < 0) t.waiting.push_back(connections.slot(i).handle);
  }
  return t;
}

void SeatWarmer::Check() {
  const TakeoverActions actions = policy_.Update(Snapshot(), clock_.elapsed());
  for (int seat : actions.cancelRobot) DropRobot(seat);
  for (int seat : actions.seatRobot) {
    DropRobot(seat);
    robots_[static_cast<std::size_t>(seat)] =
        std::make_unique<RobotRunner>(RobotConfig{RobotHandle(seat), seat, false, level_});
    robots_[static_cast<std::size_t>(seat)]->Start("127.0.0.1", server_.Port());
    std::string line = RobotHandle(seat);
    line.append(" keeps ").append(SeatName(seat)).append(" warm for ").append(policy_.AbsentHandle(seat));
    server_.BroadcastText(line);
  }
  for (const TakeoverActions::GiveBack& back : actions.giveBack) {
    const std::string robot = RobotHandle(back.seat);
    if (back.robotStands && robots_[static_cast<std::size_t>(back.seat)]) {
      std::string line = robot;
      line.append(" stands up for ").append(back.handle);
      server_.BroadcastText(line);
      if (Snapshot().robotSeated[static_cast<std::size_t>(back.seat)]) server_.RemoveConnection(back.seat);
      DropRobot(back.seat);
    }
    // The slot numbers moved if the robot's connection went: look again.
    const ConnectionTable& connections = server_.Connections();
    for (int i = 0; i < connections.count(); ++i) {
      const ConnectionSlot& c = connections.slot(i);
      if (c.joined && c.handle == back.handle && SeatOfSlot(server_.Occupants(), i) < 0) {
        server_.SeatConnection(i, back.seat);
        break;
      }
    }
  }
}

}  // namespace zelbo
