#include <gtest/gtest.h>

#include "tests/engine_fixtures.h"

namespace zelbo {
namespace {

using namespace zelbo::testing;

// Applies the decisions, each of which the query must allow.
void Decide(GameState& g, std::initializer_list<int> values) {
  RecordingHost host;
  for (int value : values) {
    ASSERT_TRUE(IsDecisionAllowed(g, value)) << "value " << value << " step " << g.turn;
    ApplyDecision(g, host, value);
  }
}

// The query refuses each decision and the operation ignores it.
void ExpectRefused(const GameState& g, std::initializer_list<int> values) {
  for (int value : values) {
    EXPECT_FALSE(IsDecisionAllowed(g, value)) << value;
    EXPECT_TRUE(IsIgnored(g, [&](GameState& c, EngineHost& h) { ApplyDecision(c, h, value); })) << value;
  }
}

TEST(DecisionRound, UndoubledNegativeContractIsScoredWithoutPlay) {
  const std::vector<int> want[] = {{}, {-9, -9, -9, 1}, {-8, -8, -8, 0}, {-10, -10, -10, 0},
                                   {-10, -10, -10, 0}, {-7, -7, -7, 1}};  // Misere .. Zelbo, dealer East
  for (int contract = Misere; contract <= Zelbo; ++contract) {
    auto g = ChoosingState(1, East);
    Decide(*g, {contract, 0, 0, 0});
    EXPECT_EQ(g->dealer, South);
    EXPECT_EQ(DealScores(*g, 1), want[contract]) << contract;
  }
}

TEST(DecisionRound, PositiveContractsOfferOnlyTheDealer) {
  for (int contract : {FirstTrumps + Hearts, FirstDominoes + 5}) {
    auto g = ChoosingState(1, West);
    Decide(*g, {contract});
    for (int bit : {4, 2, 1}) {  // West is the RHO, the partner, the LHO of the seat acting
      EXPECT_EQ(OfferedDoubles(*g).allowed, bit);
      ExpectRefused(*g, {(bit << 1 | bit >> 2) & 7, (bit << 2 | bit >> 1) & 7});  // the other two
      Decide(*g, {0});
    }
    EXPECT_EQ(g->phase, PhaseFirstLead);
  }
}

TEST(DecisionRound, RedoublesCarryTheirMark) {
  auto g = ChoosingState(1, South);
  Decide(*g, {FirstTrumps, 4, 0, 0});  // West doubles South, its RHO
  EXPECT_EQ(OfferedDoubles(*g).allowed, 1);  // South at step 4: only West, its LHO
  ExpectRefused(*g, {1, 2, 10});
  Decide(*g, {9});
  EXPECT_EQ(g->doubleFactor[West][South], 4);
  EXPECT_EQ(g->phase, PhaseFirstLead);
  g = ChoosingState(1, South);
  Decide(*g, {Misere, 1});  // West doubles North, its LHO
  EXPECT_EQ(OfferedDoubles(*g).redouble, 4);  // North may redouble West, its RHO
  ExpectRefused(*g, {4, 33});
  Decide(*g, {36, 0});
  EXPECT_EQ(g->doubleFactor[North][West], 4);
  EXPECT_EQ(g->dealDecisions[1][2], 36);
  EXPECT_EQ(g->phase, PhaseFirstLead);  // South was not doubled: no step 4
}

TEST(DecisionRound, CompulsoryDoubleFollowsTheDealsLeftInTheBoat) {
  // Deals 21..24 are the sixth of each boat, 25..28 the seventh: {deal, doubles given, forced}.
  for (auto [deal, given, forced] : {std::tuple{17, 0, 0}, {21, 0, 1}, {21, 1, 0}, {25, 0, 1}, {25, 1, 1},
                                     {25, 2, 0}, {28, 3, 0}}) {
    auto g = ChoosingState(deal, North);
    g->dealerDoubles[East][North] = static_cast<int8_t>(given);
    RecordingHost host;
    ApplyDecision(*g, host, FirstTrumps);
    EXPECT_EQ(host.calls.at(host.calls.size() - 2), "DoublePrompt " + std::to_string(forced));
    EXPECT_EQ(OfferedDoubles(*g).forced, forced * 4) << deal << " " << given;
    EXPECT_EQ(IsDecisionAllowed(*g, 0), !forced);  // a forced double may not be left out
    EXPECT_TRUE(IsDecisionAllowed(*g, 4));
  }
}

TEST(DecisionRound, DecisionsOutsideTheOfferOrPhaseAreIgnored) {
  auto g = ChoosingState(1, South);
  g->contractsLeft[South][KindDominoes] = g->contractsLeft[South][KindZelbo] = 0;
  for (int code = 1; code <= LastContract; ++code)
    EXPECT_EQ(AllowedContracts(*g) >> code & 1u, KindOf(code) != KindDominoes && KindOf(code) != KindZelbo);
  ExpectRefused(*g, {0, -1, 23, 255, Zelbo, FirstDominoes, LastContract});
  Decide(*g, {NoQueens});
  ExpectRefused(*g, {-1, 8, 64, 65, 255, 9});  // other phases: the card-play test
}

}  // namespace
}  // namespace zelbo
