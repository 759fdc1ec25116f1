// The table as a client of a server sees it: the mirrored game, the
// position the server granted and the seat names and flags it sent. The
// desktop window and the browser page both paint from it.
#pragma once

#include "display/table_view.h"
#include "net/client_session.h"

namespace zelbo {

// Fills the game, position and seat fields of `view` from `session` and
// opens it; the settings fields are left as they are. A session that is
// not connected leaves the view closed.
void FillClientView(TableView& view, const ClientSession& session);

}  // namespace zelbo
