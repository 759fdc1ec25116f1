#include "engine/cards.h"

#include <gtest/gtest.h>

#include <string>

namespace zelbo {
namespace {

std::string Name(void (*write)(char*, int), int code) {
  char buffer[32] = "untouched";
  write(buffer, code);
  return buffer;
}

TEST(Cards, ContractNamesKeepTheirPaddingAndCodesOutsideTheRangeWriteNothing) {
  EXPECT_EQ(Name(ContractShortName, Misere), "Misere          ");
  EXPECT_EQ(Name(ContractShortName, FirstTrumps + Clubs), "Trumps C         ");
  EXPECT_EQ(Name(ContractLongName, FirstDominoes + 5), "Dominoes from the Seven");
  for (int code = 1; code <= LastContract; ++code)
    EXPECT_EQ(Name(ContractShortName, code).size(), code == NoHearts || IsTrumps(code) ? 17u : 16u) << code;
  for (int code : {0, 23, -1, 255})
    EXPECT_EQ(Name(ContractShortName, code) + Name(ContractLongName, code), "untoucheduntouched") << code;
}

}  // namespace
}  // namespace zelbo
