// Frame builders and the stream cutter.
#include "net/frames.h"

#include <gtest/gtest.h>

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

TEST(Frames, BuildersSetLengthTypeAndFieldsAndCutLongTexts) {
  GameState g;
  g.phase = PhaseChoosing;
  g.dealNumber = 7;
  g.contract = 12;
  g.dealer = 2;
  g.roundSteps = 5;
  g.hands[North][0] = 51;
  EXPECT_EQ(Bytes(MakeStatus(g)), (std::vector<uint8_t>{8, MsgStatus, 1, 7, 12, 2, 1, 5}));
  EXPECT_EQ(Bytes(MakeSeatInfo(West, false, "ignored")), (std::vector<uint8_t>{5, MsgSeatInfo, 1, 0, 1}));
  EXPECT_EQ(Bytes(MakeSeatInfo(East, true, "Ann")), (std::vector<uint8_t>{8, MsgSeatInfo, 3, 1, 1, 'A', 'n', 'n'}));
  EXPECT_EQ(Bytes(MakeHand(g, North, false))[3], 51);
  std::vector<uint8_t> hidden = {16, MsgHand, North};
  hidden.resize(16, NoCard);
  EXPECT_EQ(Bytes(MakeHand(g, North, true)), hidden);
  for (const auto& [frame, size] : {std::pair{MakeText(std::string(130, 'x')), 126}, {MakeJoin(std::string(40, 'h')), 33},
                                    {MakeChat(std::string(200, 'c')), 123}, {MakeScoreLine(3, std::string(300, 's')), 127}})
    EXPECT_EQ(frame.size, size);
}

TEST(FrameReader, CutsGreetingAndFramesSplitAtEveryBoundary) {
  std::vector<uint8_t> stream = testing::Hello("Alice");
  for (const Frame& f : {MakeSitRequest(2), MakeText("hello there")}) stream.insert(stream.end(), f.bytes.begin(), f.bytes.begin() + f.size);
  const std::span<const uint8_t> all(stream);
  for (std::size_t a = 0; a <= stream.size(); ++a) {
    for (std::size_t b = a; b <= stream.size(); ++b) {
      FrameReader reader(true);
      Cut cut;
      for (auto part : {all.subspan(0, a), all.subspan(a, b - a), all.subspan(b)})
        ASSERT_EQ(reader.Feed(part, Into(cut)), FrameReader::Status::Ok);
      ASSERT_EQ(cut, (Cut{{MsgJoin, "Alice"}, {MsgSitRequest, std::string{'\2', '\0'}}, {MsgText, "hello there"}}))
          << a << " " << b;
      EXPECT_EQ(reader.pendingCount(), 0u);
    }
  }
}

TEST(FrameReader, WrongGreetingBadLengthAndAStopEndTheCutting) {
  std::vector<uint8_t> wrong = testing::Hello("Eve");
  wrong[8] = 1;
  FrameReader greeted(true);
  Cut cut;
  EXPECT_EQ(greeted.Feed(std::span(wrong).first(4), Into(cut)), FrameReader::Status::Ok);
  EXPECT_EQ(greeted.Feed(std::span(wrong).subspan(4), Into(cut)), FrameReader::Status::BadGreeting);
  EXPECT_TRUE(cut.empty());

  for (uint8_t bad : {0, 1, 128, 255}) {
    FrameReader reader(false);
    std::vector<uint8_t> stream = Bytes(MakeTurn(GameState{}));
    stream.insert(stream.end(), {bad, MsgIdle});
    cut.clear();
    EXPECT_EQ(reader.Feed(stream, Into(cut)), FrameReader::Status::BadLength);
    EXPECT_NE(reader.Feed(Bytes(MakeIdle()), Into(cut)), FrameReader::Status::Ok);  // broken for good
    EXPECT_EQ(cut.size(), 1u);  // only the frame before the bad length counts
  }

  FrameReader reader(false);
  std::vector<uint8_t> two = Bytes(MakeIdle()), resend = Bytes(MakeResendAll());
  two.insert(two.end(), resend.begin(), resend.end());
  int seen = 0;
  EXPECT_EQ(reader.Feed(two, [&](int, std::span<const uint8_t>) { return ++seen < 1; }), FrameReader::Status::Stopped);
  EXPECT_EQ(seen, 1);
}

}  // namespace
}  // namespace zelbo
