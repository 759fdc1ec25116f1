#include "engine/random.h"

#include <gtest/gtest.h>

namespace zelbo {
namespace {

TEST(Random, SeedOneGivesTheFixedSequence) {
  Random rng(1);
  const int expected[] = {41, 18467, 6334, 26500, 19169};
  for (int v : expected) EXPECT_EQ(rng.Next(), v);
}

TEST(Random, ReseedingRestartsTheSequence) {
  Random a(12345);
  const int first = a.Next();
  const int second = a.Next();
  a.Seed(12345);
  EXPECT_EQ(a.Next(), first);
  EXPECT_EQ(a.Next(), second);
}

}  // namespace
}  // namespace zelbo
