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

TEST(Cards, ContractNames) {
  const std::string pad(10, ' ');
  EXPECT_EQ(Name(ContractShortName, Misere), "Misere" + pad);
  EXPECT_EQ(Name(ContractShortName, NoHearts), "No Hearts" + pad.substr(2));
  EXPECT_EQ(Name(ContractShortName, 18), "Doms 10" + pad.substr(1));
  EXPECT_EQ(Name(ContractShortName, FirstTrumps + Clubs), "Trumps C" + pad.substr(1));
  for (int code = 1; code <= LastContract; ++code) {
    const bool longer = code == NoHearts || IsTrumps(code);
    EXPECT_EQ(Name(ContractShortName, code).size(), longer ? 17u : 16u) << code;
  }
  EXPECT_EQ(Name(ContractLongName, FirstTrumps + Diamonds), "Trumps Diamonds");
  EXPECT_EQ(Name(ContractLongName, FirstDominoes + 5), "Dominoes from the Seven");
  for (int code : {0, 23, -1, 255}) {  // codes outside the range write nothing
    EXPECT_EQ(Name(ContractShortName, code), "untouched");
    EXPECT_EQ(Name(ContractLongName, code), "untouched");
  }
}

}  // namespace
}  // namespace zelbo
