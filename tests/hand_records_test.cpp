// The hand-records text of real games, read back line by line: structure,
// columns, CR LF, the hands, the play, the scores and their sums.
#include "records/hand_records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <sstream>

#include "dialogs/decision_text.h"
#include "tests/records_fixtures.h"

namespace zelbo {
namespace {

using namespace zelbo::testing;

// Splits on CR LF; fails on any other line end.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "the text does not end with CR LF";
    if (end == std::string::npos) break;
    lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(lines.back().find_first_of("\r\n"), std::string::npos) << lines.back();
    start = end + 2;
  }
  return lines;
}

std::vector<int> Numbers(const std::string& line) {
  std::istringstream in(line);
  std::vector<int> out;
  int v;
  while (in >> v) out.push_back(v);
  return out;
}

int CardOf(char suitLetter, char rankLetter) {
  const char* suits = "dchs";
  const char* ranks = "23456789tjqka";
  return static_cast<int>(std::strchr(suits, suitLetter) - suits) * 13 +
         static_cast<int>(std::strchr(ranks, static_cast<char>(std::tolower(rankLetter))) - ranks);
}

// Cards of one diagram line for `suit` ("-" is a void).
void AddHolding(const std::string& text, int suit, std::vector<int>& cards) {
  if (text == "-") return;
  for (char r : text) cards.push_back(CardOf("dchs"[suit], r));
}

const int kDiagramSuits[4] = {Spades, Hearts, Diamonds, Clubs};

struct Reader {
  std::vector<std::string> lines;
  std::size_t at = 0;
  const std::string& Next() {
    static const std::string end = "<end>";
    return at < lines.size() ? lines[at++] : end;
  }
};

// Reads one deal section and checks it against the game. Records what it
// saw in the flags.
struct Seen {
  bool voidSuit = false, noPlay = false, dominoes = false, noRedoubleLine = false;
};

void CheckDeal(Reader& r, const GameState& g, int n, int dealer, int32_t running[4], Seen& seen) {
  SCOPED_TRACE("deal " + std::to_string(n));
  EXPECT_EQ(r.Next(), std::string(62, '-'));
  EXPECT_EQ(r.Next(), "Deal " + std::to_string(n));
  EXPECT_EQ(r.Next(), std::string("Dealer ") + SeatLetter(dealer));

  std::vector<int> hand[4];
  for (int suit : kDiagramSuits) {
    const std::string line = r.Next();
    ASSERT_EQ(line.substr(0, 8), "        ");
    AddHolding(line.substr(8), suit, hand[North]);
  }
  for (int suit : kDiagramSuits) {
    const std::string line = r.Next();
    ASSERT_GE(line.size(), 17u) << line;
    const std::string west = line.substr(0, line.find(' '));
    EXPECT_EQ(line.find_first_not_of(' ', west.size()), 16u) << "East starts at column 16: " << line;
    AddHolding(west, suit, hand[West]);
    AddHolding(line.substr(16), suit, hand[East]);
    if (west == "-" || line.substr(16) == "-") seen.voidSuit = true;
  }
  for (int suit : kDiagramSuits) AddHolding(r.Next().substr(8), suit, hand[South]);
  for (int s = 0; s < 4; ++s) {
    std::vector<int> dealt(g.dealRecords[n][s], g.dealRecords[n][s] + 13);
    std::sort(dealt.begin(), dealt.end());
    std::sort(hand[s].begin(), hand[s].end());
    EXPECT_EQ(hand[s], dealt) << "seat " << s;
  }
  EXPECT_EQ(r.Next(), "");

  // Decision lines: one per decided entry, in entry order, the contract's
  // long name first.
  const int contract = g.dealDecisions[n][0];
  const std::size_t firstDecision = r.at;
  for (int index = 0; index < 5; ++index) {
    if (g.dealDecisions[n][index] == Undecided) {
      if (index == 4) seen.noRedoubleLine = true;
      continue;
    }
    std::string text;
    DecisionText(text, g, n, dealer, index, DecisionTextLetters);
    EXPECT_EQ(r.Next(), text);
  }
  char longName[32] = "";
  ContractLongName(longName, contract);
  EXPECT_EQ(r.lines[firstDecision], longName);
  EXPECT_EQ(r.Next(), "");

  std::string header;
  for (int i = 0; i < 4; ++i) header += std::string("   ") + SeatLetter(dealer + i) + (i < 3 ? " " : "");
  EXPECT_EQ(r.Next(), header);

  // Play lines until the empty line; every card parsed back to its seat.
  int cards = 0, lines = 0;
  std::set<int> played;
  for (std::string line = r.Next(); !line.empty(); line = r.Next()) {
    ASSERT_EQ(line.size(), 20u) << line;
    for (int i = 0; i < 4; ++i) {
      const std::string field = line.substr(static_cast<std::size_t>(5 * i), 5);
      EXPECT_EQ(field.substr(0, 3), "   ");
      if (field.substr(3) == "  ") continue;
      const int card = CardOf(field[3], field[4]);
      EXPECT_TRUE(played.insert(card).second);
      const int seat = SeatMod(dealer + i);
      EXPECT_NE(std::find(g.dealRecords[n][seat], g.dealRecords[n][seat] + 13, card), g.dealRecords[n][seat] + 13);
      ++cards;
    }
    ++lines;
  }
  if (IsDominoes(contract)) {
    EXPECT_EQ(cards, 52);
    EXPECT_GE(lines, 13);
    seen.dominoes = true;
  } else if (lines == 0) {
    EXPECT_TRUE(IsNegative(contract));
    seen.noPlay = true;
  } else {
    // Whole tricks; a negative contract may end before the thirteenth.
    EXPECT_LE(lines, 13);
    EXPECT_EQ(cards, 4 * lines);
    if (!IsNegative(contract)) {
      EXPECT_EQ(lines, 13);
    }
  }

  // Scores in header order, five columns each, then the running totals.
  std::string scores;
  for (int i = 0; i < 4; ++i) {
    const int seat = SeatMod(dealer + i);
    char field[16];
    std::snprintf(field, sizeof field, "%5d", g.dealScores[n][seat]);
    scores += field;
    running[seat] += g.dealScores[n][seat];
  }
  EXPECT_EQ(r.Next(), scores);
  EXPECT_EQ(r.Next(), std::string(25, '-'));
  const std::vector<int> totals = Numbers(r.Next());
  ASSERT_EQ(totals.size(), 4u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(totals[static_cast<std::size_t>(i)], running[SeatMod(dealer + i)]);
  EXPECT_EQ(r.Next(), "");
  EXPECT_EQ(r.Next(), "");
}

// Checks the whole text of `g`; returns the deals listed per boat place.
std::vector<int> CheckRecords(const GameState& g, const std::string& text, int completed, int first,
                              const std::string names[4], Seen& seen) {
  Reader r{SplitLines(text)};
  EXPECT_EQ(r.Next(), "ZelboWin Hand Records");
  const std::string generated = r.Next();
  EXPECT_EQ(generated, "Generated by ZelboWin v1.8.6, Sun Dec  6 09:46:26 2026");
  EXPECT_EQ(r.Next(), "");
  EXPECT_EQ(r.Next(), "Random Seed: " + std::to_string(static_cast<int32_t>(g.gameSeed)));
  EXPECT_EQ(r.Next(), "");
  const char* labels[4] = {"South: ", "West:  ", "North: ", "East:  "};
  for (int s = 0; s < 4; ++s)
    EXPECT_EQ(r.Next(), labels[s] + names[s] + " (" + std::to_string(g.totalScores[s]) + ")");
  EXPECT_EQ(r.Next(), "");

  int32_t running[4] = {0, 0, 0, 0};
  for (int n = 1; n <= completed; ++n) CheckDeal(r, g, n, SeatMod(first + n - 1), running, seen);

  EXPECT_EQ(r.Next(), std::string(62, '-'));
  EXPECT_EQ(r.Next(), "Scores by Boat");
  EXPECT_EQ(r.Next(), "");
  EXPECT_EQ(r.Next(), "            S    W    N    E");
  std::vector<int> perBoat;
  int64_t boatSum[4] = {0, 0, 0, 0};
  for (int b = 0; b < 4; ++b) {
    EXPECT_EQ(r.Next(), std::string(SeatName(first + b)) + "'s Boat");
    int deals = 0;
    int32_t sum[4] = {0, 0, 0, 0};
    for (std::string line = r.Next(); line != std::string(32, '-'); line = r.Next()) {
      if (deals >= 7) {
        ADD_FAILURE() << "more than seven deals in a boat: " << line;
        return perBoat;
      }
      const int n = b + 1 + 4 * deals;
      char name[32] = "";
      ContractShortName(name, g.dealDecisions[n][0]);
      EXPECT_EQ(line.substr(0, 9), std::string(name).substr(0, 9));
      const std::vector<int> v = Numbers(line.substr(9));
      if (v.size() != 4u) {
        ADD_FAILURE() << "not four scores: " << line;
        return perBoat;
      }
      EXPECT_EQ(line.size(), 29u);
      for (int s = 0; s < 4; ++s) {
        EXPECT_EQ(v[static_cast<std::size_t>(s)], g.dealScores[n][s]);
        sum[s] += v[static_cast<std::size_t>(s)];
      }
      ++deals;
    }
    const std::string totals = r.Next();
    EXPECT_EQ(totals.substr(0, 9), std::string(9, ' '));
    const std::vector<int> v = Numbers(totals);
    for (int s = 0; s < 4; ++s) {
      EXPECT_EQ(v[static_cast<std::size_t>(s)], sum[s]);
      boatSum[s] += sum[s];
    }
    EXPECT_EQ(r.Next(), "");
    perBoat.push_back(deals);
  }
  EXPECT_EQ(r.Next(), std::string(62, '-'));
  EXPECT_EQ(r.Next(), "Scores by Game");
  EXPECT_EQ(r.Next(), "");
  EXPECT_EQ(r.Next(), "            S    W    N    E");
  const char* kinds[7] = {"Trumps   ", "Dominoes ", "Misere   ", "No Queens", "N.L.T.   ", "No Hearts", "Zelbo    "};
  int64_t kindSum[4] = {0, 0, 0, 0};
  for (const char* kind : kinds) {
    const std::string line = r.Next();
    EXPECT_EQ(line.substr(0, 9), kind);
    const std::vector<int> v = Numbers(line.substr(9));
    if (v.size() != 4u) {
      ADD_FAILURE() << "not four scores: " << line;
      return perBoat;
    }
    for (int s = 0; s < 4; ++s) kindSum[s] += v[static_cast<std::size_t>(s)];
  }
  EXPECT_EQ(r.at, r.lines.size()) << "nothing after the last kind";
  for (int s = 0; s < 4; ++s) {
    EXPECT_EQ(boatSum[s], running[s]);
    EXPECT_EQ(kindSum[s], running[s]);
  }
  return perBoat;
}

constexpr int64_t kTime = 1796550386;  // Sun Dec  6 09:46:26 2026 UTC

TEST(HandRecordsTest, AWholeGameReadsBackLineByLine) {
  RecordsHost host;
  auto g = NewSeededGame(host, 31337);
  std::mt19937 rng(31337);
  PlayUntil(*g, host, rng, [](const GameState&) { return false; });
  ASSERT_EQ(g->phase, PhaseGameOver);

  HandRecordsContext ctx;
  ctx.seatHandles = {"now", "other", "people", "here"};  // not used once the game is over
  ctx.utcTime = kTime;
  const std::string names[4] = {"Ann", "Bob", "Cyd", "Dee"};  // finalHandles
  Seen seen;
  const auto perBoat = CheckRecords(*g, HandRecordsText(*g, ctx), 28, g->dealer, names, seen);
  EXPECT_EQ(perBoat, (std::vector<int>{7, 7, 7, 7}));
  EXPECT_TRUE(seen.dominoes);
  EXPECT_TRUE(seen.noPlay) << "pick a seed with a deal scored without play";
  EXPECT_TRUE(seen.voidSuit) << "pick a seed with a void";
  EXPECT_TRUE(seen.noRedoubleLine);

  ScratchFolder dir;
  std::string error;
  ASSERT_TRUE(WriteHandRecords(dir / "records.txt", *g, ctx, error)) << error;
  const std::vector<uint8_t> bytes = ReadBytes(dir / "records.txt");
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), HandRecordsText(*g, ctx));
}

TEST(HandRecordsTest, DuringDealFourThreeDealsAndTheCurrentNames) {
  RecordsHost host;
  auto g = NewSeededGame(host, 77);
  std::mt19937 rng(77);
  PlayUntil(*g, host, rng, [](const GameState& s) { return s.dealNumber == 4 && s.phase == PhasePlaying; });
  ASSERT_EQ(g->dealNumber, 4);
  HandRecordsContext ctx;
  ctx.seatHandles = {"Sue", "", "Nat", "Eve"};  // West's seat is empty
  ctx.utcTime = kTime;
  const std::string names[4] = {"Sue", "", "Nat", "Eve"};
  Seen seen;
  const int first = SeatMod(g->dealer - 3);
  const auto perBoat = CheckRecords(*g, HandRecordsText(*g, ctx), 3, first, names, seen);
  EXPECT_EQ(perBoat, (std::vector<int>{1, 1, 1, 0}));
}

TEST(HandRecordsTest, WideNumbersAreWrittenWhole) {
  auto g = std::make_unique<GameState>();
  g->phase = PhaseChoosing;
  g->dealNumber = 2;
  g->dealer = 1;  // deal 1 was dealt by South
  g->dealDecisions[1][0] = Misere;
  g->dealScores[1][0] = -123456;
  g->dealScores[1][1] = 7;
  const std::string text = HandRecordsText(*g, {});
  EXPECT_NE(text.find("\r\n-123456    7    0    0\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nMisere   -123456    7    0    0\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n         -123456    7    0    0\r\n"), std::string::npos);
  // A number that fills its field exactly is kept apart from the one before.
  g->dealScores[1][1] = -1234;
  EXPECT_NE(HandRecordsText(*g, {}).find("\r\n-123456 -1234    0    0\r\n"), std::string::npos);

  // Sums of extreme values are written whole too (no 32-bit overflow).
  g->dealNumber = 3;
  g->dealer = 2;
  g->dealDecisions[2][0] = Misere;
  g->dealScores[1][3] = g->dealScores[2][3] = 2147483647;
  EXPECT_NE(HandRecordsText(*g, {}).find("Misere   -123456 -1234    0 4294967294\r\n"), std::string::npos);
}

TEST(HandRecordsTest, UtcTimeText) {
  EXPECT_EQ(UtcTimeText(0), "Thu Jan  1 00:00:00 1970");
  EXPECT_EQ(UtcTimeText(kTime), "Sun Dec  6 09:46:26 2026");
  EXPECT_EQ(UtcTimeText(1709251199), "Thu Feb 29 23:59:59 2024");
  EXPECT_EQ(UtcTimeText(-1), "Wed Dec 31 23:59:59 1969");
  EXPECT_EQ(UtcTimeText(kTime).size(), 24u);
}

TEST(HandRecordsTest, AFileThatCannotBeCreatedIsReported) {
  ScratchFolder dir;
  auto g = std::make_unique<GameState>();
  std::string error;
  EXPECT_FALSE(WriteHandRecords(dir / "missing" / "records.txt", *g, {}, error));
  EXPECT_NE(error.find("records.txt"), std::string::npos) << error;
}

}  // namespace
}  // namespace zelbo
