// The exact order of the engine's side effects: the network, the files and
// the windows rely on it.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/simple_policy.h"
#include "tests/engine_fixtures.h"

namespace zelbo {
namespace {

using namespace zelbo::testing;
using Calls = std::vector<std::string>;

const Calls kNextDeal = {"Status", "Turn",   "DoubleFactors", "Tally",          "DoublesOwed",
                         "Hand 0", "Hand 1", "Hand 2",        "Hand 3",         "ContractPrompt",
                         "Redraw", "Save"};

Calls Concat(std::initializer_list<Calls> parts) {
  Calls out;
  for (const Calls& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST(HostOrder, NewGame) {
  RecordingHost host;
  auto g = std::make_unique<GameState>();
  g->randomSeed = 3;
  NewGame(*g, host, 0);
  Calls want = {"ScoreClear"};
  for (int i = 0; i < 36; ++i) want.push_back("ScoreLine " + std::to_string(i));
  EXPECT_EQ(host.calls, Concat({want, kNextDeal}));
}

TEST(HostOrder, OneCardAndOneTrick) {
  const std::string hands[4] = {"AS 2H", "KS 3H", "QS 4H", "JS 5H"};
  auto g = FirstLead(Misere, South, hands);
  RecordingHost host;
  PlayCard(*g, host, South, C("AS"));
  EXPECT_EQ(host.calls, (Calls{"Snapshot", "Hand 0", "TableCards", "Status", "Turn", "Redraw", "Save"}));
  PlayCard(*g, host, West, C("KS"));
  PlayCard(*g, host, North, C("QS"));
  host.calls.clear();
  PlayCard(*g, host, East, C("JS"));
  EXPECT_EQ(host.calls, (Calls{"Snapshot", "Hand 3", "TableCards", "Status", "Tally", "Turn",
                               "Redraw", "Save"}));
}

TEST(HostOrder, TricksOfNoLastTwoAndZelboSendNoTally) {
  for (int contract : {NoLastTwo, Zelbo}) {
    const std::string hands[4] = {"AS 2C", "KS 3C", "QS 4C", "JS 5C"};
    auto g = FirstLead(contract, South, hands);
    RecordingHost host;
    const auto trick = Cards("AS KS QS JS");
    for (int s = 0; s < 4; ++s) PlayCard(*g, host, s, trick[s]);
    EXPECT_EQ(std::count(host.calls.begin(), host.calls.end(), "Tally"), 0) << contract;
  }
}

TEST(HostOrder, ContractChoiceDoubleAndClose) {
  auto g = ChoosingState(1, South);
  RecordingHost host;
  ApplyDecision(*g, host, FirstTrumps);
  EXPECT_EQ(host.calls, (Calls{"Snapshot", "Redraw", "Contract", "DealDecision", "Turn",
                               "DoublePrompt 0", "Save"}));
  host.calls.clear();
  ApplyDecision(*g, host, 4);
  EXPECT_EQ(host.calls, (Calls{"Snapshot", "Redraw", "DoubleFactors", "DealDecision", "Turn",
                               "DoublePrompt 0", "Save"}));
  ApplyDecision(*g, host, 0);
  host.calls.clear();
  ApplyDecision(*g, host, 0);  // step 3; South was doubled: step 4 follows
  EXPECT_EQ(host.calls, (Calls{"Snapshot", "Redraw", "DoubleFactors", "DealDecision", "Turn",
                               "DoublePrompt 0", "Save"}));
  host.calls.clear();
  ApplyDecision(*g, host, 0);  // the dealer does not redouble: the round closes
  EXPECT_EQ(host.calls, (Calls{"Snapshot", "Redraw", "DoubleFactors", "DealDecision", "Status",
                               "Turn", "Save"}));
}

TEST(HostOrder, DominoesChoiceSendsTheTallyFirst) {
  auto g = ChoosingState(1, South);
  RecordingHost host;
  ApplyDecision(*g, host, FirstDominoes);
  EXPECT_EQ(host.calls, (Calls{"Snapshot", "Tally", "Redraw", "Contract", "DealDecision", "Turn",
                               "DoublePrompt 0", "Save"}));
}

TEST(HostOrder, UnplayedHandEndsInsideTheDecision) {
  auto g = std::make_unique<GameState>();
  RecordingHost host;
  g->randomSeed = 1;
  NewGame(*g, host, 0);
  ApplyDecision(*g, host, Misere);
  ApplyDecision(*g, host, 0);
  ApplyDecision(*g, host, 0);
  host.calls.clear();
  ApplyDecision(*g, host, 0);
  // Deal 1 (Misere, first boat): line 2; its placeholder moved to line 5.
  EXPECT_EQ(host.calls, Concat({{"Snapshot", "Redraw", "DoubleFactors", "DealDecision",
                                 "ScoreLine 2", "ScoreDelete 5", "ScoreLine 255"},
                                kNextDeal,
                                {"Save"}}));
}

TEST(HostOrder, EndOfPlayedHandAndEndOfGame) {
  auto g = std::make_unique<GameState>();
  RecordingHost host;
  g->randomSeed = 11;
  NewGame(*g, host, 0);
  int deal = g->dealNumber;
  bool sawHandEnd = false;
  while (g->phase != PhaseGameOver) {
    host.calls.clear();
    const bool card = g->phase == PhasePlaying;
    const int seat = g->turn;
    const bool dominoes = IsDominoes(g->contract);
    ASSERT_TRUE(SimpleStep(*g, host));
    const int ended = deal;
    deal = g->dealNumber;
    if (deal == ended || !card) continue;
    // A card ended the hand.
    const std::string p = "ScoreLine " + std::to_string(ScoreLineIndex(ended));
    const Calls head = {"Snapshot", "Hand " + std::to_string(seat), "TableCards"};
    const Calls tricks = {"Status", "TableCards"};  // trick shown, then moved to the last-trick bytes
    const std::size_t settle = dominoes ? 3 : 5;
    ASSERT_GE(host.calls.size(), settle + 3) << ::testing::PrintToString(host.calls);
    EXPECT_EQ(Calls(host.calls.begin(), host.calls.begin() + 3), head);
    if (!dominoes) {
      EXPECT_EQ(Calls(host.calls.begin() + 3, host.calls.begin() + 5), tricks);
    }
    EXPECT_EQ(host.calls[settle], p);
    EXPECT_EQ(host.calls[settle + 1].rfind("ScoreDelete ", 0), 0u);
    EXPECT_EQ(host.calls[settle + 2], "ScoreLine 255");
    const Calls rest(host.calls.begin() + static_cast<long>(settle) + 3, host.calls.end());
    if (g->phase == PhaseGameOver) {
      EXPECT_EQ(rest, (Calls{"Status", "Turn", "Hand 0", "Hand 1", "Hand 2", "Hand 3", "Redraw",
                             "Save", "GameOver"}));
    } else {
      EXPECT_EQ(rest, kNextDeal);
      sawHandEnd = true;
    }
  }
  EXPECT_TRUE(sawHandEnd);
}

TEST(HostOrder, DominoesCard) {
  auto g = ChoosingState(1, South);
  RecordingHost host;
  ApplyDecision(*g, host, FirstDominoes + 6);
  for (int i = 0; i < 3; ++i) ApplyDecision(*g, host, 0);
  host.calls.clear();
  const int seat = g->turn;
  ASSERT_TRUE(SimpleStep(*g, host));
  EXPECT_EQ(host.calls, (Calls{"Snapshot", "Hand " + std::to_string(seat), "TableCards", "Tally",
                               "Status", "Turn", "Redraw", "Save"}));
}

}  // namespace
}  // namespace zelbo
