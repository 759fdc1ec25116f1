#include <gtest/gtest.h>

#include "engine/simple_policy.h"
#include "engine/trick.h"
#include "tests/engine_fixtures.h"

namespace zelbo {
namespace {

using namespace zelbo::testing;

bool CardIgnored(const GameState& g, int seat, int card) {
  return IsIgnored(g, [&](GameState& c, EngineHost& h) { PlayCard(c, h, seat, card); });
}

TEST(CardPlay, FollowTrumpOverruffAndHeartLeadRules) {
  const char* hearts = "AH KH QH JH TH 9H 8H 7H 6H 5H 4H 3H 2C|2D|3D|4D";
  const char* allHearts = "AH KH QH JH TH 9H 8H 7H 6H 5H 4H 3H 2H|2D|3D|4D";
  const int spades = FirstTrumps + Spades;
  const struct {
    int contract;
    const char *hands, *played, *card;
    bool may;
  } cases[] = {
      {Misere, "AS 2H|KS 3H|2D 4H|QS", "AS", "3H", false},  // holds the led suit
      {Misere, "AS 2H|KS 3H|2D 4H|QS", "AS KS", "2D", true},  // void: anything
      {spades, "2H|TS 4D|JS 2S 5D|KH 9S", "2H", "4D", false},  // void in the led suit, holds a trump
      {spades, "2H|TS 4D|JS 2S 5D|KH 9S", "2H TS", "5D", false},  // must overruff
      {spades, "2H|TS 4D|2S 5D|KH", "2H TS", "5D", true},  // only a lower trump: free
      {spades, "5S|9S 2S AD|3S AC|QC", "5S", "2S", false},  // trumps led: beat them when able
      {spades, "5S|9S 2S AD|3S AC|QC", "5S 9S", "AC", false},  // only a lower trump: still follow
      {spades, "9D|2D AD 3S|3D|4D", "9D", "AD", true},
      {NoHearts, hearts, "", "AH", false},  // no Heart lead while holding another suit
      {Zelbo, allHearts, "", "AH", true},
      {Misere, hearts, "", "AH", true},
  };
  for (const auto& c : cases) {
    auto g = FirstLead(c.contract, South, c.hands);
    RecordingHost host;
    ASSERT_TRUE(PlayInTurn(*g, host, c.played));
    EXPECT_EQ(MayPlayCard(*g, g->turn, C(c.card)), c.may) << c.contract << " after '" << c.played << "'";
  }
}

TEST(CardPlay, TheTrickGoesToItsWinnerWhoLeadsFreely) {
  auto g = FirstLead(Misere, South, "AS 2H 3C|KS 3H|2D 4H|QS 5H");
  RecordingHost host;
  ASSERT_TRUE(PlayInTurn(*g, host, "AS"));
  g->handScore[South] = INT32_MIN;  // from a hostile saved game: the trick's -2 wraps
  ASSERT_TRUE(PlayInTurn(*g, host, "KS 2D QS"));
  EXPECT_EQ(g->handScore[South], INT32_MAX - 1);
  EXPECT_EQ(g->tableCards[0], C("AS"));  // the trick stays shown until the next card
  ASSERT_TRUE(PlayInTurn(*g, host, "2H"));
  // The finished trick moved to the last-trick bytes; played cards close up.
  EXPECT_EQ(std::vector<int>(g->tableCards, g->tableCards + 8), Cards("2H -- -- -- AS KS 2D QS"));
  EXPECT_EQ(g->playRecords[1][1][South], C("2H"));
  EXPECT_EQ(std::vector<int>(g->hands[South], g->hands[South] + 2), Cards("3C --"));
  g = FirstLead(FirstTrumps + Spades, South, "2H|TS|JS|KH");
  ASSERT_TRUE(PlayInTurn(*g, host, "2H TS JS KH"));
  EXPECT_EQ(g->handScore[North], 5);  // the highest trump wins
}

// Out of phase, the decision and settling entries are ignored as well.
TEST(CardPlay, CardsFromTheWrongSeatPhaseOrRangeAreIgnored) {
  auto g = FirstLead(Misere, South, "AS|KS|2D|QS");
  for (auto [seat, card] : {std::pair<int, int>{South, C("KS")}, {South, NoCard}, {South, -1}, {South, 200},
                            {7, C("AS")}, {-1, C("AS")}, {West, C("KS")}})
    EXPECT_TRUE(CardIgnored(*g, seat, card)) << seat << " " << card;
  for (Phase phase : {PhaseIdle, PhaseChoosing, PhaseChoosingSuspended, PhasePlayingSuspended, PhaseGameOver,
                    PhaseFirstLeadSuspended, PhaseFirstLead}) {
    g->phase = phase;
    g->dealNumber = phase == PhaseFirstLead ? 40 : 1;  // a damaged record is never indexed
    EXPECT_TRUE(CardIgnored(*g, South, C("AS"))) << phase;
    if (phase == PhaseChoosing) continue;  // where an unplayed hand is settled
    EXPECT_TRUE(IsIgnored(*g, [](GameState& c, EngineHost& h) {
      ApplyDecision(c, h, 0), AdvanceDecisionRound(c, h), SettleHand(c, h), EndHand(c, h);
    })) << phase;
  }
}

TEST(CardPlay, ZelboNoQueensAndNoHeartsEndEarly) {
  RecordingHost host;
  auto g = FirstLead(Zelbo, South, "2C AH|3C KH|4C 2H|5C 3H");
  ASSERT_TRUE(PlayInTurn(*g, host, "2C 3C 4C 5C 3H AH KH 2H"));
  EXPECT_EQ(DealScores(*g, 1), (std::vector<int>{-20, 0, 0, 0}));  // the King of Hearts ends it
  g = FirstLead(NoQueens, South, "QS 2S|QH KS|QD 3S|3D 4S");
  ASSERT_TRUE(PlayInTurn(*g, host, "2S KS 3S 4S QH QD 3D QS"));
  EXPECT_EQ(g->handScore[West], -18);  // three Queens, the hand goes on
  EXPECT_EQ(g->dealNumber, 1);
  g = FirstLead(NoQueens, South, "QS|QH|QD|QC");
  ASSERT_TRUE(PlayInTurn(*g, host, "QS QH QD QC"));
  EXPECT_EQ(DealScores(*g, 1), (std::vector<int>{-24, 0, 0, 0}));  // the fourth ends it
  g = FirstLead(NoHearts, South, "AH KH QH JH 2C|TH 9H 8H 7H 3C|6H 5H 4H 2S 4C|3H 2H 2D 3D 5C");
  ASSERT_TRUE(PlayInTurn(*g, host, "2C 3C 4C 5C 2D AH TH 6H"));
  EXPECT_EQ(g->handScore[East], -10);  // the Ace counts 3
  ASSERT_TRUE(PlayInTurn(*g, host, "3D KH 9H 5H 3H QH 8H 4H"));  // East may lead a Heart now
  EXPECT_EQ(g->dealNumber, 1);
  ASSERT_TRUE(PlayInTurn(*g, host, "JH 7H 2S 2H"));
  EXPECT_EQ(DealScores(*g, 1), (std::vector<int>{-14, 0, 0, -16}));  // 15 units after five tricks
}

TEST(CardPlay, NoLastTwoScoresOnlyTheLastTwoTricks) {
  auto g = FirstLead(NoLastTwo, South, "AS KS QS|2S 3S 4S|5S 6S 7S|8S 9S TS");
  g->phase = PhasePlaying;  // mid-hand: rounds 0..9 already played
  g->playRound = 10;
  RecordingHost host;
  ASSERT_TRUE(PlayInTurn(*g, host, "AS 2S 5S 8S KS 3S 6S 9S"));
  EXPECT_EQ(g->handScore[South], -10);  // round 10 scores nothing, round 11 -10
  ASSERT_TRUE(PlayInTurn(*g, host, "QS 4S 7S TS"));
  EXPECT_EQ(DealScores(*g, 1), (std::vector<int>{-30, 0, 0, 0}));
}


// The rules that robots, screens and clients ask (whose turn, which cards,
// who won the trick, what it cost, whether a count is shown) agree with
// what the engine itself does through whole games.
TEST(CardPlay, TheExportedRulesAgreeWithTheEnginesOwnPlay) {
  for (uint32_t seed : {3u, 17u}) {
    RecordingHost host;
    auto g = StartedGame(host, seed);
    for (int step = 0; step < MaxGameSteps && g->phase != PhaseGameOver; ++step) {
      const int toPlay = SeatToPlay(*g);
      EXPECT_EQ(toPlay >= 0 ? toPlay : SeatToAct(*g), SeatToAct(*g));
      for (int seat = 0; seat < 4; ++seat) {
        const CardList legal = LegalCards(*g, seat);
        ASSERT_EQ(legal.count > 0, seat == toPlay) << "seed " << seed << " step " << step;
        for (uint8_t c : g->hands[seat]) EXPECT_EQ(legal.Has(c), IsCard(c) && MayPlayCard(*g, seat, c));
      }
      const auto before = std::make_unique<GameState>(*g);
      host.calls.clear();
      ASSERT_TRUE(SimpleStep(*g, host));
      const int contract = before->contract, deal = before->dealNumber, round = before->playRound;
      if (toPlay < 0 || IsDominoes(contract) || g->phase != PhasePlaying || g->trickDone != 1 || g->dealNumber != deal)
        continue;
      // A trick was completed and the hand goes on.
      const uint8_t* row = g->playRecords[deal][round];
      const int winner = TrickWinnerSeat(TrickFromRow(row, before->trickLeader), contract);
      EXPECT_EQ(g->turn, winner);
      int penalty = 0;
      for (int s = 0; s < 4; ++s) penalty += CardPenalty(contract, row[s]);
      if (contract == NoQueens || contract == NoHearts) {
        EXPECT_EQ(before->handScore[winner] - g->handScore[winner], penalty);
      } else if (contract == Zelbo) {
        EXPECT_EQ(penalty, 0);  // the king of hearts ends the hand
      }
      const bool tally = std::find(host.calls.begin(), host.calls.end(), "Tally") != host.calls.end();
      EXPECT_EQ(tally, KeepsTrickCount(contract)) << contract;
    }
    EXPECT_EQ(g->phase, PhaseGameOver);
  }
}

}  // namespace
}  // namespace zelbo
