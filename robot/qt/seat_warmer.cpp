#include "robot/qt/seat_warmer.h"

#include <QTimer>

#include <algorithm>

#include "robot/robot_seats.h"

namespace zelbo {

SeatWarmer::SeatWarmer(ServerTable& server, int delaySeconds, RobotLevel level, QObject* parent)
    : QObject(parent),
      server_(server),
      level_(level),
      delayMs_(int64_t{delaySeconds} * 1000),
      policy_(delayMs_) {
  clock_.start();
  server_.AddSeatingListener(*this);
  Check();  // who sits already
}

SeatWarmer::~SeatWarmer() { server_.RemoveSeatingListener(*this); }

long SeatWarmer::MovesSent() const {
  long moves = movesOfRobotsGone_;
  for (const auto& r : robots_)
    if (r) moves += r->Client().MovesSent();
  return moves;
}

void SeatWarmer::OnSeatingEvent(const SeatingEvent& event) {
  if (event.kind == SeatingEvent::Kind::Seated) {
    Check(&event);
    return;
  }
  Check();
  // A seat fell empty: look again once its player has been away long
  // enough for a robot to take over.
  if (event.kind == SeatingEvent::Kind::StoodUp && delayMs_ > 0)
    QTimer::singleShot(std::chrono::milliseconds(delayMs_), this, [this] { Check(); });
}

void SeatWarmer::DropRobot(int seat) {
  auto& robot = robots_[static_cast<std::size_t>(seat)];
  if (!robot) return;
  movesOfRobotsGone_ += robot->Client().MovesSent();
  robot.reset();  // its connection closes
}

TableSnapshot SeatWarmer::Snapshot() const {
  TableSnapshot t;
  const Phase phase = server_.Game().phase;
  t.gameRunning = phase != PhaseIdle && phase != PhaseGameOver;
  const SeatOccupant& occupant = server_.Occupants();
  const ConnectionTable& connections = server_.Connections();
  for (int s = 0; s < 4; ++s) {
    const ConnId o = occupant[static_cast<std::size_t>(s)];
    std::string& handle = t.seated[static_cast<std::size_t>(s)];
    if (o == ServerUserSeat) handle = server_.Config().handle;
    if (const Connection* c = connections.Find(o)) handle = c->handle;
    if (handle.empty() && o != EmptySeat) handle.push_back(' ');  // occupied, whatever the name
  }
  for (const Connection& c : connections.all())
    if (c.joined && SeatOf(occupant, c.conn) < 0) t.waiting.push_back(c.handle);
  return t;
}

ConnId SeatWarmer::WaitingConnection(const std::string& handle) const {
  for (const Connection& c : server_.Connections().all())
    if (c.joined && c.handle == handle && SeatOf(server_.Occupants(), c.conn) < 0) return c.conn;
  return NoConn;
}

void SeatWarmer::Check(const SeatingEvent* sat) {
  TableSnapshot t = Snapshot();
  if (sat && sat->seat >= 0 && sat->seat < 4 && !server_.Connections().Find(sat->conn)) {
    std::string& seated = t.seated[static_cast<std::size_t>(sat->seat)];
    if (seated.empty()) seated = sat->handle.empty() ? std::string(" ") : sat->handle;
  }
  for (int s = 0; s < 4; ++s) {
    const std::size_t i = static_cast<std::size_t>(s);
    t.robotSeated[i] = robots_[i] && t.seated[i] == RobotHandle(s);
  }
  const TakeoverActions actions = policy_.Update(t, clock_.elapsed());
  for (int seat : actions.cancelRobot) DropRobot(seat);
  for (int seat : actions.seatRobot) {
    // A table that no longer listens has no door for the robot.
    if (server_.Port() == 0) continue;
    DropRobot(seat);
    robots_[static_cast<std::size_t>(seat)] =
        std::make_unique<RobotRunner>(RobotConfig{RobotHandle(seat), seat, false, level_});
    robots_[static_cast<std::size_t>(seat)]->Start("127.0.0.1", server_.Port());
    std::string line = RobotHandle(seat);
    line.append(" keeps ").append(SeatName(seat)).append(" warm for ").append(policy_.AbsentHandle(seat));
    server_.BroadcastText(line);
  }
  for (const TakeoverActions::GiveBack& back : actions.giveBack) {
    const std::size_t i = static_cast<std::size_t>(back.seat);
    if (back.robotStands && robots_[i]) {
      std::string line = RobotHandle(back.seat);
      line.append(" stands up for ").append(back.handle);
      server_.BroadcastText(line);
      if (t.robotSeated[i]) server_.RemoveConnection(back.seat);
      DropRobot(back.seat);
    }
    const ConnId player = WaitingConnection(back.handle);
    if (player != NoConn) server_.SeatConnection(player, back.seat);
  }
}

}  // namespace zelbo
