// The table as the server's own user sees it: the authoritative game, the
// user's own place, and the seats as the server holds them.
#pragma once

#include "display/table_view.h"
#include "net/server_table.h"

namespace zelbo {

// What an empty seat is called in the server's texts (the dealer line and
// the decisions).
inline constexpr const char* EmptySeatName = "crashee";

// Fills the game, position and seat fields of `view` from `server` and
// opens it; the settings fields are left as they are. The server's own
// seat goes by the server's handle, another taken seat by its
// connection's handle, an empty one by EmptySeatName.
void FillServerView(TableView& view, const ServerTable& server);

}  // namespace zelbo
