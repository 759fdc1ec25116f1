#include <gtest/gtest.h>

#include "tests/engine_fixtures.h"

namespace zelbo {
namespace {

using namespace zelbo::testing;

void Decide(GameState& g, EngineHost& host, int value) {
  ASSERT_TRUE(IsDecisionAllowed(g, value)) << "value " << value << " step " << g.turn;
  ApplyDecision(g, host, value);
}

// The decision is refused: no change and no host call.
void ExpectRefused(GameState& g, int value) {
  RecordingHost host;
  const GameState before = g;
  EXPECT_FALSE(IsDecisionAllowed(g, value)) << value;
  ApplyDecision(g, host, value);
  EXPECT_TRUE(SameGame(before, g)) << value;
  EXPECT_TRUE(host.calls.empty()) << value;
}

TEST(DecisionRound, UndoubledNegativeContractIsScoredWithoutPlay) {
  const int dealerScore[6] = {0, 1, 0, 0, 0, 1};
  const int otherScore[6] = {0, -9, -8, -10, -10, -7};
  const int total[6] = {0, -26, -24, -30, -30, -20};
  for (int contract = Misere; contract <= Zelbo; ++contract) {
    auto g = ChoosingState(1, East);
    RecordingHost host;
    Decide(*g, host, contract);
    for (int step = 1; step <= 3; ++step) Decide(*g, host, 0);
    EXPECT_EQ(g->dealNumber, 2);
    EXPECT_EQ(g->phase, PhaseChoosing);
    EXPECT_EQ(g->dealer, South);
    int sum = 0;
    for (int s = 0; s < 4; ++s) {
      EXPECT_EQ(g->dealScores[1][s], s == East ? dealerScore[contract] : otherScore[contract]);
      sum += g->dealScores[1][s];
    }
    EXPECT_EQ(sum, total[contract]);
    EXPECT_EQ(g->playRecords[1][0][South], NoCard);  // no card was played
  }
}

TEST(DecisionRound, TrumpsAllPassClosesAtStepFourWithTheDealerToLead) {
  auto g = ChoosingState(1, West);
  RecordingHost host;
  Decide(*g, host, FirstTrumps + Hearts);
  EXPECT_EQ(g->contract, FirstTrumps + Hearts);
  EXPECT_EQ(g->contractsLeft[West][KindTrumps], 0);
  for (int step = 1; step <= 3; ++step) Decide(*g, host, 0);
  EXPECT_EQ(g->phase, PhaseFirstLead);
  EXPECT_EQ(g->roundSteps, 4);
  EXPECT_EQ(g->turn, West);
  EXPECT_EQ(g->anyDoubled, 0);
}

TEST(DecisionRound, PositiveContractsOfferOnlyTheDealer) {
  auto g = ChoosingState(1, South);
  RecordingHost host;
  Decide(*g, host, FirstDominoes + 5);
  for (int s = 0; s < 4; ++s) EXPECT_EQ(g->tally[s], 13);
  const int dealerBit[4] = {0, 4, 2, 1};
  for (int step = 1; step <= 3; ++step) {
    const DoublingOffer offer = OfferedDoubles(*g);
    EXPECT_EQ(offer.allowed, dealerBit[step]);
    EXPECT_EQ(offer.forced, 0);
    for (int other : {1, 2, 4})
      if (other != dealerBit[step]) ExpectRefused(*g, other);
    Decide(*g, host, 0);
  }
}

TEST(DecisionRound, DealerRedoublesAtStepFive) {
  auto g = ChoosingState(1, South);
  RecordingHost host;
  Decide(*g, host, FirstTrumps);
  Decide(*g, host, 4);  // West doubles South, its RHO
  EXPECT_EQ(g->doubleFactor[West][South], 2);
  EXPECT_EQ(g->doubleFactor[South][West], 2);
  EXPECT_EQ(g->dealerDoubles[West][South], 1);
  Decide(*g, host, 0);
  Decide(*g, host, 0);
  ASSERT_EQ(g->turn, 4);
  ASSERT_EQ(g->phase, PhaseChoosing);
  const DoublingOffer offer = OfferedDoubles(*g);
  EXPECT_EQ(offer.allowed, 1);   // only West, South's LHO
  EXPECT_EQ(offer.redouble, 1);
  EXPECT_EQ(offer.forced, 0);
  EXPECT_EQ(ForcedDoubleNow(*g), 0);
  ExpectRefused(*g, 1);  // a redouble must carry its mark
  ExpectRefused(*g, 2);  // North did not double South
  ExpectRefused(*g, 10);
  Decide(*g, host, 9);
  EXPECT_EQ(g->doubleFactor[South][West], 4);
  EXPECT_EQ(g->doubleFactor[West][South], 4);
  EXPECT_EQ(g->roundSteps, 5);
  EXPECT_EQ(g->phase, PhaseFirstLead);
  EXPECT_EQ(g->dealDecisions[1][4], 9);
}

TEST(DecisionRound, RedoubleInANegativeContractGivesByte36) {
  auto g = ChoosingState(1, South);
  RecordingHost host;
  Decide(*g, host, Misere);
  EXPECT_EQ(OfferedDoubles(*g).allowed, 7);
  Decide(*g, host, 1);  // West doubles North, its LHO
  const DoublingOffer offer = OfferedDoubles(*g);
  EXPECT_EQ(offer.allowed, 7);
  EXPECT_EQ(offer.redouble, 4);  // West is North's RHO
  EXPECT_EQ(DoublingByte(offer, 4), 36);
  ExpectRefused(*g, 4);
  ExpectRefused(*g, 33);
  Decide(*g, host, 36);
  EXPECT_EQ(g->doubleFactor[North][West], 4);
  EXPECT_EQ(g->doubleFactor[West][North], 4);
  EXPECT_EQ(g->dealDecisions[1][2], 36);
  Decide(*g, host, 0);
  EXPECT_EQ(g->phase, PhaseFirstLead);  // South was not doubled: no step 4
  EXPECT_EQ(g->roundSteps, 4);
  EXPECT_EQ(g->dealerDoubled, 0);
}

TEST(DecisionRound, CompulsoryDoubleFollowsTheDealsLeftInTheBoat) {
  // Deals 21..24 are the sixth of each boat, 25..28 the seventh.
  struct Case {
    int deal, doublesGiven, forced;
  } cases[] = {{17, 0, 0}, {21, 0, 1}, {21, 1, 0}, {25, 0, 1}, {25, 1, 1}, {25, 2, 0}, {28, 3, 0}};
  for (const Case& c : cases) {
    auto g = ChoosingState(c.deal, North);
    RecordingHost host;
    g->dealerDoubles[East][North] = static_cast<int8_t>(c.doublesGiven);
    Decide(*g, host, FirstTrumps);
    EXPECT_EQ(g->forcedDouble, c.forced) << c.deal << " " << c.doublesGiven;
    EXPECT_EQ(host.calls[host.calls.size() - 2], "DoublePrompt " + std::to_string(c.forced));
    EXPECT_EQ(OfferedDoubles(*g).forced, c.forced ? 4 : 0);
    if (c.forced) ExpectRefused(*g, 0);
    Decide(*g, host, c.forced ? 4 : 0);
  }
}


TEST(DecisionRound, ContractChoicesOutsideTheOfferAreIgnored) {
  auto g = ChoosingState(1, South);
  g->contractsLeft[South][KindDominoes] = 0;
  g->contractsLeft[South][KindZelbo] = 0;
  const uint32_t allowed = AllowedContracts(*g);
  for (int code = 1; code <= LastContract; ++code) {
    const bool open = KindOf(code) != KindDominoes && KindOf(code) != KindZelbo;
    EXPECT_EQ((allowed >> code & 1u) != 0, open) << code;
  }
  for (int value : {0, -1, 23, 255, 1000, Zelbo, FirstDominoes, LastContract}) ExpectRefused(*g, value);
  g->phase = PhaseChoosingSuspended;
  ExpectRefused(*g, Misere);
  EXPECT_EQ(AllowedContracts(*g), 0u);
}

TEST(DecisionRound, DoublingBytesOutsideTheOfferAreIgnored) {
  auto g = ChoosingState(1, South);
  RecordingHost host;
  Decide(*g, host, NoQueens);
  for (int value : {-1, 8, 64, 65, 255, 9}) ExpectRefused(*g, value);
  g->phase = PhaseFirstLeadSuspended;
  ExpectRefused(*g, 0);
  g->phase = PhaseChoosing;
  // Outside phase 1 the round does not move.
  g->phase = PhaseFirstLead;
  const GameState before = *g;
  AdvanceDecisionRound(*g, host);
  EXPECT_TRUE(SameGame(before, *g));
}

TEST(DecisionRound, DominoesPassesSeatsWithoutTheStartingRank) {
  // Find a deal of seed 1 whose dealer holds no Seven.
  for (int deal = 1; deal <= DealCount; ++deal) {
    auto g = ChoosingState(deal, South);
    bool dealerHasSeven = false;
    for (int i = 0; i < 13; ++i) dealerHasSeven |= RankOf(g->hands[South][i]) == 5;
    if (dealerHasSeven) continue;
    RecordingHost host;
    Decide(*g, host, FirstDominoes + 5);
    for (int step = 1; step <= 3; ++step) Decide(*g, host, 0);
    ASSERT_EQ(g->phase, PhaseFirstLead);
    int expected = West;
    while (!HoldsPlayableDomino(*g, expected)) expected = NextSeat(expected);
    EXPECT_NE(g->turn, South);
    EXPECT_EQ(g->turn, expected);
    for (int s = 0; s < 4; ++s) EXPECT_EQ(g->domUp[s], s * 13 + 5);
    return;
  }
  FAIL() << "no deal without a Seven for the dealer";
}

}  // namespace
}  // namespace zelbo
