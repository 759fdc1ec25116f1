#include "display/client_view.h"

namespace zelbo {

void FillClientView(TableView& view, const ClientSession& session) {
  if (!session.IsClient()) return;
  view.role = TableRole::Client;
  view.game = session.Game();
  view.localPosition = session.LocalPosition();
  view.handle = session.Handle();
  for (int s = 0; s < 4; ++s) {
    view.seatHandles[static_cast<std::size_t>(s)] = session.SeatHandle(s);
    view.seatTaken[static_cast<std::size_t>(s)] = session.SeatTaken(s);
  }
}

}  // namespace zelbo
