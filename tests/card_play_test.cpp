#include <gtest/gtest.h>

#include "tests/engine_fixtures.h"

namespace zelbo {
namespace {

using namespace zelbo::testing;

TEST(CardPlay, FollowSuitAndTheWinnerLeadsFreely) {
  const std::string hands[4] = {"AS 2H 3C", "KS 3H 4C", "2D 4H 5C", "QS 5H 6C"};
  auto g = FirstLead(Misere, South, hands);
  RecordingHost host;
  PLAY(g, host, South, "AS");
  EXPECT_EQ(g->phase, PhasePlaying);
  EXPECT_FALSE(MayPlayCard(*g, West, C("3H")));  // holds a Spade
  PLAY(g, host, West, "KS");
  EXPECT_TRUE(MayPlayCard(*g, North, C("2D")));   // void in Spades: anything
  EXPECT_TRUE(MayPlayCard(*g, North, C("4H")));
  PLAY(g, host, North, "2D");
  EXPECT_FALSE(MayPlayCard(*g, East, C("5H")));
  PLAY(g, host, East, "QS");

  EXPECT_EQ(g->turn, South);
  EXPECT_EQ(g->trickDone, 1);
  EXPECT_EQ(g->tally[South], 1);
  EXPECT_EQ(g->handScore[South], -2);
  EXPECT_EQ(g->playRound, 1);
  EXPECT_EQ(g->tableCards[0], C("AS"));  // the trick stays shown until the next card
  // The winner leads any suit; the finished trick moves to the last-trick bytes.
  PLAY(g, host, South, "2H");
  EXPECT_EQ(g->tableCards[4], C("AS"));
  EXPECT_EQ(g->tableCards[5], C("KS"));
  EXPECT_EQ(g->tableCards[6], C("2D"));
  EXPECT_EQ(g->tableCards[7], C("QS"));
  EXPECT_EQ(g->tableCards[0], C("2H"));
  EXPECT_EQ(g->tableCards[1], NoCard);
  EXPECT_EQ(g->playRecords[1][0][East], C("QS"));
  EXPECT_EQ(g->playRecords[1][1][South], C("2H"));
  // Played cards close up to the front of the hand.
  EXPECT_EQ(g->hands[South][0], C("3C"));
  EXPECT_EQ(g->hands[South][1], NoCard);
}

TEST(CardPlay, RefusedCardsChangeNothingAndCallNothing) {
  const std::string hands[4] = {"AS 2H", "KS 3H", "2D 4H", "QS 5H"};
  auto g = FirstLead(Misere, South, hands);
  RecordingHost host;
  auto expectIgnored = [&](int seat, int card) {
    const GameState before = *g;
    PlayCard(*g, host, seat, card);
    EXPECT_TRUE(SameGame(before, *g)) << "seat " << seat << " card " << card;
    EXPECT_TRUE(host.calls.empty());
  };
  expectIgnored(South, C("KS"));  // not held
  expectIgnored(South, NoCard);
  expectIgnored(South, -1);
  expectIgnored(South, 200);
  expectIgnored(7, C("AS"));
  expectIgnored(West, C("KS"));   // not West's turn
  for (int phase : {PhaseIdle, PhaseChoosing, PhaseChoosingSuspended, PhasePlayingSuspended,
                    PhaseGameOver, PhaseFirstLeadSuspended}) {
    g->phase = phase;
    expectIgnored(South, C("AS"));
  }
  g->phase = PhaseFirstLead;
  g->dealNumber = 40;  // a damaged record: never indexed
  expectIgnored(South, C("AS"));
}

TEST(CardPlay, ExtremeScoresFromADamagedRecordWrapInsteadOfOverflowing) {
  const std::string hands[4] = {"AS 2H", "KS 3H", "QS 4H", "JS 5H"};
  auto g = FirstLead(Misere, South, hands);
  RecordingHost host;
  PLAY(g, host, South, "AS");
  g->handScore[South] = INT32_MIN;  // what a hostile saved game might hold
  PLAY(g, host, West, "KS");
  PLAY(g, host, North, "QS");
  PLAY(g, host, East, "JS");
  EXPECT_EQ(g->handScore[South], INT32_MAX - 1);
}

TEST(CardPlay, TrumpsMustRuffAndOverruffWhenAble) {
  // Spades are trumps, Hearts led.
  const std::string hands[4] = {"2H 3D", "TS 4D", "JS 2S 5D", "KH 9S"};
  auto g = FirstLead(FirstTrumps + Spades, South, hands);
  RecordingHost host;
  PLAY(g, host, South, "2H");
  EXPECT_FALSE(MayPlayCard(*g, West, C("4D")));  // void in Hearts, holds a trump
  PLAY(g, host, West, "TS");
  EXPECT_FALSE(MayPlayCard(*g, North, C("5D")));  // must overruff with the Jack
  EXPECT_FALSE(MayPlayCard(*g, North, C("2S")));
  PLAY(g, host, North, "JS");
  EXPECT_FALSE(MayPlayCard(*g, East, C("9S")));  // holds the led suit
  PLAY(g, host, East, "KH");
  EXPECT_EQ(g->turn, North);  // highest trump wins
  EXPECT_EQ(g->handScore[North], 5);
  EXPECT_EQ(g->tally[North], 1);
}

TEST(CardPlay, TrumpsDiscardWhenUnableToOverruff) {
  const std::string hands[4] = {"2H 3D", "TS 4D", "2S 5D", "KH 9S"};
  auto g = FirstLead(FirstTrumps + Spades, South, hands);
  RecordingHost host;
  PLAY(g, host, South, "2H");
  PLAY(g, host, West, "TS");
  EXPECT_TRUE(MayPlayCard(*g, North, C("5D")));  // only a lower trump: free
  EXPECT_TRUE(MayPlayCard(*g, North, C("2S")));
}

TEST(CardPlay, TrumpsLedMustBeBeatenWhenAble) {
  const std::string hands[4] = {"5S 2D", "9S 2S AD", "3S AC", "KD QC"};
  auto g = FirstLead(FirstTrumps + Spades, South, hands);
  RecordingHost host;
  PLAY(g, host, South, "5S");
  EXPECT_FALSE(MayPlayCard(*g, West, C("2S")));
  EXPECT_FALSE(MayPlayCard(*g, West, C("AD")));
  PLAY(g, host, West, "9S");
  EXPECT_FALSE(MayPlayCard(*g, North, C("AC")));  // only a lower trump: still follow
  PLAY(g, host, North, "3S");
  EXPECT_TRUE(MayPlayCard(*g, East, C("KD")));   // no trump at all: anything
  EXPECT_TRUE(MayPlayCard(*g, East, C("QC")));
}

TEST(CardPlay, NonTrumpLedFollowerMayPlayAnyCardOfTheSuit) {
  const std::string hands[4] = {"9D 2C", "2D AD 3S", "3D 4C", "4D 5C"};
  auto g = FirstLead(FirstTrumps + Spades, South, hands);
  RecordingHost host;
  PLAY(g, host, South, "9D");
  EXPECT_TRUE(MayPlayCard(*g, West, C("2D")));
  EXPECT_TRUE(MayPlayCard(*g, West, C("AD")));
  EXPECT_FALSE(MayPlayCard(*g, West, C("3S")));
}

TEST(CardPlay, HeartLeadNeedsAllHeartsInNoHeartsAndZelbo) {
  const std::string twelve = "AH KH QH JH TH 9H 8H 7H 6H 5H 4H 3H";
  for (int contract : {NoHearts, Zelbo}) {
    const std::string withClub[4] = {twelve + " 2C", "2D", "3D", "4D"};
    auto g = FirstLead(contract, South, withClub);
    EXPECT_FALSE(MayPlayCard(*g, South, C("AH")));
    EXPECT_TRUE(MayPlayCard(*g, South, C("2C")));
    const std::string allHearts[4] = {twelve + " 2H", "2D", "3D", "4D"};
    g = FirstLead(contract, South, allHearts);
    EXPECT_TRUE(MayPlayCard(*g, South, C("AH")));
  }
  const std::string misere[4] = {twelve + " 2C", "2D", "3D", "4D"};
  EXPECT_TRUE(MayPlayCard(*FirstLead(Misere, South, misere), South, C("AH")));
}

TEST(CardPlay, ZelboEndsWithTheKingOfHearts) {
  const std::string hands[4] = {"2C AH", "3C KH", "4C 2H", "5C 3H"};
  auto g = FirstLead(Zelbo, South, hands);
  RecordingHost host;
  PLAY(g, host, South, "2C");
  PLAY(g, host, West, "3C");
  PLAY(g, host, North, "4C");
  PLAY(g, host, East, "5C");
  ASSERT_EQ(g->turn, East);
  PLAY(g, host, East, "3H");  // East holds nothing but Hearts now
  PLAY(g, host, South, "AH");
  PLAY(g, host, West, "KH");
  PLAY(g, host, North, "2H");
  EXPECT_EQ(g->dealNumber, 2);
  EXPECT_EQ(g->phase, PhaseChoosing);
  EXPECT_EQ(g->dealScores[1][South], -20);
  EXPECT_EQ(g->dealScores[1][West], 0);
  EXPECT_EQ(g->dealScores[1][North], 0);
  EXPECT_EQ(g->dealScores[1][East], 0);
}

TEST(CardPlay, NoQueensCountsQueensAndEndsAtTheFourth) {
  const std::string hands[4] = {"QS 2S", "QH KS", "QD 3S", "3D 4S"};
  auto g = FirstLead(NoQueens, South, hands);
  RecordingHost host;
  PLAY(g, host, South, "2S");
  PLAY(g, host, West, "KS");
  PLAY(g, host, North, "3S");
  PLAY(g, host, East, "4S");
  EXPECT_EQ(g->queensTaken, 0);
  PLAY(g, host, West, "QH");
  PLAY(g, host, North, "QD");
  PLAY(g, host, East, "3D");
  PLAY(g, host, South, "QS");
  // West led Hearts and nobody could follow: three Queens to West.
  EXPECT_EQ(g->dealNumber, 1);
  EXPECT_EQ(g->queensTaken, 3);
  EXPECT_EQ(g->tally[West], 3);
  EXPECT_EQ(g->handScore[West], -18);

  const std::string four[4] = {"QS", "QH", "QD", "QC"};
  g = FirstLead(NoQueens, South, four);
  PLAY(g, host, South, "QS");
  PLAY(g, host, West, "QH");
  PLAY(g, host, North, "QD");
  PLAY(g, host, East, "QC");
  EXPECT_EQ(g->dealNumber, 2);  // the first trick ends the hand
  EXPECT_EQ(g->dealScores[1][South], -24);
}

TEST(CardPlay, NoHeartsEndsWhenAllFifteenUnitsAreTaken) {
  const std::string hands[4] = {"AH KH QH JH 2C", "TH 9H 8H 7H 3C", "6H 5H 4H 2S 4C",
                                "3H 2H 2D 3D 5C"};
  auto g = FirstLead(NoHearts, South, hands);
  RecordingHost host;
  PLAY(g, host, South, "2C");
  PLAY(g, host, West, "3C");
  PLAY(g, host, North, "4C");
  PLAY(g, host, East, "5C");  // East wins; no units
  PLAY(g, host, East, "2D");
  PLAY(g, host, South, "AH");  // void in Diamonds
  PLAY(g, host, West, "TH");
  PLAY(g, host, North, "6H");
  EXPECT_EQ(g->turn, East);  // East's Diamond wins; the Ace counts 3
  EXPECT_EQ(g->tally[East], 5);
  EXPECT_EQ(g->handScore[East], -10);
  PLAY(g, host, East, "3D");
  PLAY(g, host, South, "KH");
  PLAY(g, host, West, "9H");
  PLAY(g, host, North, "5H");
  PLAY(g, host, East, "3H");  // all Hearts now: may lead one
  PLAY(g, host, South, "QH");
  PLAY(g, host, West, "8H");
  PLAY(g, host, North, "4H");
  EXPECT_EQ(g->heartUnitsTaken, 12);
  EXPECT_EQ(g->dealNumber, 1);
  PLAY(g, host, South, "JH");
  PLAY(g, host, West, "7H");
  PLAY(g, host, North, "2S");
  PLAY(g, host, East, "2H");
  // 15 units after five tricks: the hand is over.
  EXPECT_EQ(g->dealNumber, 2);
  EXPECT_EQ(g->dealScores[1][East], -16);
  EXPECT_EQ(g->dealScores[1][South], -14);
  EXPECT_EQ(g->dealScores[1][South] + g->dealScores[1][West] + g->dealScores[1][North] +
                g->dealScores[1][East],
            -30);
}

TEST(CardPlay, NoLastTwoScoresOnlyTheLastTwoTricks) {
  const std::string hands[4] = {"AS KS QS", "2S 3S 4S", "5S 6S 7S", "8S 9S TS"};
  auto g = FirstLead(NoLastTwo, South, hands);
  g->phase = PhasePlaying;  // mid-hand: rounds 0..9 already played
  g->playRound = 10;
  g->trickLeader = South;
  RecordingHost host;
  for (const char* cards : {"AS 2S 5S 8S", "KS 3S 6S 9S"}) {
    const auto trick = Cards(cards);
    for (int s = 0; s < 4; ++s) PlayCard(*g, host, s, trick[s]);
  }
  EXPECT_EQ(g->handScore[South], -10);  // round 10 scores nothing, round 11 -10
  for (int s = 0; s < 4; ++s) PlayCard(*g, host, s, Cards("QS 4S 7S TS")[s]);
  EXPECT_EQ(g->dealNumber, 2);
  EXPECT_EQ(g->dealScores[1][South], -30);
}

TEST(CardPlay, LastTrickGoesToTheLastTrickBytesBeforeTheHandEnds) {
  const std::string hands[4] = {"AS", "2S", "5S", "8S"};
  auto g = FirstLead(Misere, South, hands);
  g->phase = PhasePlaying;
  g->playRound = 12;
  g->trickLeader = South;
  struct TableWatch : RecordingHost {
    uint8_t seen[16] = {};
    void SendTableCards(const GameState& g) override {
      std::memcpy(seen, g.tableCards, 16);
      RecordingHost::SendTableCards(g);
    }
  } host;
  const auto trick = Cards("AS 2S 5S 8S");
  for (int s = 0; s < 4; ++s) PlayCard(*g, host, s, trick[s]);
  EXPECT_EQ(g->dealNumber, 2);
  EXPECT_EQ(host.seen[0], NoCard);
  EXPECT_EQ(host.seen[4], C("AS"));
  EXPECT_EQ(host.seen[7], C("8S"));
  EXPECT_EQ(g->dealScores[1][South], -2);
}

}  // namespace
}  // namespace zelbo
