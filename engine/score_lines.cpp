// Settlement of doubles and the score sheet: the exact layout of its lines
// and how each deal is entered.
#include <algorithm>
#include <cstring>

#include "engine/engine.h"
#include "engine/engine_internal.h"

namespace zelbo {

namespace {

constexpr int kScoreColumns[4] = {23, 33, 43, 53};

// The handle cut or space-padded to 9 characters.
std::string Handle9(const std::string& handle) {
  std::string s = handle.substr(0, 9);
  s.resize(9, ' ');
  return s;
}

}  // namespace

void PutRight(std::string& line, long long value, int lastColumn) {
  const std::string digits = std::to_string(value);
  const std::size_t end = static_cast<std::size_t>(lastColumn) + 1;
  std::size_t start = digits.size() < end ? end - digits.size() : 0;
  std::size_t earliest = line.size();
  if (!line.empty() && line.back() != ' ') earliest += 1;
  if (start < earliest) start = earliest;
  line.resize(start, ' ');
  line += digits;
}

std::string HandlesLine(const std::string handles[4]) {
  std::string line(20, ' ');
  for (int s = 0; s < 3; ++s) {
    std::string field = handles[s].substr(0, 9);
    field.resize(9, ' ');
    line += field;
    line += ' ';
  }
  line += handles[3];
  if (line.size() > ScoreSheet::MaxLineLength) line.resize(ScoreSheet::MaxLineLength);
  return line;
}

std::string PlaceholderLine(const std::string& dealerHandle, int kind) {
  return Handle9(dealerHandle) + KindLabel(kind);
}

std::string ScoreLine(const std::string& dealerHandle, int contract, const int32_t scores[4]) {
  std::string line = Handle9(dealerHandle) + ' ';
  char name[32] = "";
  ContractShortName(name, contract);
  // Only the visible text counts: the numbers take the columns of the
  // name's trailing spaces.
  std::string visible(name);
  visible.erase(visible.find_last_not_of(' ') + 1);
  line += visible;
  for (int s = 0; s < 4; ++s) PutRight(line, scores[s], kScoreColumns[s]);
  return line;
}

std::string TotalsLine(const int32_t totals[4]) {
  std::string line;
  for (int s = 0; s < 4; ++s) PutRight(line, totals[s], kScoreColumns[s]);
  return line;
}

int ScoreLineIndex(int deal) {
  if (deal < 1 || deal > DealCount) return -1;
  return 2 + 8 * ((deal - 1) % 4) + (deal - 1) / 4;
}

void SettleHand(GameState& g, EngineHost& host) {
  if (g.phase != PhaseChoosing && g.phase != PhasePlaying) return;
  if (!detail::DealIndexesValid(g)) return;
  const int n = g.dealNumber;

  // Every term uses the unsettled hand scores; 64-bit sums keep a record
  // loaded from a file from overflowing.
  for (int i = 0; i < 4; ++i) {
    long long score = g.handScore[i];
    for (int j = 0; j < 4; ++j) {
      const int f = g.doubleFactor[i][j];
      if (j == i || f == 1) continue;
      score += (static_cast<long long>(g.handScore[i]) - g.handScore[j]) * f / 2;
    }
    g.dealScores[n][i] = static_cast<int32_t>(score);
    g.totalScores[i] = static_cast<int32_t>(static_cast<long long>(g.totalScores[i]) + g.dealScores[n][i]);
  }

  ScoreSheet& sheet = g.scoreSheet;
  const std::string line = ScoreLine(host.SeatHandle(g.dealer), g.contract, g.dealScores[n]);
  const int p = ScoreLineIndex(n);
  sheet.Insert(static_cast<std::size_t>(p), line);
  host.SendScoreLine(p, line);

  // The placeholder of the contract's kind follows the dealer's played deals
  // in the same block; the search stops at the block's empty line so that a
  // damaged sheet never loses a line of another block.
  const char letter = KindLetter(KindOf(g.contract));
  for (std::size_t i = static_cast<std::size_t>(p) + 1; letter && i < sheet.size(); ++i) {
    const std::string& l = sheet.line(i);
    if (l.empty()) break;
    if (l.size() > 13 && l[13] == letter) {
      sheet.Delete(i);
      host.SendScoreDelete(static_cast<int>(i));
      break;
    }
  }

  const std::string totals = TotalsLine(g.totalScores);
  if (!sheet.empty()) sheet.Delete(sheet.size() - 1);
  sheet.Append(totals);
  host.SendScoreLine(255, totals);
}

void ResendScoreSheet(const GameState& g, EngineHost& host) {
  host.SendScoreClear();
  // Index 255 on the wire means "replace the last line", so a sheet is
  // mirrored up to line 254 (a game has 36).
  const std::size_t n = std::min<std::size_t>(g.scoreSheet.size(), 255);
  for (std::size_t i = 0; i < n; ++i) host.SendScoreLine(static_cast<int>(i), g.scoreSheet.line(i));
}

}  // namespace zelbo
