#include "engine/score_sheet.h"

#include <gtest/gtest.h>

#include "engine/engine.h"

namespace zelbo {
namespace {

TEST(ScoreLines, ColumnsOfScoreHandlesPlaceholderAndTotalsLines) {
  const int32_t worked[4] = {0, -12, -6, -6}, scores[4] = {5, 10, 15, 35}, totals[4] = {-1234, 56, 7890, -5};
  EXPECT_EQ(ScoreLine("Ann", NoQueens, worked), "Ann       No Queens    0       -12        -6        -6");
  const std::string line = ScoreLine("Bartholomew", NoHearts, scores);  // a 17-character name shifts nothing
  EXPECT_EQ(line.substr(0, 10) + line.substr(23), "Bartholom 5        10        15        35");
  const std::string handles[4] = {"Ann", "Bob", "Cyd", "Hijklmnopqrstu"};  // the last is not cut
  EXPECT_EQ(HandlesLine(handles), std::string(20, ' ') + "Ann       Bob       Cyd       Hijklmnopqrstu");
  EXPECT_EQ(TotalsLine(totals), "                   -1234        56      7890        -5");
  EXPECT_EQ(PlaceholderLine("Bartholomew", KindTrumps), "Bartholom Trumps");
  EXPECT_EQ(PlaceholderLine("Al", KindNoLastTwo), "Al        N.L.T.   ");
  for (auto [deal, at] : {std::pair{1, 2}, {2, 10}, {5, 3}, {28, 32}, {0, -1}, {29, -1}})
    EXPECT_EQ(ScoreLineIndex(deal), at) << deal;
}

TEST(ScoreLines, NumbersWiderThanTheirFieldAreWrittenWhole) {
  const int32_t scores[4] = {INT32_MIN, INT32_MAX, -INT32_MAX, 12}, totals[4] = {INT32_MIN, INT32_MIN, 1, INT32_MIN};
  const std::string line = ScoreLine("Ann", NoHearts, scores);
  std::size_t at = 19;  // each number whole, set off by a space, in seat order
  for (const char* number : {" -2147483648", " 2147483647", " -2147483647", " 12"})
    ASSERT_NE(at = line.find(number, at), std::string::npos) << number;
  EXPECT_EQ(TotalsLine(totals), "             -2147483648 -2147483648       1 -2147483648");  // 1 keeps column 43
}

TEST(ScoreSheetModel, InsertDeleteReplaceLastClearWithinBounds) {
  ScoreSheet sheet;
  sheet.ReplaceLast("only");  // empty list: appends
  sheet.Insert(0, "first");
  sheet.Insert(99, "appended");
  sheet.Insert(1, "middle");
  sheet.Delete(2);
  sheet.Delete(50);
  sheet.ReplaceLast("last");
  ASSERT_EQ(sheet.size(), 3u);
  EXPECT_EQ(sheet.line(0) + sheet.line(1) + sheet.line(2), "firstmiddlelast");
  sheet.Clear();
  sheet.Append(std::string(400, 'x'));
  EXPECT_EQ(sheet.line(0).size(), ScoreSheet::MaxLineLength);
  for (std::size_t i = 0; i < ScoreSheet::MaxLines + 10; ++i) sheet.Append("y");
  EXPECT_EQ(sheet.size(), ScoreSheet::MaxLines);
}

}  // namespace
}  // namespace zelbo
