// The user's table settings (colour and the spacing of the own hand's
// cards): the values of a fresh start and the one rule for the spacing's
// range, shared by the desktop's Setup dialog and the page's settings.
#pragma once

#include <algorithm>
#include <cstdint>

#include "display/canvas.h"

namespace zelbo {

constexpr Rgb DefaultTableColour{230, 230, 230};
constexpr int32_t DefaultCardSpacing = 16;

// 0 stacks the cards on one another; at a card's width they lie side by
// side, and any wider spacing only pushes the hand off the table.
constexpr int32_t MinCardSpacing = 0;
constexpr int32_t MaxCardSpacing = CardWidth;

constexpr int32_t BoundCardSpacing(int64_t spacing) {
  return static_cast<int32_t>(std::clamp<int64_t>(spacing, MinCardSpacing, MaxCardSpacing));
}

}  // namespace zelbo
