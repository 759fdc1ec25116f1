#include "net/takeover_policy.h"

#include <algorithm>

namespace zelbo {

TakeoverActions TakeoverPolicy::Update(const TableSnapshot& table, int64_t nowMs) {
  TakeoverActions actions;
  std::vector<std::string> waiting = table.waiting;
  auto takeWaiting = [&waiting](const std::string& handle) {
    auto it = std::find(waiting.begin(), waiting.end(), handle);
    if (handle.empty() || it == waiting.end()) return false;
    waiting.erase(it);  // one seat per returning connection
    return true;
  };
  for (int s = 0; s < 4; ++s) {
    Seat& seat = seats_[static_cast<std::size_t>(s)];
    const std::string& now = table.seated[static_cast<std::size_t>(s)];
    if (!now.empty()) {
      if (seat.robot && !table.robotSeated[static_cast<std::size_t>(s)]) {
        actions.cancelRobot.push_back(s);  // somebody sat before our robot came
        seat.robot = false;
      }
      if (!seat.robot) {
        seat.absent.clear();  // the seat is nobody's to keep
      } else if (takeWaiting(seat.absent)) {
        actions.giveBack.push_back({s, seat.absent, true});
        // The robot's leaving is ours, not a player's: should the person
        // not get the seat after all, it is kept for them as before.
        seat.robot = false;
        seat.last.clear();
        seat.emptySince = nowMs;
        continue;
      }
      seat.emptySince = -1;
    } else {
      if (!seat.last.empty()) {
        // The occupant left; our own robot leaving keeps the seat's person.
        if (!seat.robot) seat.absent = seat.last;
        seat.robot = false;
        seat.emptySince = nowMs;
      }
      if (takeWaiting(seat.absent)) {
        actions.giveBack.push_back({s, seat.absent, seat.robot});
        seat.robot = false;
      } else if (table.gameRunning && !seat.robot && !seat.absent.empty() && seat.emptySince >= 0 &&
                 nowMs - seat.emptySince >= delayMs_) {
        actions.seatRobot.push_back(s);
        seat.robot = true;
      }
    }
    seat.last = now;
  }
  return actions;
}

}  // namespace zelbo
