// The compact table's painter: the same table as the classic painter draws,
// placed by compact_layout for a small screen. PaintTable calls it for a
// view in the compact layout.
#pragma once

#include "display/canvas.h"
#include "display/table_view.h"

namespace zelbo {

void PaintCompactTable(const TableView& view, const PaintRect& updateArea, Canvas& canvas);

}  // namespace zelbo
