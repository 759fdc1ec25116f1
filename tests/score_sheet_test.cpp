#include "engine/score_sheet.h"

#include <gtest/gtest.h>

#include "engine/engine.h"

namespace zelbo {
namespace {

TEST(ScoreLines, WorkedScoreLine) {
  const int32_t scores[4] = {0, -12, -6, -6};
  const std::string line = ScoreLine("Ann", NoQueens, scores);
  EXPECT_EQ(line, "Ann       No Queens    0       -12        -6        -6");
  ASSERT_EQ(line.size(), 54u);
  EXPECT_EQ(line[23], '0');
  EXPECT_EQ(line.substr(31, 3), "-12");
  EXPECT_EQ(line.substr(42, 2), "-6");
  EXPECT_EQ(line.substr(52, 2), "-6");
}

TEST(ScoreLines, SeventeenCharacterNamesDoNotShiftTheNumbers) {
  const int32_t scores[4] = {5, 10, 15, 35};
  for (int code : {NoHearts, FirstTrumps + Spades, 18}) {
    const std::string line = ScoreLine("Bob", code, scores);
    ASSERT_EQ(line.size(), 54u) << code;
    EXPECT_EQ(line[23], '5');
    EXPECT_EQ(line.substr(32, 2), "10");
    EXPECT_EQ(line.substr(52, 2), "35");
  }
}

TEST(ScoreLines, HandlesAreCutOrPaddedToNine) {
  const int32_t scores[4] = {45, 20, 5, -5};
  const std::string line = ScoreLine("Bartholomew", 15, scores);
  EXPECT_EQ(line.substr(0, 17), "Bartholom Doms 7 ");
  EXPECT_EQ(line.size(), 54u);
  EXPECT_EQ(PlaceholderLine("Bartholomew", KindTrumps), "Bartholom Trumps");
  EXPECT_EQ(PlaceholderLine("Al", KindMisere), "Al        Misere  ");
  EXPECT_EQ(PlaceholderLine("Al", KindNoLastTwo), "Al        N.L.T.   ");
  EXPECT_EQ(PlaceholderLine("Al", KindZelbo), "Al        Zelbo    ");
}

TEST(ScoreLines, PlaceholdersCarryTheirKindLetterInColumn13) {
  for (int kind = 0; kind < KindCount; ++kind) {
    const std::string line = PlaceholderLine("Cyd", kind);
    ASSERT_GT(line.size(), 13u);
    EXPECT_EQ(line[13], KindLetter(kind)) << kind;
  }
  // Score lines of Dominoes have another letter there, so they are never
  // taken for the Dominoes placeholder.
  const int32_t zero[4] = {};
  EXPECT_NE(ScoreLine("Cyd", 12, zero)[13], KindLetter(KindDominoes));
}

TEST(ScoreLines, HandlesLine) {
  const std::string handles[4] = {"Ann", "Bob", "Cyd", "Dee"};
  EXPECT_EQ(HandlesLine(handles), std::string(20, ' ') + "Ann       Bob       Cyd       Dee");
  const std::string longOnes[4] = {"Abcdefghijk", "Lmnopqrstuv", "Wxyzabcdefg", "Hijklmnopqrstu"};
  EXPECT_EQ(HandlesLine(longOnes),
            std::string(20, ' ') + "Abcdefghi Lmnopqrst Wxyzabcde Hijklmnopqrstu");
}

TEST(ScoreLines, TotalsLine) {
  const int32_t zero[4] = {};
  EXPECT_EQ(TotalsLine(zero), "                       0         0         0         0");
  const int32_t totals[4] = {-1234, 56, 7890, -5};
  EXPECT_EQ(TotalsLine(totals), "                   -1234        56      7890        -5");
}

TEST(ScoreLines, NumbersWiderThanTheirFieldAreWrittenWhole) {
  const int32_t scores[4] = {-2147483647 - 1, 2147483647, -2147483647, 12};
  const std::string line = ScoreLine("Ann", NoHearts, scores);
  // Every number appears whole, each set off by a space, in seat order.
  const std::size_t a = line.find(" -2147483648");
  const std::size_t b = line.find(" 2147483647");
  const std::size_t c = line.find(" -2147483647");
  const std::size_t d = line.rfind(" 12");
  ASSERT_NE(a, std::string::npos);
  ASSERT_NE(b, std::string::npos);
  ASSERT_NE(c, std::string::npos);
  ASSERT_NE(d, std::string::npos);
  EXPECT_LT(a, b);
  EXPECT_LT(b, c);
  EXPECT_LT(c, d);
  EXPECT_EQ(line.substr(0, 19), "Ann       No Hearts");
  const int32_t totals[4] = {-2147483647 - 1, -2147483647 - 1, 1, -2147483647 - 1};
  EXPECT_EQ(TotalsLine(totals),
            "             -2147483648 -2147483648       1 -2147483648");  // the 1 keeps column 43
}

TEST(ScoreLines, LinePositionsOfDeals) {
  EXPECT_EQ(ScoreLineIndex(1), 2);
  EXPECT_EQ(ScoreLineIndex(2), 10);
  EXPECT_EQ(ScoreLineIndex(5), 3);
  EXPECT_EQ(ScoreLineIndex(28), 32);
  EXPECT_EQ(ScoreLineIndex(0), -1);
  EXPECT_EQ(ScoreLineIndex(29), -1);
}

TEST(ScoreSheetModel, InsertDeleteReplaceLastClear) {
  ScoreSheet sheet;
  sheet.ReplaceLast("only");  // empty list: appends
  sheet.Insert(0, "first");
  sheet.Insert(99, "appended");
  sheet.Insert(1, "middle");
  ASSERT_EQ(sheet.size(), 4u);
  EXPECT_EQ(sheet.line(0), "first");
  EXPECT_EQ(sheet.line(1), "middle");
  EXPECT_EQ(sheet.line(2), "only");
  EXPECT_EQ(sheet.line(3), "appended");
  sheet.Delete(1);
  sheet.Delete(50);
  sheet.ReplaceLast("last");
  ASSERT_EQ(sheet.size(), 3u);
  EXPECT_EQ(sheet.line(2), "last");
  sheet.Clear();
  EXPECT_TRUE(sheet.empty());
}

TEST(ScoreSheetModel, LinesAndCountAreBounded) {
  ScoreSheet sheet;
  sheet.Append(std::string(400, 'x'));
  EXPECT_EQ(sheet.line(0).size(), ScoreSheet::MaxLineLength);
  for (std::size_t i = 0; i < ScoreSheet::MaxLines + 10; ++i) sheet.Append("y");
  EXPECT_EQ(sheet.size(), ScoreSheet::MaxLines);
}

}  // namespace
}  // namespace zelbo
