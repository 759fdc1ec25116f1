// The exact order of the engine's side effects: the network, the files and
// the windows rely on it.
#include <gtest/gtest.h>

#include "engine/simple_policy.h"
#include "tests/engine_fixtures.h"

namespace zelbo {
namespace {

using namespace zelbo::testing;
using Calls = std::vector<std::string>;

const Calls kNextDeal = {"Status", "Turn",   "DoubleFactors", "Tally",          "DoublesOwed", "Hand 0",
                         "Hand 1", "Hand 2", "Hand 3",        "ContractPrompt", "Redraw",      "Save"};

Calls Concat(std::initializer_list<Calls> parts) {
  Calls out;
  for (const Calls& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST(HostOrder, OneCardAndOneTrick) {
  for (int contract : {Misere, NoLastTwo, Zelbo}) {  // the last two send no tally
    auto g = FirstLead(contract, South, "AS 2H|KS 3H|QS 4H|JS 5H");
    RecordingHost host;
    ASSERT_TRUE(PlayInTurn(*g, host, "AS"));
    EXPECT_EQ(host.calls, (Calls{"Snapshot", "Hand 0", "TableCards", "Status", "Turn", "Redraw", "Save"}));
    ASSERT_TRUE(PlayInTurn(*g, host, "KS QS"));
    host.calls.clear();
    ASSERT_TRUE(PlayInTurn(*g, host, "JS"));
    Calls want = {"Snapshot", "Hand 3", "TableCards", "Status", "Turn", "Redraw", "Save"};
    if (contract == Misere) want.insert(want.begin() + 4, "Tally");
    EXPECT_EQ(host.calls, want) << contract;
  }
}

TEST(HostOrder, DecisionsOfTheRound) {
  const Calls choice = {"Snapshot", "Redraw", "Contract", "DealDecision", "Turn", "DoublePrompt 0", "Save"};
  const Calls step = {"Snapshot", "Redraw", "DoubleFactors", "DealDecision", "Turn", "DoublePrompt 0", "Save"};
  RecordingHost host;
  ApplyDecision(*ChoosingState(1, South), host, FirstDominoes);  // the tally first
  EXPECT_EQ(host.calls, Concat({{"Snapshot", "Tally"}, Calls(choice.begin() + 1, choice.end())}));
  auto g = ChoosingState(1, South);
  for (int value : {FirstTrumps, 4, 0, 0}) {  // South is doubled: step 4 follows step 3
    host.calls.clear();
    ApplyDecision(*g, host, value);
    EXPECT_EQ(host.calls, value == FirstTrumps ? choice : step) << value;
  }
  host.calls.clear();
  ApplyDecision(*g, host, 0);  // the dealer does not redouble: the round closes
  EXPECT_EQ(host.calls, (Calls{"Snapshot", "Redraw", "DoubleFactors", "DealDecision", "Status", "Turn", "Save"}));
}

// Every end of a deal: by the last card (the trick is shown, then moved to the
// last-trick bytes; Dominoes has none) or inside the decision that leaves a
// negative contract unplayed. The score line replaces a placeholder further down.
TEST(HostOrder, StepsThatEndAHandOrTheGame) {
  RecordingHost host;
  auto g = StartedGame(host, 11);
  int ends[2] = {};  // by a decision, by a card
  while (g->phase != PhaseGameOver) {
    host.calls.clear();
    const bool card = g->phase == PhasePlaying || g->phase == PhaseFirstLead;
    const int seat = g->turn, deal = g->dealNumber;
    const Calls trick = card && !IsDominoes(g->contract) ? Calls{"Status", "TableCards"} : Calls{};
    ASSERT_TRUE(SimpleStep(*g, host));
    if (g->dealNumber == deal) continue;
    ++ends[card];
    const Calls head = card ? Calls{"Snapshot", "Hand " + std::to_string(seat), "TableCards"}
                            : Calls{"Snapshot", "Redraw", "DoubleFactors", "DealDecision"};
    const std::string placeholder = host.calls.at(head.size() + trick.size() + 1);
    EXPECT_EQ(placeholder.rfind("ScoreDelete ", 0), 0u);
    const Calls settle = {"ScoreLine " + std::to_string(ScoreLineIndex(deal)), placeholder, "ScoreLine 255"};
    const Calls over = {"Status", "Turn", "Hand 0", "Hand 1", "Hand 2", "Hand 3", "Redraw", "Save", "GameOver"};
    const Calls tail = card ? Calls{} : Calls{"Save"};  // the decision saves after the new deal
    EXPECT_EQ(host.calls, Concat({head, trick, settle, g->phase == PhaseGameOver ? over : kNextDeal, tail}));
  }
  EXPECT_TRUE(ends[0] && ends[1]);
}

}  // namespace
}  // namespace zelbo
