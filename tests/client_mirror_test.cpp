// The client's mirror: fed the server's frames, every seat's mirror agrees
// with the server's game, and the rule queries give the server's verdicts.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/simple_policy.h"
#include "engine/trick.h"
#include "net/client_session.h"
#include "net/server_table.h"
#include "tests/fake_transport.h"

namespace zelbo {
namespace {

// A server over a fake transport with four seated clients, whose sessions
// receive exactly the frames the server sent on their connections.
class MirrorTable {
 public:
  explicit MirrorTable(uint32_t seed)
      : table_(t_, ui_, ServerConfig{std::string(NonplayingServerHandle), dir_.path, seed, false, false}) {
    std::string error;
    EXPECT_TRUE(table_.Start(0, error)) << error;
    for (int s : {1, 2, 3, 0}) {
      conn_[s] = t_.Accept();
      clientTransport_[s] = std::make_unique<testing::FakeTransport>();
      client_[s] = std::make_unique<ClientSession>(*clientTransport_[s], clientUi_[s], testing::Numbered("P", s));
      t_.Greet(conn_[s], testing::Numbered("P", s));
      t_.Deliver(conn_[s], MakeSitRequest(s));
    }
    Pump();
  }
  void Pump() {
    for (int s = 0; s < 4; ++s)
      for (const testing::DecodedFrame& f : t_.Frames(conn_[s])) client_[s]->Dispatch(f.type, f.payload);
  }
  // The simple player's action for the acting seat, from its connection.
  void Step() {
    const GameState& g = table_.Game();
    if (g.phase != PhaseChoosing) t_.Deliver(conn_[g.turn], MakePlayCard(SimpleCard(g, g.turn)));
    else if (g.turn == 0) t_.Deliver(conn_[ActingSeat(g)], MakeContractChosen(SimpleContract(g)));
    else t_.Deliver(conn_[ActingSeat(g)], MakeDoubleChosen(SimpleDoubling(g)));
    Pump();
  }
  const GameState& Server() const { return table_.Game(); }
  const ClientSession& Client(int seat) const { return *client_[seat]; }

 private:
  testing::TempDir dir_;
  testing::FakeTransport t_;
  testing::RecordingUi ui_;
  ServerTable table_;
  ConnId conn_[4] = {NoConn, NoConn, NoConn, NoConn};
  std::unique_ptr<testing::FakeTransport> clientTransport_[4];
  testing::RecordingUi clientUi_[4];
  std::unique_ptr<ClientSession> client_[4];
};

template <typename T, std::size_t N>
bool Same(const T (&a)[N], const T (&b)[N]) {
  return std::memcmp(a, b, sizeof a) == 0;
}

// Everything seat `seat` is told agrees with the server, and so does every
// field the rule queries read, worked out from the table.
void ExpectMirrorAgrees(const GameState& g, const GameState& m, int seat, const std::string& where) {
  ASSERT_EQ(m.phase, g.phase) << where;
  ASSERT_EQ(m.dealNumber, g.dealNumber) << where;
  ASSERT_EQ(m.dealer, g.dealer) << where;
  ASSERT_EQ(m.contract, g.contract) << where;
  ASSERT_EQ(m.turn, g.turn) << where;
  ASSERT_EQ(m.roundSteps, g.roundSteps) << where;
  ASSERT_TRUE(Same(m.hands[seat], g.hands[seat])) << where;
  ASSERT_TRUE(Same(m.tableCards, g.tableCards)) << where;
  ASSERT_TRUE(Same(m.doubleFactor, g.doubleFactor)) << where;
  ASSERT_TRUE(Same(m.tally, g.tally)) << where;
  ASSERT_TRUE(Same(m.doublesOwed, g.doublesOwed)) << where;
  ASSERT_TRUE(Same(m.dealDecisions[g.dealNumber], g.dealDecisions[g.dealNumber])) << where;
  ASSERT_EQ(m.scoreSheet.lines(), g.scoreSheet.lines()) << where;
  for (int other = 0; other < 4; ++other) {
    if (other == seat) continue;
    ASSERT_TRUE(Same(m.hands[other], GameState().hands[other])) << where << " hand " << other;
  }
  if (g.phase != PhasePlaying) return;
  ASSERT_EQ(m.playRound, g.playRound) << where;
  if (IsDominoes(g.contract)) {
    ASSERT_TRUE(Same(m.domUp, g.domUp)) << where;
    ASSERT_TRUE(Same(m.domDown, g.domDown)) << where;
    return;
  }
  ASSERT_EQ(m.trickDone, g.trickDone) << where;
  ASSERT_EQ(m.trickLeader, g.trickLeader) << where;
  if (g.trickDone == 0) {
    ASSERT_TRUE(Same(m.playRecords[g.dealNumber][g.playRound], g.playRecords[g.dealNumber][g.playRound])) << where;
  }
}

TEST(ClientMirror, EverySeatsMirrorAgreesWithTheServerThroughWholeGames) {
  for (uint32_t seed : {3u, 11u}) {
    MirrorTable table(seed);
    int steps = 0;
    for (; table.Server().phase != PhaseGameOver && steps < MaxGameSteps; ++steps) {
      const GameState& g = table.Server();
      const std::string where = "seed " + std::to_string(seed) + " step " + std::to_string(steps);
      for (int seat = 0; seat < 4; ++seat) {
        const GameState& m = table.Client(seat).Game();
        ASSERT_EQ(table.Client(seat).LocalPosition(), seat);
        ExpectMirrorAgrees(g, m, seat, where + " seat " + std::to_string(seat));
        for (int card = 0; card < 52; ++card)
          ASSERT_EQ(MayPlayCard(m, seat, card), MayPlayCard(g, seat, card)) << where << " card " << card;
        if (g.phase == PhaseChoosing && ActingSeat(g) == seat) {
          ASSERT_EQ(AllowedContracts(m), AllowedContracts(g)) << where;
          for (int value = 0; value < 64; ++value)
            ASSERT_EQ(IsDecisionAllowed(m, value), IsDecisionAllowed(g, value)) << where << " value " << value;
        }
      }
      table.Step();
    }
    EXPECT_EQ(table.Server().phase, PhaseGameOver) << seed;
    EXPECT_EQ(table.Client(South).Game().scoreSheet.lines(), table.Server().scoreSheet.lines());
  }
}

// The trick read back from table bytes alone: its leader, its cards in play
// order, and the card winning it.
TEST(ClientMirror, TheOpenTrickAndTheDominoRowsComeFromTheTableBytes) {
  GameState m;
  m.phase = PhasePlaying;
  m.dealNumber = 3;
  m.contract = FirstTrumps + Hearts;
  m.playRound = 5;
  m.turn = South;
  // North led the Ten of Spades, East trumped with the Two of Hearts.
  m.tableCards[North] = Spades * 13 + 8;
  m.tableCards[East] = Hearts * 13 + 0;
  DeriveTableFields(m);
  EXPECT_EQ(m.trickDone, 0);
  EXPECT_EQ(m.trickLeader, North);
  const Trick t = CurrentTrick(m);
  EXPECT_EQ(t.count, 2);
  EXPECT_EQ(t.LedSuit(), Spades);
  EXPECT_EQ(WinningCard(t, TrumpSuit(m.contract)), Hearts * 13 + 0);
  EXPECT_EQ(m.playRecords[3][5][North], m.tableCards[North]);
  // Four cards down: the trick is over and the seat to play leads.
  m.tableCards[South] = 1;
  m.tableCards[West] = 2;
  m.turn = West;
  DeriveTableFields(m);
  EXPECT_EQ(m.trickDone, 1);
  EXPECT_EQ(m.trickLeader, West);
  EXPECT_EQ(CurrentTrick(m).count, 0);

  // Dominoes from the Five: Spades laid from the Three to the Eight, Clubs
  // only the Five, the other suits nothing yet.
  m.contract = FirstDominoes + 3;
  std::memset(m.tableCards, NoCard, sizeof m.tableCards);
  m.tableCards[8 + 2 * Spades] = Spades * 13 + 1;
  m.tableCards[9 + 2 * Spades] = Spades * 13 + 6;
  m.tableCards[8 + 2 * Clubs] = Clubs * 13 + 3;
  m.tableCards[8 + 2 * Hearts] = 0;  // a byte of another suit counts as nothing
  DeriveTableFields(m);
  EXPECT_EQ(m.domDown[Spades], Spades * 13 + 0);
  EXPECT_EQ(m.domUp[Spades], Spades * 13 + 7);
  EXPECT_EQ(m.domDown[Clubs], Clubs * 13 + 2);
  EXPECT_EQ(m.domUp[Clubs], Clubs * 13 + 4);
  EXPECT_EQ(m.domUp[Hearts], Hearts * 13 + 3);
  EXPECT_EQ(m.domDown[Diamonds], Diamonds * 13 + 3);
  // Before the first card the last hand's layout is ignored.
  m.phase = PhaseFirstLead;
  DeriveTableFields(m);
  EXPECT_EQ(m.domUp[Spades], Spades * 13 + 3);
  EXPECT_EQ(m.domDown[Spades], Spades * 13 + 3);
}

}  // namespace
}  // namespace zelbo
