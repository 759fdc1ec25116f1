// The review of a seat's play: its verdicts depend only on what the seat
// knew, so hidden cards swapped between the other hands (in a way the
// seat's knowledge allows) change nothing; and it measures the move played
// against every other.
#include <gtest/gtest.h>

#include <utility>

#include "records/game_replay.h"
#include "robot/decision_review.h"
#include "tests/records_fixtures.h"

namespace zelbo {
namespace {

// The states at each of `seat`'s decisions in `deal` of a finished game, up
// to its `upTo`-th card, with the move played at each.
std::vector<std::pair<GameState, int>> SeatTurns(const GameState& finished, int deal, int seat, int upTo) {
  std::vector<std::pair<GameState, int>> turns;
  GameReplay replay(finished);
  int cards = 0;
  for (;;) {
    const ReplayAction a = replay.NextAction();
    if (a.kind == ReplayAction::Kind::None || replay.Now().dealNumber > deal) break;
    if (replay.Now().dealNumber == deal && a.seat == seat) {
      turns.emplace_back(replay.Now(), a.value);
      if (a.kind == ReplayAction::Kind::Card && ++cards == upTo) break;
    }
    replay.Step();
  }
  return turns;
}

std::vector<ReviewedDecision> Review(const std::vector<std::pair<GameState, int>>& turns, int seat) {
  DealReview review(seat, 40);
  for (std::size_t i = 0; i < turns.size(); ++i) review.AddDecision(turns[i].first, static_cast<int>(i), turns[i].second);
  while (!review.Work(997)) {
  }
  EXPECT_EQ(review.DonePlayouts(), review.TotalPlayouts());
  return review.Results();
}

TEST(DealReview, HiddenCardsSwappedAsTheSeatCouldNotTellChangeNothing) {
  testing::RecordingHost host;
  const auto g = testing::PlayedGame(host, 31, [](const GameState&) { return false; });
  ASSERT_EQ(g->phase, PhaseGameOver);
  int checked = 0;
  for (int deal = 1; deal <= DealCount && checked < 2; ++deal) {
    const int contract = g->dealDecisions[deal][0];
    if (IsDominoes(contract) || g->playRecords[deal][0][0] == NoCard) continue;
    const int seat = deal % 4;
    auto turns = SeatTurns(*g, deal, seat, 6);
    if (turns.empty() || turns.back().first.phase != PhasePlaying) continue;
    // Two cards of one suit, still held by two other seats at the last turn.
    const GameState& last = turns.back().first;
    int a = -1, b = -1, holderA = -1, holderB = -1;
    for (int x = 0; x < 4 && b < 0; ++x)
      for (int y = x + 1; y < 4 && b < 0; ++y) {
        if (x == seat || y == seat) continue;
        for (int ca : last.hands[x])
          for (int cb : last.hands[y])
            if (b < 0 && IsCard(ca) && IsCard(cb) && SuitOf(ca) == SuitOf(cb)) a = ca, b = cb, holderA = x, holderB = y;
      }
    if (b < 0) continue;
    auto swapped = turns;
    for (auto& [state, played] : swapped) {
      for (int s : {holderA, holderB})
        for (uint8_t& c : state.hands[s]) c = c == a ? b : c == b ? a : c;
      for (int s : {holderA, holderB})
        for (uint8_t& c : state.dealRecords[deal][s]) c = c == a ? b : c == b ? a : c;
    }
    ASSERT_FALSE(swapped.back().first == last);
    const auto plain = Review(turns, seat), other = Review(swapped, seat);
    ASSERT_EQ(plain.size(), turns.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
      EXPECT_EQ(plain[i].best, other[i].best) << deal << " " << i;
      EXPECT_EQ(plain[i].bestValue, other[i].bestValue) << deal << " " << i;
      EXPECT_EQ(plain[i].played, turns[i].second);
      EXPECT_GE(plain[i].bestValue, plain[i].playedValue);
      EXPECT_EQ(plain[i].marked, plain[i].bestValue - plain[i].playedValue >= ReviewMarkPoints);
    }
    ++checked;
  }
  EXPECT_EQ(checked, 2);
}

}  // namespace
}  // namespace zelbo
