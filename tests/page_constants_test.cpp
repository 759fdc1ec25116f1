// The page takes every layout number, name, dialog size and setting rule
// from the core: its scripts and its HTML contain none of the values the
// bridge hands it. Also the two helpers the page calls for words and
// colours.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "engine/cards.h"
#include "web/bridge/page_constants.h"

namespace zelbo {
namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The script without its comments; strings and template texts are kept
// (a number inside `${...}px` is still a number the page holds).
std::string WithoutComments(const std::string& js) {
  std::string out;
  char quote = 0;
  for (std::size_t i = 0; i < js.size(); ++i) {
    const char c = js[i];
    if (quote) {
      out += c;
      if (c == '\\' && i + 1 < js.size()) out += js[++i];
      else if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"' || c == '`') {
      quote = c;
      out += c;
    } else if (js.compare(i, 2, "//") == 0) {
      while (i < js.size() && js[i] != '\n') ++i;
      out += '\n';
    } else if (js.compare(i, 2, "/*") == 0 || js.compare(i, 4, "<!--") == 0) {
      const std::string end = js[i] == '/' ? "*/" : "-->";
      const std::size_t stop = js.find(end, i);
      i = stop == std::string::npos ? js.size() : stop + end.size() - 1;
    } else {
      out += c;
    }
  }
  return out;
}

bool WordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$'; }

// Every number written in `text` that stands alone (not part of a name
// such as h2 or 2d).
std::vector<double> NumbersIn(const std::string& text) {
  std::vector<double> numbers;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) continue;
    if (i > 0 && (WordChar(text[i - 1]) || text[i - 1] == '.')) {
      while (i < text.size() && WordChar(text[i])) ++i;
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && (std::isdigit(static_cast<unsigned char>(text[end])) || text[end] == '.')) ++end;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
      ++end;
      if (end < text.size() && (text[end] == '-' || text[end] == '+')) ++end;
      while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
    }
    if (end < text.size() && WordChar(text[end])) {
      i = end;
      continue;
    }
    numbers.push_back(std::stod(text.substr(i, end - i)));
    i = end;
  }
  return numbers;
}

bool HasWord(const std::string& text, const std::string& word) {
  for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
    const bool before = at > 0 && WordChar(text[at - 1]);
    const bool after = at + word.size() < text.size() && WordChar(text[at + word.size()]);
    if (!before && !after) return true;
  }
  return false;
}

TEST(PageConstants, ThePageWritesNoneOfTheValuesTheCoreHandsIt) {
  const PageConstants c = MakePageConstants();
  std::set<double> values = {double(c.tableWidth), double(c.tableHeight), double(c.handRowMiddle),
                             double(c.cardCount), double(c.faceWeight), double(c.minFaceStretch),
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

  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(ZELBO_PAGE_DIR)) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".js" && ext != ".html") continue;
    ++files;
    std::string text = WithoutComments(ReadFile(entry.path()));
    for (double n : NumbersIn(text)) {
      EXPECT_FALSE(values.count(n)) << entry.path().filename() << " writes " << n;
    }
    for (char& ch : text) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    for (std::string word : words) {
      for (char& ch : word) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      EXPECT_FALSE(HasWord(text, word)) << entry.path().filename() << " writes " << word;
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
