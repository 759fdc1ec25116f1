// TakeoverPolicy: when a robot keeps an empty seat of a running game warm,
// and when it stands up again. It is told, now and then, who sits where and
// who has joined without a seat, and answers with what to do: seat a robot
// where a seat has been empty long enough, or give a seat back to the
// person who left it and has come back with the same handle (standing the
// robot up first when one holds it). Only a seat that somebody left in this
// run is kept warm, so a game loaded with nobody at the table waits for
// people as before. It keeps no clock of its own and does
// no I/O, so the server program drives it and tests give it any times.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zelbo {

struct TableSnapshot {
  bool gameRunning = false;          // dealt and not over (also while suspended)
  std::array<std::string, 4> seated;  // handle of each seat's occupant, "" when empty
  std::vector<std::string> waiting;   // handles of joined connections without a seat
  std::array<bool, 4> robotSeated{};  // our robot sits in the seat
};

struct TakeoverActions {
  std::vector<int> seatRobot;    // seats to give a robot
  std::vector<int> cancelRobot;  // seats someone else took before our robot sat
  struct GiveBack {
    int seat = -1;
    std::string handle;      // the person who comes back
    bool robotStands = false;  // our robot holds the seat (or is on its way): it goes first
  };
  std::vector<GiveBack> giveBack;
};

class TakeoverPolicy {
 public:
  explicit TakeoverPolicy(int64_t delayMs) : delayMs_(delayMs) {}

  TakeoverActions Update(const TableSnapshot& table, int64_t nowMs);

  // The person whose seat `seat` is kept for ("" for none).
  const std::string& AbsentHandle(int seat) const { return seats_[Index(seat)].absent; }
  // True while a robot of ours holds (or is on its way to) the seat.
  bool RobotHolds(int seat) const { return seats_[Index(seat)].robot; }

 private:
  struct Seat {
    std::string last;    // occupant at the previous update
    std::string absent;  // who left the seat
    int64_t emptySince = -1;
    bool robot = false;
  };
  static std::size_t Index(int seat) { return static_cast<std::size_t>(seat & 3); }

  int64_t delayMs_;
  std::array<Seat, 4> seats_;
};

}  // namespace zelbo
