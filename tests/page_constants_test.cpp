// The page takes every layout number, name, dialog size and setting rule
// from the core: its scripts and its HTML contain none of the values the
// bridge hands it. Also the two helpers the page calls for words and
// colours.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "engine/cards.h"
#include "web/bridge/page_constants.h"

namespace zelbo {
namespace {

TEST(PageConstants, ThePageWritesNoneOfTheValuesTheCoreHandsIt) {
  const PageConstants c = MakePageConstants();
  std::set<double> values = {double(c.tableWidth), double(c.tableHeight), double(c.cardCount),
                             double(c.compactBelowWidth), double(c.compactBelowHeight),
                             double(c.faceWeight), double(c.minFaceStretch),
                             double(c.maxFaceStretch), double(c.kibitzEveryone),
                             double(c.pickBoxCount), double(c.pickSuitCount), double(c.pickRankCount),
                             double(c.actionBoxCount), double(c.minCardSpacing),
                             double(c.maxCardSpacing), double(c.defaultCardSpacing),
                             double(c.maxHandleLength)};
  for (const TableFaceMetrics& f : c.faces) {
    values.insert({double(f.lineHeight), double(f.averageWidth), double(f.typeSize),
                   double(f.underlineTop), double(f.underlineThickness)});
  }
  for (int seat : c.sitMenuSeats) values.insert(seat);
  // Counting from zero, stepping by one and halving need no core.
  for (double plain : {0.0, 1.0, 2.0}) values.erase(plain);
  ASSERT_TRUE(values.count(900) && values.count(720)) << "the table's size is among the values";

  std::vector<std::string> words(c.seatNames.begin(), c.seatNames.end());
  words.push_back(c.defaultTableColour.substr(1));

  // Comments may speak of the values; the code, its strings and templates may not.
  const std::regex comment(R"(/\*[\s\S]*?\*/|<!--[\s\S]*?-->|(^|\s)//.*)");
  const std::regex number(R"((^|[^\w$.])(\d+(\.\d+)?([eE][-+]?\d+)?)(?![\w$]))");
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ZELBO_PAGE_DIR)) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".js" && ext != ".html") continue;
    ++files;
    std::ostringstream raw;
    raw << std::ifstream(entry.path(), std::ios::binary).rdbuf();
    const std::string text = std::regex_replace(raw.str(), comment, " ");
    for (auto m = std::sregex_iterator(text.begin(), text.end(), number); m != std::sregex_iterator(); ++m) {
      EXPECT_FALSE(values.count(std::stod((*m)[2]))) << entry.path().filename() << " writes " << (*m)[2];
    }
    for (const std::string& word : words) {
      EXPECT_FALSE(std::regex_search(text, std::regex("(^|[^\\w$])" + word + "(?![\\w$])", std::regex::icase)))
          << entry.path().filename() << " writes " << word;
    }
  }
  EXPECT_GE(files, 2);
}

TEST(PageConstants, PositionWordsAndColourTexts) {
  EXPECT_EQ(PositionText(0), "seated South");
  EXPECT_EQ(PositionText(3), "seated East");
  EXPECT_EQ(PositionText(5), "watching West");
  EXPECT_EQ(PositionText(KibitzAll), "watching everyone");
  for (int outside : {static_cast<int>(NoPosition), 9, -5, 1000}) EXPECT_EQ(PositionText(outside), "not seated");

  EXPECT_EQ(ColourText(Rgb{230, 230, 230}), "#e6e6e6");
  Rgb colour{1, 2, 3};
  ASSERT_TRUE(ParseColourText("#0aFf80", colour));
  EXPECT_EQ(colour, (Rgb{10, 255, 128}));
  for (const char* bad : {"", "#0aff8", "#0aff800", "0aff80x", "#0aff8g", "#-1ff80"}) {
    EXPECT_FALSE(ParseColourText(bad, colour)) << bad;
    EXPECT_EQ(colour, (Rgb{10, 255, 128})) << bad;
  }
}

}  // namespace
}  // namespace zelbo
