#include "display/client_view.h"

namespace zelbo {

void FillClientView(TableView& view, const ClientSession& session) {
  if (!session.IsClient()) return;
  view.role = TableRole::Client;
  view.game = session.Game();
  view.LocalPosition = session.LocalPosition();
  view.Handle = session.Handle();
  for (int s = 0; s < 4; ++s) {
    view.SeatHandles[static_cast<std::size_t>(s)] = session.SeatHandle(s);
    view.SeatTaken[static_cast<std::size_t>(s)] = session.SeatTaken(s);
  }
}

}  // namespace zelbo
