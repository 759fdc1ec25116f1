#include "display/table_click.h"

#include <algorithm>
#include <cstdint>

#include "display/compact_layout.h"
#include "display/hand_geometry.h"
#include "display/table_layout.h"

namespace zelbo {

bool InUndoSpot(int x, int y) { return x >= 350 && x <= 500 && y >= 507 && y <= 550; }

TableClick ClickTable(const TableView& view, int x, int y) {
  TableClick click;
  if (ViewerSeat(view) < 0) return click;
  click.undo = view.privileged && InOwnUndoSpot(view, x, y);

  const GameState& g = view.game;
  const int seat = view.localPosition;
  if (seat < 0 || SeatToPlay(g) != seat) return click;
  click.slot = HandSlotAt(view, x, y);
  if (click.slot >= 0) click.card = g.hands[seat][click.slot];
  return click;
}

bool InOwnUndoSpot(const TableView& view, int x, int y) {
  if (!UsesCompact(view)) return InUndoSpot(x, y);
  // The compact table's spot is the own name's line, across the table.
  const PaintRect name = CompactNameRect(view, 0);
  return y >= name.y && y < name.y + FaceMetrics(TableFont::Large).lineHeight && x >= 0 &&
         x < LayoutSize(view).width;
}

int HandSlotAt(const TableView& view, int x, int y) {
  if (UsesCompact(view)) return CompactHandSlotAt(view, x, y);
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

HandPlaces TableHandPlaces(const TableView& view) {
  if (UsesCompact(view)) return CompactHand(view);
  HandPlaces out;
  const int seat = ViewerSeat(view);
  if (seat < 0) return out;
  const uint8_t(&hand)[13] = view.game.hands[seat];
  const int strip = static_cast<int>(std::clamp<int64_t>(view.cardSpacing, 1, CardWidth));
  for (int i = 0; i < 13; ++i) {
    if (!SlotHoldsCard(hand[i])) continue;
    HandPlace& place = out.places[static_cast<std::size_t>(out.count++)];
    const int64_t left = HandCardLeft(view.cardSpacing, i);
    const int top = i == view.raisedSlot ? HandTop - RaisedBy : HandTop;
    place.slot = i;
    place.card = PaintRect{static_cast<int>(std::clamp<int64_t>(left, INT32_MIN, INT32_MAX)), top, CardWidth,
                           CardHeight};
    place.visible = place.card;
    if (SlotIsCovered(hand, i)) place.visible.width = strip;
  }
  return out;
}

}  // namespace zelbo
