// The words of one step of the current deal's doubling round as the table
// shows them: players named by their handles as the table names them, in
// the colour of the decision.
#pragma once

#include <string>

#include "display/canvas.h"
#include "display/table_view.h"

namespace zelbo {

// Writes the text of entry `index` (0 the contract, 1..4 the doubling
// steps) of the current deal's decisions into `text` and returns its
// colour. A deal number outside the game or an index outside 0..4 gives no
// text (and white, the colour of a step not yet taken).
Rgb DecisionWords(const TableView& view, int index, std::string& text);

}  // namespace zelbo
