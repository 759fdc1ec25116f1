#include "table_view_source/client_view.h"

namespace zelbo {

void FillClientView(TableView& view, const ClientSession& session) {
  if (!session.IsClient()) return;
  view.open = true;
  view.game = session.Game();
  view.localPosition = session.LocalPosition();
  for (int s = 0; s < 4; ++s) {
    view.seatNames[static_cast<std::size_t>(s)] = session.SeatHandle(s);
    view.seatTaken[static_cast<std::size_t>(s)] = session.SeatTaken(s);
  }
}

}  // namespace zelbo
