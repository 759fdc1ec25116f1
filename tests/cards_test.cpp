#include "engine/cards.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace zelbo {
namespace {

std::string Short(int code) {
  char buffer[32] = "untouched";
  ContractShortName(buffer, code);
  return buffer;
}

std::string Long(int code) {
  char buffer[32] = "untouched";
  ContractLongName(buffer, code);
  return buffer;
}

TEST(Cards, ShortNamesKeepTheirTrailingSpaces) {
  EXPECT_EQ(Short(Misere), "Misere" + std::string(10, ' '));
  EXPECT_EQ(Short(NoHearts), "No Hearts" + std::string(8, ' '));
  EXPECT_EQ(Short(18), "Doms 10" + std::string(9, ' '));
  EXPECT_EQ(Short(FirstTrumps + Clubs), "Trumps C" + std::string(9, ' '));
  for (int code = 1; code <= LastContract; ++code) {
    const bool longer = code == NoHearts || IsTrumps(code);
    EXPECT_EQ(Short(code).size(), longer ? 17u : 16u) << code;
  }
}

TEST(Cards, LongNames) {
  EXPECT_EQ(Long(NoLastTwo), "No Last Two");
  EXPECT_EQ(Long(FirstTrumps + Diamonds), "Trumps Diamonds");
  EXPECT_EQ(Long(FirstDominoes + 5), "Dominoes from the Seven");
  EXPECT_EQ(Long(LastContract), "Dominoes from the Ace");
}

TEST(Cards, CodesOutsideTheRangeLeaveTheBufferAlone) {
  for (int code : {0, 23, -1, 255}) {
    EXPECT_EQ(Short(code), "untouched");
    EXPECT_EQ(Long(code), "untouched");
  }
}

TEST(Cards, KindsAndTrueModuloSeats) {
  EXPECT_EQ(KindOf(Misere), KindMisere);
  EXPECT_EQ(KindOf(Zelbo), KindZelbo);
  EXPECT_EQ(KindOf(9), KindTrumps);
  EXPECT_EQ(KindOf(22), KindDominoes);
  EXPECT_EQ(KindOf(23), -1);
  EXPECT_EQ(SeatMod(2 - 28 + 29 - 4 * 10), 3);  // first dealer from a negative intermediate
}

}  // namespace
}  // namespace zelbo
