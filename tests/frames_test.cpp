// Frame builders and the stream cutter.
#include "net/frames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/fake_transport.h"

namespace zelbo {
namespace {

using testing::Bytes;
using Cut = std::vector<std::pair<int, std::string>>;

FrameReader::FrameHandler Into(Cut& cut) {
  return [&cut](int type, std::span<const uint8_t> p) {
    cut.emplace_back(type, std::string(p.begin(), p.end()));
    return true;
  };
}

TEST(Frames, BuildersEncodeFieldByFieldAndCutLongTexts) {
  GameState g;
  g.phase = PhaseChoosing;
  g.dealNumber = 7;
  g.contract = 12;
  g.dealer = 2;
  g.roundSteps = 5;
  EXPECT_EQ(Bytes(MakeStatus(g)), (std::vector<uint8_t>{8, MsgStatus, 1, 7, 12, 2, 1, 5}));
  EXPECT_EQ(Bytes(MakeSeatInfo(West, false, "ignored")), (std::vector<uint8_t>{5, MsgSeatInfo, 1, 0, 1}));
  EXPECT_EQ(Bytes(MakeSeatInfo(East, true, "Ann")), (std::vector<uint8_t>{8, MsgSeatInfo, 3, 1, 1, 'A', 'n', 'n'}));
  for (const auto& [frame, size] : {std::pair{MakeText(std::string(130, 'x')), 126}, {MakeJoin(std::string(40, 'h')), 33},
                                    {MakeChat(std::string(200, 'c')), 123}, {MakeScoreLine(3, std::string(300, 's')), 127}})
    EXPECT_EQ(frame.size, size);
}

TEST(FrameReader, CutsFramesSplitAnywhereAndStopsForGoodAtABadLength) {
  std::vector<uint8_t> stream = testing::Hello("Alice"), more = Bytes(MakeText("hello there"));
  stream.insert(stream.end(), more.begin(), more.end());
  const std::span<const uint8_t> all(stream);
  for (std::size_t a = 0; a <= stream.size(); ++a)
    for (std::size_t b = a; b <= stream.size(); ++b) {
      FrameReader reader(true);
      Cut cut;
      for (auto part : {all.subspan(0, a), all.subspan(a, b - a), all.subspan(b)})
        ASSERT_EQ(reader.Feed(part, Into(cut)), FrameReader::Status::Ok);
      ASSERT_EQ(cut, (Cut{{MsgJoin, "Alice"}, {MsgText, "hello there"}})) << a << " " << b;
    }
  // A length outside 2 to 127 breaks the stream for good.
  for (uint8_t bad : {0, 1, 128, 255}) {
    FrameReader reader(false);
    Cut cut;
    std::vector<uint8_t> stream = Bytes(MakeIdle());
    stream.insert(stream.end(), {bad, MsgIdle});
    EXPECT_EQ(reader.Feed(stream, Into(cut)), FrameReader::Status::BadLength);
    EXPECT_NE(reader.Feed(Bytes(MakeIdle()), Into(cut)), FrameReader::Status::Ok);
    EXPECT_EQ(cut.size(), 1u);  // only the frame before the bad length counts
  }
}

// Each client-side parser reads back what its builder wrote, and refuses a
// short payload and every field one past its range.
TEST(FrameParsers, ReadBackTheBuildersAndRefuseShortOrOutOfRangeFields) {
  using P = std::vector<uint8_t>;
  auto payload = [](const Frame& f) { return P(f.bytes.begin() + 2, f.bytes.begin() + f.size); };
  GameState g;
  g.phase = PhaseFirstLeadSuspended, g.dealNumber = DealCount, g.contract = LastContract, g.dealer = East;
  g.roundSteps = 5, g.turn = 4, g.playRound = DominoRounds - 1;
  const auto status = ParseStatus(payload(MakeStatus(g)));
  ASSERT_TRUE(status);
  EXPECT_EQ(std::vector<int>({status->phase, status->dealNumber, status->contract, status->dealer,
                              status->roundSteps, status->repaint}),
            std::vector<int>({PhaseFirstLeadSuspended, DealCount, LastContract, East, 5, 1}));
  const auto turn = ParseTurn(payload(MakeTurn(g)));
  ASSERT_TRUE(turn);
  EXPECT_EQ(turn->turn * 100 + turn->playRound, 400 + DominoRounds - 1);
  const P infoBytes = payload(MakeSeatInfo(North, true, std::string(40, 'h')));
  const auto info = ParseSeatInfo(infoBytes);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->seat, North);
  EXPECT_TRUE(info->taken && info->repaint);
  EXPECT_EQ(info->handle, std::string(31, 'h'));
  for (int i = 0; i < 13; ++i) g.hands[West][i] = static_cast<uint8_t>(i == 12 ? NoCard : 51 - i);
  const auto hand = ParseHand(payload(MakeHand(g, West, false)));
  ASSERT_TRUE(hand);
  EXPECT_EQ(hand->seat, West);
  EXPECT_TRUE(std::equal(hand->cards.begin(), hand->cards.end(), g.hands[West]));
  const uint8_t row[KindCount] = {1, 0, 7, 0, 1, 1, 0};
  EXPECT_EQ(ParseChooseContract(payload(MakeChooseContract(row))),
            (std::array<uint8_t, KindCount>{1, 0, 1, 0, 1, 1, 0}));  // any non-zero offers
  for (int i = 0; i < 16; ++i) g.tableCards[i] = static_cast<uint8_t>(i < 8 ? NoCard : DomClosed);
  const auto table = ParseTableCards(payload(MakeTableCards(g)));
  ASSERT_TRUE(table);
  EXPECT_TRUE(std::equal(table->begin(), table->end(), g.tableCards));
  const P lineBytes = payload(MakeScoreLine(255, "Total"));
  const auto line = ParseScoreLine(lineBytes);
  ASSERT_TRUE(line);
  EXPECT_EQ(line->index, 255);
  EXPECT_EQ(line->text, "Total");
  EXPECT_EQ(ParseSeatGranted(payload(MakeSeatGranted(East))), East);
  EXPECT_EQ(ParseContract(payload(MakeContract(LastContract))), LastContract);
  EXPECT_EQ(ParseDoublePrompt(payload(MakeDoublePrompt(1))), true);
  EXPECT_EQ(ParseBytes(P{1, 2, 3, 4, 5}, 5)->size(), 5u);

  // Refused: too short, or a field one past its range.
  EXPECT_FALSE(ParseStatus(P{0, 0, 0, 0, 0}));
  for (std::size_t at : {0u, 1u, 2u, 3u, 5u}) {
    P p = payload(MakeStatus(g));
    p[at] = static_cast<uint8_t>(P{PhaseFirstLeadSuspended, DealCount, LastContract, 3, 0, 5}[at] + 1);
    EXPECT_FALSE(ParseStatus(p)) << at;
  }
  EXPECT_FALSE(ParseTurn(P{4}));
  EXPECT_FALSE(ParseTurn(P{5, 0}));
  EXPECT_FALSE(ParseTurn(P{0, DominoRounds}));
  EXPECT_FALSE(ParseSeatInfo(P{0, 1}));
  EXPECT_FALSE(ParseSeatInfo(P{4, 1, 1}));
  P badHand = payload(MakeHand(g, West, false));
  EXPECT_FALSE(ParseHand(P(badHand.begin(), badHand.end() - 1)));
  badHand[13] = NoCard + 1;
  EXPECT_FALSE(ParseHand(badHand));
  badHand[13] = NoCard, badHand[0] = 4;
  EXPECT_FALSE(ParseHand(badHand));
  EXPECT_FALSE(ParseChooseContract(P(KindCount - 1, 1)));
  P badTable(16, NoCard);
  EXPECT_FALSE(ParseTableCards(P(15, NoCard)));
  badTable[15] = DomClosed + 1;
  EXPECT_FALSE(ParseTableCards(badTable));
  EXPECT_FALSE(ParseScoreLine(P{}));
  EXPECT_FALSE(ParseSeatGranted(P{4}));
  EXPECT_FALSE(ParseSeatGranted(P{}));
  EXPECT_FALSE(ParseContract(P{LastContract + 1}));
  EXPECT_FALSE(ParseDoublePrompt(P{}));
  EXPECT_FALSE(ParseBytes(P{1, 2, 3}, 4));
}

}  // namespace
}  // namespace zelbo
