#include "web/bridge/page_constants.h"

#include <optional>

#include "dialogs/doubling_model.h"
#include "dialogs/pick_game_model.h"
#include "display/compact_layout.h"
#include "display/table_settings.h"
#include "engine/cards.h"
#include "engine/game_state.h"
#include "net/client_session.h"

namespace zelbo {

PageConstants MakePageConstants() {
  PageConstants c{};
  c.tableWidth = TableWidth;
  c.tableHeight = TableHeight;
  c.cardCount = NoCard;  // card codes are 0 .. NoCard - 1
  c.compactBelowWidth = CompactBelowWidth;
  c.compactBelowHeight = CompactBelowHeight;
  c.faceWeight = TableFaceWeight;
  c.minFaceStretch = MinFaceStretch;
  c.maxFaceStretch = MaxFaceStretch;
  for (int i = 0; i < TableFaceCount; ++i) c.faces[static_cast<std::size_t>(i)] = TableFaces[i];
  for (int seat = South; seat <= East; ++seat) {
    c.seatNames[static_cast<std::size_t>(seat)] = SeatName(static_cast<Seat>(seat));
  }
  c.sitMenuSeats = {West, North, East, South};
  c.kibitzEveryone = KibitzEveryone;
  c.pickBoxCount = PickGameModel::BoxCount;
  c.pickSuitCount = PickGameModel::SuitCount;
  c.pickRankCount = PickGameModel::RankCount;
  c.actionBoxCount = DoublingModel::BoxCount;
  c.minCardSpacing = MinCardSpacing;
  c.maxCardSpacing = MaxCardSpacing;
  c.defaultCardSpacing = DefaultCardSpacing;
  c.defaultTableColour = ColourText(DefaultTableColour);
  c.maxHandleLength = MaxHandleLength;
  return c;
}

std::string PositionText(int position) {
  const std::optional<Position> p = PositionFromInt(position);
  if (!p || *p == NoPosition) return "not seated";
  if (WatchesAll(*p)) return "watching everyone";
  const Seat seat = static_cast<Seat>(ViewedSeat(*p));
  return std::string(IsSeated(*p) ? "seated " : "watching ") + SeatName(seat);
}

namespace {

constexpr char HexDigits[] = "0123456789abcdef";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string ColourText(Rgb colour) {
  std::string text = "#";
  for (uint8_t part : {colour.red, colour.green, colour.blue}) {
    text += HexDigits[part >> 4];
    text += HexDigits[part & 15];
  }
  return text;
}

bool ParseColourText(std::string_view text, Rgb& colour) {
  if (text.size() != 7 || text[0] != '#') return false;
  uint8_t parts[3];
  for (int i = 0; i < 3; ++i) {
    const int high = HexValue(text[static_cast<std::size_t>(1 + 2 * i)]);
    const int low = HexValue(text[static_cast<std::size_t>(2 + 2 * i)]);
    if (high < 0 || low < 0) return false;
    parts[i] = static_cast<uint8_t>(high * 16 + low);
  }
  colour = Rgb{parts[0], parts[1], parts[2]};
  return true;
}

}  // namespace zelbo
