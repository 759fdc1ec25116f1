// The robot levels in process: what a seat infers is true of the real deal,
// every sampled deal agrees with what the seat knows, the strong robot's
// move depends on nothing its seat cannot see, and whole games replay.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <utility>

#include "engine/engine.h"
#include "robot/card_choice.h"
#include "robot/deal_sampler.h"
#include "robot/robot_match.h"
#include "robot/robot_player.h"
#include "robot/seat_view.h"

namespace zelbo {
namespace {

constexpr LookAhead kSmall{12, 1};  // keeps whole strong games cheap under sanitizers

// Calls `visit(g, seat)` before every move of a game of normal robots.
template <typename Visit>
void ForEachPosition(uint32_t seed, Visit visit) {
  EngineHost host;
  GameState g;
  RobotPlayer normal[4];
  RobotPlayer* seats[4] = {&normal[0], &normal[1], &normal[2], &normal[3]};
  const MatchResult r = PlayPlayersMatch(seed, seats, g, host, [&](const GameState& now, int seat, double) {
    visit(now, seat);
  });
  ASSERT_TRUE(r.finished && r.refusedMoves == 0);
}

// The play-outs ask the normal robot for its card on the whole record; that
// must be the card it picks from its own seat's mirror.
TEST(Playout, NormalCardFromTheWholeRecordIsTheCardFromTheSeatsMirror) {
  int cards = 0;
  for (uint32_t seed : {3u, 4u}) {
    ForEachPosition(seed, [&](const GameState& g, int seat) {
      if (g.phase == PhaseChoosing) return;
      ASSERT_EQ(ChooseCardFromView(g, seat), ChooseCard(ClientMirrorOf(g, seat), seat));
      ++cards;
    });
  }
  EXPECT_GT(cards, 2000);
}

// Over every position of whole games, for every seat watching: what it has
// inferred holds for the real hands, and deals sampled from it keep the
// seat's own hand, the cards played, the hand sizes and every inference.
TEST(DealSampler, EverySampledDealAgreesWithWhatTheSeatKnows) {
  long samples = 0, inferred = 0, dominoFacts = 0;
  for (uint32_t seed : {5u, 6u, 7u}) {
    SeatKnowledge knowledge[4];
    ForEachPosition(seed, [&](const GameState& g, int me) {
      if (g.phase == PhaseChoosing) return;
      const GameState view = SeatView(ClientMirrorOf(g, me), me);
      SeatKnowledge& k = knowledge[me];
      ObserveSeatView(k, view, me);
      for (int s = 0; s < 4; ++s) {
        ASSERT_EQ(k.cannotHold[s] & HandCards(g, s), 0u) << "a false inference about seat " << s;
        ASSERT_EQ(k.played & HandCards(g, s), 0u) << "a card in a hand counted as played";
        if (s != me) inferred += std::popcount(k.cannotHold[s]);
        if (s != me && IsDominoes(g.contract)) dominoFacts += std::popcount(k.cannotHold[s]);
      }
      SampleRandom rng(samples + 1);
      for (int i = 0; i < 3; ++i) {
        GameState sampled;
        ASSERT_TRUE(SampleDeal(view, me, k, rng, sampled));
        ++samples;
        CardSet all = 0;
        for (int s = 0; s < 4; ++s) {
          const CardSet h = HandCards(sampled, s);
          EXPECT_EQ(std::popcount(h), std::popcount(HandCards(g, s))) << "hand size of seat " << s;
          EXPECT_EQ(all & h, 0u) << "a card dealt twice";
          all |= h;
          EXPECT_EQ(h & k.played, 0u);
          if (s != me) {
            EXPECT_EQ(h & k.cannotHold[s], 0u) << "an inference broken for seat " << s;
          }
        }
        EXPECT_EQ(HandCards(sampled, me), HandCards(g, me));
        // The cards out of every hand are exactly those really played.
        const CardSet out = ~all & ((CardSet{1} << 52) - 1);
        CardSet reallyOut = (CardSet{1} << 52) - 1;
        for (int s = 0; s < 4; ++s) reallyOut &= ~HandCards(g, s);
        EXPECT_EQ(out, reallyOut);
        // The running scores are rebuilt as the engine kept them.
        // (In Dominoes the order among players already out is not seen,
        // and their place scores no longer change.)
        for (int s = 0; s < 4; ++s) {
          if (!IsDominoes(g.contract) || g.tally[s] > 0) {
            EXPECT_EQ(sampled.handScore[s], g.handScore[s]) << s;
          }
        }
        EXPECT_EQ(sampled.queensTaken, g.queensTaken);
        EXPECT_EQ(sampled.heartUnitsTaken, g.heartUnitsTaken);
        if (g.phase == PhasePlaying) {
          EXPECT_EQ(sampled.placesTaken, g.placesTaken);
        }
        if (::testing::Test::HasFailure()) return;
      }
    });
  }
  EXPECT_GT(samples, 6000);
  EXPECT_GT(inferred, 1000) << "voids are found";
  EXPECT_GT(dominoFacts, 50) << "Dominoes passes are read";
}

// Swaps cards of one suit between two other seats where nothing the seat
// `me` has seen rules it out.
bool SwapHidden(GameState& g, int me, const SeatKnowledge& k, int pick) {
  for (int a = 1; a <= 3; ++a) {
    for (int b = a + 1; b <= 3; ++b) {
      const int x = SeatMod(me + a), y = SeatMod(me + b);
      for (int i = 0; i < 13; ++i) {
        for (int j = 0; j < 13; ++j) {
          const int cx = g.hands[x][i], cy = g.hands[y][j];
          if (!IsCard(cx) || !IsCard(cy) || SuitOf(cx) != SuitOf(cy)) continue;
          if ((k.cannotHold[x] & CardBit(cy)) || (k.cannotHold[y] & CardBit(cx))) continue;
          if (pick-- > 0) continue;
          std::swap(g.hands[x][i], g.hands[y][j]);
          return true;
        }
      }
    }
  }
  return false;
}

// The strong and the easy robot, given the whole record, decide as they do
// when the hidden hands are dealt otherwise in a way the seat cannot tell.
TEST(StrongRobot, DecidesTheSameWhateverTheHiddenHandsAre) {
  int compared = 0;
  for (RobotLevel level : {RobotLevel::Strong, RobotLevel::Easy}) {
    std::array<RobotPlayer, 4> real;
    real.fill(RobotPlayer(level, kSmall));
    std::array<RobotPlayer, 4> other = real;
    int position = 0;
    ForEachPosition(9, [&](const GameState& g, int me) {
      if (++position % 3 != 0 || g.phase == PhaseChoosing) return;  // a third of the card plays
      GameState swapped = g;
      if (!SwapHidden(swapped, me, real[me].Knowledge(), position % 5) &&
          !SwapHidden(swapped, me, real[me].Knowledge(), 0)) {
        return;
      }
      ASSERT_FALSE(g == swapped);
      const RobotMove a = real[me].Decide(g, me);
      const RobotMove b = other[me].Decide(swapped, me);
      ASSERT_EQ(a.kind, b.kind);
      ASSERT_EQ(a.value, b.value) << "position " << position;
      ++compared;
    });
  }
  EXPECT_GT(compared, 300);
}

TEST(StrongRobot, WholeGamesReplayExactlyAndEveryMoveIsAllowed) {
  auto play = [](uint32_t seed, GameState& g, long* playouts) {
    RobotPlayer players[4] = {RobotPlayer(RobotLevel::Strong, kSmall), RobotPlayer(RobotLevel::Strong, kSmall),
                              RobotPlayer(RobotLevel::Easy), RobotPlayer(RobotLevel::Normal)};
    RobotPlayer* seats[4] = {&players[0], &players[1], &players[2], &players[3]};
    EngineHost host;
    const MatchResult r = PlayPlayersMatch(seed, seats, g, host);
    EXPECT_TRUE(r.finished);
    EXPECT_EQ(r.refusedMoves, 0);
    *playouts = players[0].Counters().playouts;
  };
  GameState first, second, third;
  long playouts = 0, again = 0, unused = 0;
  play(21, first, &playouts);
  play(21, second, &again);
  play(22, third, &unused);
  EXPECT_TRUE(first == second);
  EXPECT_EQ(playouts, again);
  EXPECT_GT(playouts, 1000) << "the look-ahead ran";
  EXPECT_FALSE(first == third);
}

// Whatever a confused or hostile server shows, the robots answer with a
// move the shown state allows, or with none, and never read out of bounds.
TEST(StrongRobot, GarbledStatesGiveAnAllowedMoveOrNone) {
  SampleRandom rng(77);
  auto bytes = [&rng](auto& array, int limit) {
    auto* p = reinterpret_cast<uint8_t*>(&array);
    for (std::size_t i = 0; i < sizeof array; ++i) p[i] = static_cast<uint8_t>(rng.Below(limit));
  };
  RobotPlayer strong[4] = {RobotPlayer(RobotLevel::Strong, kSmall), RobotPlayer(RobotLevel::Strong, kSmall),
                           RobotPlayer(RobotLevel::Strong, kSmall), RobotPlayer(RobotLevel::Strong, kSmall)};
  RobotPlayer easy(RobotLevel::Easy);
  int moves = 0;
  for (int i = 0; i < 3000; ++i) {
    GameState g;
    const Phase phases[] = {PhaseChoosing, PhasePlaying, PhaseFirstLead, static_cast<Phase>(rng.Below(9) - 1)};
    g.phase = phases[rng.Below(4)];
    g.dealNumber = rng.Below(32) - 1;
    g.dealer = rng.Below(6) - 1;
    g.contract = rng.Below(25) - 1;
    g.turn = rng.Below(7) - 1;
    g.playRound = rng.Below(56) - 1;
    g.forcedDouble = rng.Below(3);
    bytes(g.hands, rng.Below(2) ? 53 : 256);
    bytes(g.tableCards, rng.Below(2) ? 54 : 256);
    bytes(g.tally, rng.Below(2) ? 14 : 256);
    bytes(g.doubleFactor, rng.Below(2) ? 3 : 256);
    bytes(g.doublesOwed, 4);
    bytes(g.dealDecisions, rng.Below(2) ? 64 : 256);
    bytes(g.contractsLeft, 2);
    bytes(g.offeredContracts, 2);
    const int seat = rng.Below(4);
    for (RobotPlayer* p : {&strong[seat], &easy}) {
      const RobotMove m = p->Decide(g, seat);
      const GameState v = SeatView(g, seat);
      if (m.kind == RobotMoveKind::Card) {
        ASSERT_TRUE(MayPlayCard(v, seat, m.value)) << i;
        ++moves;
      } else if (m.kind != RobotMoveKind::None) {
        ASSERT_TRUE(IsDecisionAllowed(v, m.value)) << i;
        ++moves;
      }
    }
  }
  EXPECT_GT(moves, 100) << "enough of the states call for a move";
}

// The easy robot strays from the normal robot's move now and then, not at
// every turn.
TEST(EasyRobot, StraysFromTheNormalMoveSometimes) {
  int choices = 0, strayed = 0;
  RobotPlayer easy[4] = {RobotPlayer(RobotLevel::Easy), RobotPlayer(RobotLevel::Easy),
                         RobotPlayer(RobotLevel::Easy), RobotPlayer(RobotLevel::Easy)};
  ForEachPosition(13, [&](const GameState& g, int me) {
    const RobotMove normal = DecideMove(g, me);
    const RobotMove m = easy[me].Decide(g, me);
    if (m.kind == RobotMoveKind::Card ? MayPlayCard(g, me, m.value) : IsDecisionAllowed(g, m.value)) {
      ++choices;
    } else {
      ADD_FAILURE() << "easy robot made a move the rules refuse";
    }
    strayed += m.value != normal.value;
  });
  EXPECT_GT(strayed, choices / 20);
  EXPECT_LT(strayed, choices / 4);
}

}  // namespace
}  // namespace zelbo
