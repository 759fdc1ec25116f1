#include "display/table_click.h"

#include "display/hand_geometry.h"

namespace zelbo {

bool InUndoSpot(int x, int y) { return x >= 350 && x <= 500 && y >= 507 && y <= 550; }

TableClick ClickTable(const TableView& view, int x, int y) {
  TableClick click;
  if (ViewerSeat(view) < 0) return click;
  click.undo = view.privileged && InUndoSpot(x, y);

  const GameState& g = view.game;
  const int seat = view.localPosition;
  if (seat < 0 || SeatToPlay(g) != seat) return click;
  click.slot = HandSlotAt(view, x, y);
  if (click.slot >= 0) click.card = g.hands[seat][click.slot];
  return click;
}

int HandSlotAt(const TableView& view, int x, int y) {
  const int seat = ViewerSeat(view);
  // A raised card is also hit over the strip it stands out by.
  const int top = view.raisedSlot >= 0 ? HandTop - RaisedBy : HandTop;
  if (seat < 0 || y < top || y > HandBottom) return -1;
  const uint8_t(&hand)[13] = view.game.hands[seat];
  const int64_t s = view.cardSpacing;
  for (int i = 0; i < 13; ++i) {
    if (!SlotHoldsCard(hand[i])) continue;
    const int64_t left = HandCardLeft(view.cardSpacing, i);
    const bool strip = x >= left && x <= left + s - 1;
    const bool whole = !SlotIsCovered(hand, i) && x >= left && x <= left + CardWidth;
    if ((strip || whole) && (y >= HandTop || i == view.raisedSlot)) return i;
  }
  return -1;
}

}  // namespace zelbo
