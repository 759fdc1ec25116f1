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

}  // namespace
}  // namespace zelbo
