// Feeds arbitrary bytes to the saved-game decoder. Whatever it accepts must
// encode back to exactly the same bytes, and the hand records and decision
// texts of the accepted game must be producible without fault.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>

#include "engine/decision_text.h"
#include "records/hand_records.h"
#include "records/saved_game.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zelbo;
  auto g = std::make_unique<GameState>();
  const auto before = std::make_unique<GameState>(*g);
  std::string error;
  SeatTakenFlags seatTaken{};
  const std::span<const uint8_t> bytes(data, size);
  if (!DecodeSavedGame(bytes, *g, error, &seatTaken)) {
    if (error.empty() || *g != *before) std::abort();  // refused: untouched, and said why
    return 0;
  }
  const std::vector<uint8_t> again = EncodeSavedGame(*g, seatTaken);
  if (again.size() != size || !std::equal(again.begin(), again.end(), data)) std::abort();

  HandRecordsContext ctx;
  ctx.seatHandles = {"a", "b", "c", "d"};
  const std::string text = HandRecordsText(*g, ctx);
  if (text.empty()) std::abort();
  std::string words;
  for (int deal = 0; deal < DealRows; ++deal)
    for (int index = 0; index < 5; ++index)
      DecisionText(words, *g, deal, g->dealer, index, SeatNames{"s", "w", "n", "e"});
  return 0;
}
