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

// The query refuses the decision and the operation ignores it.
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
    EXPECT_EQ(g->playRecords[1][0][South], NoCard);  // no card was played
  }
}

TEST(DecisionRound, PositiveContractsOfferOnlyTheDealerAndCloseAtStepFour) {
  for (int contract : {FirstTrumps + Hearts, FirstDominoes + 5}) {
    auto g = ChoosingState(1, West);
    Decide(*g, {contract});
    EXPECT_EQ(g->contractsLeft[West][KindOf(contract)], 0);
    for (int bit : {4, 2, 1}) {  // West is the RHO, the partner, the LHO of the seat acting
      EXPECT_EQ(OfferedDoubles(*g).allowed, bit);
      for (int other : {1, 2, 4})
        if (other != bit) ExpectRefused(*g, {other});
      Decide(*g, {0});
    }
    EXPECT_EQ(g->phase, PhaseFirstLead);
    EXPECT_TRUE(contract >= FirstDominoes || g->turn == West);  // the dealer leads Trumps
  }
}

TEST(DecisionRound, RedoublesCarryTheirMark) {
  auto g = ChoosingState(1, South);
  Decide(*g, {FirstTrumps, 4, 0, 0});  // West doubles South, its RHO
  EXPECT_EQ(g->dealerDoubles[West][South], 1);
  EXPECT_EQ(OfferedDoubles(*g).allowed, 1);  // South at step 4: only West, its LHO
  ExpectRefused(*g, {1, 2, 10});
  Decide(*g, {9});
  EXPECT_EQ(g->doubleFactor[South][West], 4);
  EXPECT_EQ(g->doubleFactor[West][South], 4);
  EXPECT_EQ(g->roundSteps, 5);
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
  // Deals 21..24 are the sixth of each boat, 25..28 the seventh.
  const struct {
    int deal, doublesGiven, forced;
  } cases[] = {{17, 0, 0}, {21, 0, 1}, {21, 1, 0}, {25, 0, 1}, {25, 1, 1}, {25, 2, 0}, {28, 3, 0}};
  for (const auto& c : cases) {
    auto g = ChoosingState(c.deal, North);
    g->dealerDoubles[East][North] = static_cast<int8_t>(c.doublesGiven);
    RecordingHost host;
    ApplyDecision(*g, host, FirstTrumps);
    EXPECT_EQ(host.calls[host.calls.size() - 2], "DoublePrompt " + std::to_string(c.forced));
    EXPECT_EQ(OfferedDoubles(*g).forced, c.forced ? 4 : 0) << c.deal << " " << c.doublesGiven;
    if (c.forced) ExpectRefused(*g, {0});
    Decide(*g, {c.forced ? 4 : 0});
  }
}

TEST(DecisionRound, DecisionsOutsideTheOfferOrPhaseAreIgnored) {
  auto g = ChoosingState(1, South);
  g->contractsLeft[South][KindDominoes] = g->contractsLeft[South][KindZelbo] = 0;
  for (int code = 1; code <= LastContract; ++code) {
    const bool open = KindOf(code) != KindDominoes && KindOf(code) != KindZelbo;
    EXPECT_EQ((AllowedContracts(*g) >> code & 1u) != 0, open) << code;
  }
  ExpectRefused(*g, {0, -1, 23, 255, Zelbo, FirstDominoes, LastContract});
  Decide(*g, {NoQueens});
  ExpectRefused(*g, {-1, 8, 64, 65, 255, 9});
  for (int phase : {PhaseChoosingSuspended, PhaseFirstLead}) {
    g->phase = phase;
    ExpectRefused(*g, {0});
    EXPECT_TRUE(IsIgnored(*g, [](GameState& c, EngineHost& h) { AdvanceDecisionRound(c, h); }));
  }
}

TEST(DecisionRound, DominoesPassesSeatsWithoutTheStartingRank) {
  for (int deal = 1; deal <= DealCount; ++deal) {  // a deal of seed 1 whose dealer holds no Seven
    auto g = ChoosingState(deal, South);
    if (std::any_of(g->hands[South], g->hands[South] + 13, [](int c) { return RankOf(c) == 5; })) continue;
    Decide(*g, {FirstDominoes + 5, 0, 0, 0});
    int expected = West;
    while (!HoldsPlayableDomino(*g, expected)) expected = NextSeat(expected);
    EXPECT_NE(expected, South);
    EXPECT_EQ(g->turn, expected);
    return;
  }
  FAIL() << "no deal without a Seven for the dealer";
}

}  // namespace
}  // namespace zelbo
