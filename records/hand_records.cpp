#include "records/hand_records.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/decision_text.h"
#include "engine/cards.h"
#include "engine/engine.h"
#include "records/file_io.h"

namespace zelbo {

namespace {

constexpr const char* kEol = "\r\n";
constexpr char kRankLetters[] = "23456789TJQKA";
constexpr char kPlayedRanks[] = "23456789tjqka";
constexpr char kPlayedSuits[] = "dchs";
constexpr int kSuitOrder[4] = {Spades, Hearts, Diamonds, Clubs};  // order of the diagrams

// A printable name: control characters would break the line structure.
std::string CleanName(std::string name) {
  for (char& c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return name;
}

// Text padded with spaces (or cut) to `width` characters.
std::string Fit(const std::string& text, std::size_t width) {
  std::string s = text.substr(0, width);
  s.resize(width, ' ');
  return s;
}

class Lines {
 public:
  void Add(const std::string& line) {
    text_ += line;
    text_ += kEol;
  }
  void Empty() { text_ += kEol; }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

std::string Hyphens(int n) { return std::string(static_cast<std::size_t>(n), '-'); }

// The deal's contract code, 0 when none is recorded.
int DealContract(const GameState& g, int deal) {
  const int c = g.dealDecisions[deal][0];
  return IsContract(c) ? c : 0;
}

// Visible text of the contract's short name, for a 9-column name field.
std::string ShortNameField(int contract) {
  char buffer[32] = "";
  ContractShortName(buffer, contract);
  return Fit(buffer, 9);
}

// Five-column number fields for the four seats from `first` on clockwise
// (seat order when first is South).
template <class Int>
std::string ScoreFields(const Int scores[4], int first) {
  std::string line;
  // Each number right-aligned in a five-character field.
  for (int i = 0; i < 4; ++i) PutRight(line, scores[SeatMod(first + i)], static_cast<int>(line.size()) + 4);
  return line;
}

}  // namespace

std::string UtcTimeText(int64_t t) {
  static constexpr const char* kDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  int64_t days = t / 86400;
  int64_t secs = t % 86400;
  if (secs < 0) {
    secs += 86400;
    --days;
  }
  const int weekday = static_cast<int>(((days + 4) % 7 + 7) % 7);  // 1970-01-01 was a Thursday
  // Civil date from a day count (proleptic Gregorian calendar).
  const int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s %s %2d %02d:%02d:%02d %lld", kDays[weekday],
                kMonths[month - 1], day, static_cast<int>(secs / 3600),
                static_cast<int>(secs / 60 % 60), static_cast<int>(secs % 60),
                static_cast<long long>(year));
  return buffer;
}

std::string SuitHolding(const GameState& g, int deal, int seat, int suit) {
  if (deal < 0 || deal >= DealRows || seat < 0 || seat > 3) return "-";
  std::string text;
  for (int i = 0; i < 13; ++i) {
    const int card = g.dealRecords[deal][seat][i];
    if (IsCard(card) && SuitOf(card) == suit) text += kRankLetters[RankOf(card)];
  }
  return text.empty() ? "-" : text;
}

std::string PlayedCardText(const GameState& g, int deal, int round, int seat) {
  if (deal < 0 || deal >= DealRows || round < 0 || round >= DominoRounds || seat < 0 || seat > 3)
    return {};
  const int card = g.playRecords[deal][round][seat];
  if (!IsCard(card)) return {};
  return {kPlayedSuits[SuitOf(card)], kPlayedRanks[RankOf(card)]};
}

std::string RoundLine(const GameState& g, int deal, int round, int firstSeat, int& cards) {
  std::string line(20, ' ');
  cards = 0;
  for (int i = 0; i < 4; ++i) {
    const std::string card = PlayedCardText(g, deal, round, SeatMod(firstSeat + i));
    if (card.empty()) continue;
    // Each card takes two characters at column 3 + 5i.
    const std::size_t at = static_cast<std::size_t>(3 + 5 * i);
    for (std::size_t k = 0; k < card.size() && k < 2; ++k) line[at + k] = card[k];
    ++cards;
  }
  return cards ? line : std::string();
}

std::string HandRecordsText(const GameState& g, const HandRecordsContext& ctx) {
  const bool over = g.phase == PhaseGameOver;
  int completed = over ? DealCount : g.dealNumber - 1;
  if (completed < 0) completed = 0;
  if (completed > DealCount) completed = DealCount;
  const int first = over ? SeatMod(g.dealer) : SeatMod(g.dealer - g.dealNumber + 29);

  std::string names[4];
  for (int s = 0; s < 4; ++s) {
    names[s] = over ? std::string(g.finalHandles[s], strnlen(g.finalHandles[s], HandleSize))
                    : ctx.seatHandles[s];
    names[s] = CleanName(names[s]);
  }

  Lines out;
  out.Add("ZelboWin Hand Records");
  out.Add("Generated by ZelboWin v1.8.6, " + UtcTimeText(ctx.utcTime));
  out.Empty();
  out.Add("Random Seed: " + std::to_string(static_cast<int32_t>(g.gameSeed)));
  out.Empty();
  static constexpr const char* kNameLabels[4] = {"South: ", "West:  ", "North: ", "East:  "};
  for (int s = 0; s < 4; ++s)
    out.Add(kNameLabels[s] + names[s] + " (" + std::to_string(g.totalScores[s]) + ")");
  out.Empty();

  // Sums in 64 bits: a game record of any content cannot overflow them.
  int64_t running[4] = {0, 0, 0, 0};
  int64_t byBoat[4][4] = {};  // [boat place][seat]
  int64_t byKind[KindCount][4] = {};
  for (int n = 1; n <= completed; ++n) {
    const int dealer = SeatMod(first + n - 1);
    out.Add(Hyphens(62));
    out.Add("Deal " + std::to_string(n));
    out.Add(std::string("Dealer ") + SeatLetter(dealer));
    for (int suit : kSuitOrder) out.Add("        " + SuitHolding(g, n, North, suit));
    for (int suit : kSuitOrder) out.Add(Fit(SuitHolding(g, n, West, suit), 16) + SuitHolding(g, n, East, suit));
    for (int suit : kSuitOrder) out.Add("        " + SuitHolding(g, n, South, suit));
    out.Empty();
    for (int index = 0; index < 5; ++index) {
      if (g.dealDecisions[n][index] == Undecided) continue;
      std::string text;
      DecisionText(text, g, n, dealer, index, SeatLetterNames());
      out.Add(text);
    }
    out.Empty();
    std::string header;
    for (int i = 0; i < 4; ++i) header += std::string("   ") + SeatLetter(dealer + i) + " ";
    out.Add(header.substr(0, 19));

    const int contract = DealContract(g, n);
    if (IsDominoes(contract)) {
      // Rounds until all 52 cards are listed, at most the record's 52 rows;
      // rounds in which everybody passed have no line.
      int listed = 0;
      for (int round = 0; round < DominoRounds && listed < 52; ++round) {
        int cards = 0;
        const std::string line = RoundLine(g, n, round, dealer, cards);
        if (cards) out.Add(line);
        listed += cards;
      }
    } else {
      for (int round = 0; round < 13; ++round) {
        int cards = 0;
        const std::string line = RoundLine(g, n, round, dealer, cards);
        if (!cards) break;
        out.Add(line);
      }
    }
    out.Empty();

    const int32_t* scores = g.dealScores[n];
    out.Add(ScoreFields(scores, dealer));
    out.Add(Hyphens(25));
    for (int s = 0; s < 4; ++s) running[s] += scores[s];
    out.Add(ScoreFields(running, dealer));
    out.Empty();
    out.Empty();

    const int kind = KindOf(contract);
    for (int s = 0; s < 4; ++s) {
      byBoat[(n - 1) % 4][s] += scores[s];
      if (kind >= 0) byKind[kind][s] += scores[s];
    }
  }

  static constexpr const char* kScoreHeader = "            S    W    N    E";
  out.Add(Hyphens(62));
  out.Add("Scores by Boat");
  out.Empty();
  out.Add(kScoreHeader);
  for (int b = 0; b < 4; ++b) {
    out.Add(std::string(SeatName(first + b)) + "'s Boat");
    for (int n = b + 1; n <= completed; n += 4)
      out.Add(ShortNameField(DealContract(g, n)) + ScoreFields(g.dealScores[n], South));
    out.Add(Hyphens(32));
    out.Add(std::string(9, ' ') + ScoreFields(byBoat[b], South));
    out.Empty();
  }

  out.Add(Hyphens(62));
  out.Add("Scores by Game");
  out.Empty();
  out.Add(kScoreHeader);
  static constexpr const char* kKindNames[KindCount] = {"Trumps", "Dominoes", "Misere", "No Queens",
                                                        "N.L.T.", "No Hearts", "Zelbo"};
  for (int kind = 0; kind < KindCount; ++kind)
    out.Add(Fit(kKindNames[kind], 9) + ScoreFields(byKind[kind], South));
  return out.Take();
}

bool WriteHandRecords(const std::filesystem::path& path, const GameState& g,
                      const HandRecordsContext& ctx, std::string& error) {
  const std::string text = HandRecordsText(g, ctx);
  return WriteFileAtomically(
      path, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()),
      error);
}

}  // namespace zelbo
