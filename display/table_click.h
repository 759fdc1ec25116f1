// What a click on the table means for the local user: a card of the own
// hand to play, and/or the hidden Undo spot over the own name. The verdict
// is pure; the caller acts on it (PlayCard on a server, MsgPlayCard on a
// client; the Undo command for the spot). Whether the card may be played is
// not checked here: the server decides.
#pragma once

#include "display/compact_layout.h"
#include "display/table_view.h"

namespace zelbo {

struct TableClick {
  bool undo = false;   // the privileged user hit the hidden Undo spot
  int slot = -1;       // hand slot 0..12 hit, -1 when no card was hit
  int card = NoCard;   // the card in that slot
};

// The hidden Undo spot over the own name: x 350..500, y 507..550.
bool InUndoSpot(int x, int y);

// The Undo spot of the view's layout: the classic one, or on the compact
// table the own name's line.
bool InOwnUndoSpot(const TableView& view, int x, int y);

// The click at (x, y) in table coordinates (of the view's layout). Nothing at all for a viewer
// without a position; the Undo spot only for a privileged user; a card
// only in PhasePlaying or PhaseFirstLead on the local seat's turn, within
// y 400..497, where a card counts over its visible strip, or over its whole
// width when no card lies to its right.
TableClick ClickTable(const TableView& view, int x, int y);

// The hand slot under (x, y) for the seat shown at the bottom, whoever's
// turn it is (the same strips as ClickTable); -1 over no card.
int HandSlotAt(const TableView& view, int x, int y);

// Where the own hand's cards lie in the view's layout, in hand order, each
// with the part of it that is hit (the classic strips count at the spacing,
// bounded to a card's width).
HandPlaces TableHandPlaces(const TableView& view);

}  // namespace zelbo
