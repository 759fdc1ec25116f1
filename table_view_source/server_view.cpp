#include "table_view_source/server_view.h"

namespace zelbo {

void FillServerView(TableView& view, const ServerTable& server) {
  view.open = true;
  view.game = server.Game();
  view.localPosition = server.LocalPosition();
  for (std::size_t s = 0; s < 4; ++s) {
    const ConnId occupant = server.Occupants()[s];
    view.seatTaken[s] = occupant != EmptySeat;
    if (occupant == EmptySeat) {
      view.seatNames[s] = EmptySeatName;
    } else if (occupant == ServerUserSeat) {
      view.seatNames[s] = server.Config().handle;
    } else {
      const Connection* c = server.Connections().Find(occupant);
      view.seatNames[s] = c ? c->handle : std::string();
    }
  }
}

}  // namespace zelbo
