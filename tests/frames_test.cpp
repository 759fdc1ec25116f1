// Frame builders and the stream cutter.
#include "net/frames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelbo {
namespace {

std::vector<uint8_t> Bytes(const Frame& f) { return {f.bytes.begin(), f.bytes.begin() + f.size}; }

struct Cut {
  std::vector<std::pair<int, std::vector<uint8_t>>> frames;
  FrameReader::FrameHandler handler() {
    return [this](int type, std::span<const uint8_t> p) {
      frames.emplace_back(type, std::vector<uint8_t>(p.begin(), p.end()));
      return true;
    };
  }
};

TEST(Frames, BuildersSetLengthTypeAndFields) {
  GameState g;
  g.phase = PhaseChoosing;
  g.dealNumber = 7;
  g.contract = 12;
  g.dealer = 2;
  g.roundSteps = 5;
  EXPECT_EQ(Bytes(MakeStatus(g)), (std::vector<uint8_t>{8, MsgStatus, 1, 7, 12, 2, 1, 5}));

  const Frame empty = MakeSeatInfo(West, false, "ignored");
  EXPECT_EQ(Bytes(empty), (std::vector<uint8_t>{5, MsgSeatInfo, 1, 0, 1}));
  const Frame taken = MakeSeatInfo(East, true, "Ann");
  EXPECT_EQ(Bytes(taken), (std::vector<uint8_t>{8, MsgSeatInfo, 3, 1, 1, 'A', 'n', 'n'}));

  EXPECT_EQ(MakeText(std::string(130, 'x')).size, 126);
  EXPECT_EQ(MakeJoin(std::string(40, 'h')).size, 2 + 31);
  EXPECT_EQ(MakeChat(std::string(200, 'c')).size, 123);
  EXPECT_EQ(MakeScoreLine(3, std::string(300, 's')).size, 127);

  g.hands[North][0] = 51;
  const Frame open = MakeHand(g, North, false);
  const Frame hidden = MakeHand(g, North, true);
  ASSERT_EQ(open.size, 16);
  EXPECT_EQ(open.bytes[3], 51);
  for (int i = 0; i < 13; ++i) EXPECT_EQ(hidden.bytes[3 + i], NoCard);
  EXPECT_EQ(MakeIdle().size, 4);
  EXPECT_EQ(MakeDoubleFactors(g).size, 18);
  EXPECT_EQ(MakeDealDecision(g).size, 7);
}

TEST(FrameReader, CutsGreetingAndFramesSplitAtEveryBoundary) {
  std::vector<uint8_t> stream(Greeting.begin(), Greeting.end());
  for (const Frame& f : {MakeJoin("Alice"), MakeSitRequest(2), MakeText("hello there")}) {
    const auto b = Bytes(f);
    stream.insert(stream.end(), b.begin(), b.end());
  }
  for (std::size_t a = 0; a <= stream.size(); ++a) {
    for (std::size_t b = a; b <= stream.size(); ++b) {
      FrameReader reader(true);
      Cut cut;
      const std::span<const uint8_t> all(stream);
      ASSERT_EQ(reader.Feed(all.subspan(0, a), cut.handler()), FrameReader::Status::Ok);
      ASSERT_EQ(reader.Feed(all.subspan(a, b - a), cut.handler()), FrameReader::Status::Ok);
      ASSERT_EQ(reader.Feed(all.subspan(b), cut.handler()), FrameReader::Status::Ok);
      ASSERT_EQ(cut.frames.size(), 3u) << a << " " << b;
      EXPECT_EQ(cut.frames[0].first, MsgJoin);
      EXPECT_EQ(std::string(cut.frames[0].second.begin(), cut.frames[0].second.end()), "Alice");
      EXPECT_EQ(cut.frames[1].first, MsgSitRequest);
      EXPECT_EQ(cut.frames[2].first, MsgText);
      EXPECT_EQ(reader.pendingCount(), 0u);
    }
  }
}

TEST(FrameReader, RefusesWrongGreetingWithoutDispatching) {
  std::vector<uint8_t> stream = {'Z', 'e', 'l', 'b', 'o', 'W', 'i', 'n', 1};
  const auto join = Bytes(MakeJoin("Eve"));
  stream.insert(stream.end(), join.begin(), join.end());
  FrameReader reader(true);
  Cut cut;
  EXPECT_EQ(reader.Feed(std::span<const uint8_t>(stream).first(4), cut.handler()),
            FrameReader::Status::Ok);
  EXPECT_EQ(reader.Feed(std::span<const uint8_t>(stream).subspan(4), cut.handler()),
            FrameReader::Status::BadGreeting);
  EXPECT_TRUE(cut.frames.empty());
  EXPECT_FALSE(reader.greeted());
}

TEST(FrameReader, LengthOutsideTwoTo127IsAnError) {
  for (uint8_t bad : {uint8_t{0}, uint8_t{1}, uint8_t{128}, uint8_t{255}}) {
    FrameReader reader(false);
    Cut cut;
    std::vector<uint8_t> stream = Bytes(MakeTurn(GameState{}));
    stream.push_back(bad);
    stream.push_back(MsgIdle);
    EXPECT_EQ(reader.Feed(stream, cut.handler()), FrameReader::Status::BadLength);
    EXPECT_EQ(cut.frames.size(), 1u);  // the frame before it still counts
    // A broken stream stays broken.
    EXPECT_NE(reader.Feed(Bytes(MakeIdle()), cut.handler()), FrameReader::Status::Ok);
    EXPECT_EQ(cut.frames.size(), 1u);
  }
}

TEST(FrameReader, HandlerCanStopTheCutting) {
  FrameReader reader(false);
  std::vector<uint8_t> stream = Bytes(MakeIdle());
  const auto more = Bytes(MakeResendAll());
  stream.insert(stream.end(), more.begin(), more.end());
  int seen = 0;
  EXPECT_EQ(reader.Feed(stream, [&](int, std::span<const uint8_t>) { return ++seen < 1; }),
            FrameReader::Status::Stopped);
  EXPECT_EQ(seen, 1);
}

}  // namespace
}  // namespace zelbo
