// The browser client's C++ side with a recorded page: the order of what
// goes out on the WebSocket, frames split anywhere, reconnection to the
// same seat, the pick dialog's OK and clicks on the hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "display/hand_geometry.h"
#include "fake_transport.h"
#include "web/bridge/web_client.h"

namespace zelbo {
namespace {

using testing::Bytes;
using testing::DecodeFrames;
using testing::DecodedFrame;
using testing::Hello;

struct RecordedPage : PageHost {
  int opens = 0, closes = 0, picks = 0, actions = 0, lost = 0, holds = 0;
  std::vector<uint8_t> sent;
  std::vector<std::string> pane, refusals;
  void OpenSocket() override { ++opens; }
  void SendBytes(std::span<const uint8_t> b) override { sent.insert(sent.end(), b.begin(), b.end()); }
  void CloseSocket() override { ++closes; }
  void ShowPickGame() override { ++picks; }
  void ShowAction() override { ++actions; }
  void HideDialogs() override {}
  void Repaint() override {}
  void PaneLineAdded(std::string_view line) override { pane.emplace_back(line); }
  void ScoreChanged() override {}
  void ConnectionLost() override { ++lost; }
  void Refused(std::string_view why) override { refusals.emplace_back(why); }
  void HoldTrick() override { ++holds; }

  // What went out after the greeting, and forget it.
  std::vector<DecodedFrame> TakeFrames() {
    std::vector<uint8_t> bytes = sent;
    sent.clear();
    if (bytes.size() >= Greeting.size() && std::equal(Greeting.begin(), Greeting.end(), bytes.begin()))
      bytes.erase(bytes.begin(), bytes.begin() + Greeting.size());
    return DecodeFrames(bytes);
  }
};

std::vector<int> Types(const std::vector<DecodedFrame>& frames) {
  std::vector<int> types;
  for (const DecodedFrame& f : frames) types.push_back(f.type);
  return types;
}

// A game in play with South to lead and a hand of cards 0..12.
GameState SouthToPlay() {
  GameState g;
  g.phase = PhasePlaying;
  g.dealNumber = 1;
  g.dealer = West;
  g.contract = FirstTrumps + Hearts;
  g.turn = South;
  for (int i = 0; i < 13; ++i) g.hands[South][i] = static_cast<uint8_t>(i);
  return g;
}

class WebClientTest : public ::testing::Test {
 protected:
  RecordedPage page;
  WebClient client{page, "Ann"};

  void Serve(const std::vector<uint8_t>& bytes) { client.SocketBytes(bytes); }
  void Serve(const Frame& f) { Serve(Bytes(f)); }
  void SeatSouth() {
    client.Join();
    client.Sit(South);
    client.SocketOpened();
    Serve(MakeSeatGranted(South));
    page.TakeFrames();
  }
};

TEST_F(WebClientTest, GreetsFirstThenSendsWhatWasAskedWhileOpening) {
  client.Join();
  EXPECT_EQ(page.opens, 1);
  client.Sit(North);        // asked while the socket is still opening
  EXPECT_TRUE(page.sent.empty());
  client.SocketOpened();
  ASSERT_GE(page.sent.size(), Greeting.size());
  EXPECT_TRUE(std::equal(Greeting.begin(), Greeting.end(), page.sent.begin()));
  const std::vector<DecodedFrame> frames = page.TakeFrames();
  EXPECT_EQ(Types(frames), (std::vector<int>{MsgJoin, MsgSitRequest, MsgIdle}));
  EXPECT_EQ(frames[0].text().substr(0, 3), "Ann");
  EXPECT_EQ(frames[1].payload.at(0), North);
}

TEST_F(WebClientTest, FramesSplitAnywhereAndLongMessagesAreDispatched) {
  client.Join();
  client.SocketOpened();
  GameState g = SouthToPlay();
  std::vector<uint8_t> stream = Bytes({MakeSeatGranted(South), MakeStatus(g), MakeHand(g, South, false)});
  // Many frames in one message: more than one read chunk.
  for (int i = 0; i < 40; ++i) {
    const std::vector<uint8_t> t = Bytes(MakeText(std::string(60, '.') + "line " + std::to_string(i)));
    stream.insert(stream.end(), t.begin(), t.end());
  }
  ASSERT_GT(stream.size(), 1100u);
  // The seat, state, hand and a line or so one byte per message, the rest,
  // over a kilobyte, in one.
  for (std::size_t i = 0; i < 100; ++i) Serve(std::vector<uint8_t>{stream[i]});
  Serve(std::vector<uint8_t>(stream.begin() + 100, stream.end()));
  EXPECT_EQ(client.Session().LocalPosition(), SeatedAt(South));
  EXPECT_EQ(client.Session().Game().hands[South][12], 12);
  const auto& lines = client.Session().Pane().lines();  // each line once, in order, last
  ASSERT_GE(lines.size(), 40u);
  for (std::size_t i = 0; i < 40; ++i)
    EXPECT_EQ(lines[lines.size() - 40 + i], std::string(60, '.') + "line " + std::to_string(i));
}

TEST_F(WebClientTest, ADroppedOrBrokenConnectionIsRetriedIntoTheSameSeat) {
  SeatSouth();
  client.SocketClosed();
  EXPECT_EQ(page.lost, 1);
  EXPECT_FALSE(client.Session().IsClient());
  EXPECT_EQ(client.RememberedPosition(), SeatedAt(South));
  EXPECT_EQ(client.Session().Pane().lines().back(), "Connection closed");
  // The page says itself what changed, once; the last table stays in view
  // until the seat is back.
  EXPECT_TRUE(page.pane.empty());
  EXPECT_TRUE(client.Reconnecting());

  client.Join();  // the page's retry
  EXPECT_EQ(page.opens, 2);
  client.SocketOpened();
  EXPECT_EQ(Types(page.TakeFrames()), (std::vector<int>{MsgJoin, MsgIdle, MsgSitRequest}));

  // A failed attempt counts as another loss, and the next try asks again.
  client.SocketClosed();
  EXPECT_EQ(page.lost, 2);
  client.Join();
  client.SocketOpened();
  const std::vector<DecodedFrame> frames = page.TakeFrames();
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[2].payload.at(0), South);

  // A server that breaks the framing (a length below 2) is left as a loss.
  Serve(MakeSeatGranted(South));
  ASSERT_TRUE(client.Session().IsClient());
  EXPECT_FALSE(client.Reconnecting());
  page.TakeFrames();
  Serve(std::vector<uint8_t>{1, MsgText});
  EXPECT_EQ(page.closes, 1);
  EXPECT_EQ(page.lost, 3);
  EXPECT_FALSE(client.Session().IsClient());
  client.Sit(North);  // nothing goes out on a dead connection
  EXPECT_TRUE(page.sent.empty());
}

TEST_F(WebClientTest, AKibitzerWatchesAgainAndLeavingForgetsTheSeat) {
  client.Join();
  client.Kibitz(4);
  client.SocketOpened();
  // Said once, though the view is also what a reconnection asks for.
  EXPECT_EQ(Types(page.TakeFrames()), (std::vector<int>{MsgJoin, MsgChat, MsgResendAll, MsgIdle}));
  client.SocketClosed();
  client.Join();
  client.SocketOpened();
  EXPECT_EQ(client.Session().LocalPosition(), KibitzAll);
  EXPECT_EQ(Types(page.TakeFrames()), (std::vector<int>{MsgJoin, MsgIdle, MsgChat, MsgResendAll}));

  client.Leave();
  EXPECT_EQ(page.closes, 1);
  EXPECT_EQ(page.lost, 1);  // only the earlier drop: leaving is no loss
  EXPECT_EQ(client.RememberedPosition(), NoPosition);
  client.SocketClosed();    // the socket's own late notice changes nothing
  EXPECT_EQ(page.lost, 1);
}

TEST_F(WebClientTest, PickAGameStaysOpenUntilAUsableChoice) {
  SeatSouth();
  GameState g;
  g.phase = PhaseChoosing;
  g.dealer = South;
  Serve(MakeStatus(g));
  const uint8_t offered[KindCount] = {1, 1, 1, 1, 1, 1, 1};
  Serve(MakeChooseContract(offered));
  EXPECT_EQ(page.picks, 1);
  EXPECT_FALSE(client.PickOk());  // nothing chosen
  client.Pick().ClickBox(KindTrumps, true);
  EXPECT_FALSE(client.PickOk());  // Trumps without a suit
  EXPECT_TRUE(page.TakeFrames().empty());
  client.Pick().SelectSuit(1);    // "Hearts"
  EXPECT_TRUE(client.PickOk());
  const std::vector<DecodedFrame> frames = page.TakeFrames();
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].type, MsgContractChosen);
  EXPECT_EQ(frames[0].payload.at(0), FirstTrumps + Hearts);

  g.phase = PhasePlaying;  // too late: OK only closes
  Serve(MakeStatus(g));
  EXPECT_TRUE(client.PickOk());
  EXPECT_TRUE(page.TakeFrames().empty());
}

TEST_F(WebClientTest, AClickOnAPlayableCardPlaysItAndAClickBesideTheHandNothing) {
  SeatSouth();
  const GameState g = SouthToPlay();
  Serve(Bytes({MakeStatus(g), MakeHand(g, South, false), MakeTurn(g)}));
  ASSERT_FALSE(client.PlayableCards().empty());
  const int slot = 5, x = client.SlotMiddle(slot).first;
  EXPECT_FALSE(client.Click(x, HandTop - 5).slot >= 0);  // above the hand
  EXPECT_TRUE(page.TakeFrames().empty());
  EXPECT_EQ(client.Click(x, 450).card, slot);
  const std::vector<DecodedFrame> frames = page.TakeFrames();
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].type, MsgPlayCard);
  EXPECT_EQ(frames[0].payload.at(0), slot);

  // A finger chooses first: the card stands out until a tap elsewhere or a
  // second tap on it, also over the part it stands out by, plays it.
  const int next = 7, at = client.SlotMiddle(next).first;
  client.Tap(at, 450);
  EXPECT_EQ(client.View().raisedSlot, next);
  client.Tap(at, 300);
  EXPECT_EQ(client.View().raisedSlot, -1);
  client.Tap(at, 450);
  EXPECT_TRUE(page.TakeFrames().empty());
  client.Tap(at, HandTop - RaisedBy / 2);
  const std::vector<DecodedFrame> tapped = page.TakeFrames();
  ASSERT_EQ(tapped.size(), 1u);
  EXPECT_EQ(tapped[0].payload.at(0), next);
  EXPECT_EQ(client.View().raisedSlot, -1);
}

TEST_F(WebClientTest, RefusedCommandsSayWhyAndSendNothing) {
  SeatSouth();
  GameState g = SouthToPlay();
  g.turn = West;
  Serve(Bytes({MakeSeatInfo(North, true, "Nina"), MakeStatus(g), MakeHand(g, South, false), MakeTurn(g)}));
  client.Sit(North);
  client.Kibitz(4);
  client.Undo();
  client.Click(client.SlotMiddle(3).first, 450);
  g.turn = South;
  g.tableCards[East] = 13 * Hearts + 4;  // East led a heart
  g.hands[South][12] = 13 * Hearts + 9;
  Serve(Bytes({MakeHand(g, South, false), MakeTurn(g), MakeTableCards(g)}));
  client.PlaySlot(0);
  EXPECT_EQ(page.refusals, (std::vector<std::string>{
                               "You are already seated South: stand up first.",
                               "You are seated: stand up first to watch.",
                               "Undo is not available from the South seat.",
                               "Not your turn: West is to play.",
                               "You must play Hearts.",
                           }));
  EXPECT_TRUE(page.TakeFrames().empty());

  // Standing up leaves the seat and watches everyone on a new connection.
  client.StandUp();
  EXPECT_EQ(page.closes, 1);
  client.SocketOpened();
  EXPECT_EQ(Types(page.TakeFrames()), (std::vector<int>{MsgJoin, MsgChat, MsgResendAll, MsgIdle}));
  Serve(MakeSeatInfo(North, true, "Nina"));
  client.Sit(North);
  EXPECT_EQ(page.refusals.back(), "North is taken by Nina.");
  // A watcher sits down on a new connection too.
  client.Sit(East);
  EXPECT_EQ(page.closes, 2);
  client.SocketOpened();
  const std::vector<DecodedFrame> frames = page.TakeFrames();
  EXPECT_EQ(Types(frames), (std::vector<int>{MsgJoin, MsgSitRequest, MsgIdle}));
  EXPECT_EQ(frames[1].payload.at(0), East);
  EXPECT_EQ(page.lost, 0);
}

}  // namespace
}  // namespace zelbo
