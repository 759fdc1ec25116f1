#include "web/bridge/replay_viewer.h"

#include <algorithm>

#include "display/table_layout.h"
#include "display/table_painter.h"
#include "engine/decision_text.h"
#include "records/finished_game.h"

namespace zelbo {

bool ReplayViewer::Load(std::span<const uint8_t> savedGame, const std::array<std::string, 4>& handles,
                        std::string& error) {
  GameState g;
  steps_.clear();
  dealStart_.assign(DealRows, 0);
  snapshots_.clear();
  moment_ = 0;
  if (!RestoreFinishedGame(std::vector<uint8_t>(savedGame.begin(), savedGame.end()), handles, g, error))
    return false;
  GameReplay replay(g);
  int deal = 0;
  for (int guard = 0; guard < MaxGameSteps; ++guard) {
    const GameState& now = replay.Now();
    if (now.dealNumber != deal && now.dealNumber >= 1 && now.dealNumber <= DealCount) {
      deal = now.dealNumber;
      dealStart_[deal] = static_cast<int>(steps_.size());
      snapshots_.push_back(replay);
    }
    const ReplayAction a = replay.NextAction();
    if (a.kind == ReplayAction::Kind::None) break;
    Step s;
    s.deal = now.dealNumber;
    s.card = a.kind == ReplayAction::Kind::Card;
    s.trick = s.card ? (now.phase == PhaseFirstLead ? 0 : now.playRound) + 1 : 0;
    s.seat = a.seat;
    s.value = a.value;
    if (!replay.Step()) break;
    steps_.push_back(s);
  }
  if (!replay.Finished() || replay.Failed()) {
    error = "the stored game does not replay to its end";
    steps_.clear();
    snapshots_.clear();
    return false;
  }
  final_ = g;
  handles_ = handles;
  replay_ = snapshots_.empty() ? replay : snapshots_.front();
  return true;
}

void ReplayViewer::GoTo(int moment) {
  if (snapshots_.empty()) return;
  moment = std::clamp(moment, 0, static_cast<int>(steps_.size()));
  // The latest deal start at or before the moment, unless the present
  // moment is nearer and not past it.
  int deal = 1;
  while (deal < DealCount && dealStart_[deal + 1] <= moment && dealStart_[deal + 1] > 0) ++deal;
  if (moment < moment_ || dealStart_[deal] > moment_) {
    replay_ = snapshots_[static_cast<std::size_t>(deal - 1)];
    moment_ = dealStart_[deal];
  }
  while (moment_ < moment && replay_.Step()) ++moment_;
}

int ReplayViewer::Deal() const {
  if (moment_ >= static_cast<int>(steps_.size())) return steps_.empty() ? 0 : steps_.back().deal;
  return steps_[static_cast<std::size_t>(moment_)].deal;
}

int ReplayViewer::DealStart(int deal) const {
  return deal >= 1 && deal <= DealCount ? dealStart_[deal] : moment_;
}

int ReplayViewer::Target(Unit unit, int direction) const {
  const int last = static_cast<int>(steps_.size());
  const auto stepAt = [&](int m) { return steps_[static_cast<std::size_t>(m)]; };
  if (unit == Unit::Action) return std::clamp(moment_ + (direction > 0 ? 1 : -1), 0, last);
  if (unit == Unit::Deal) {
    const int deal = Deal();
    if (direction > 0) return deal < DealCount && DealStart(deal + 1) > 0 ? DealStart(deal + 1) : last;
    return moment_ > DealStart(deal) || deal <= 1 ? DealStart(deal) : DealStart(deal - 1);
  }
  // A trick: the decisions before the first card count as one.
  const auto group = [&](int m) { return std::pair(stepAt(m).deal, stepAt(m).trick); };
  if (direction > 0) {
    if (moment_ >= last) return last;
    int m = moment_;
    const auto g = group(m);
    while (m < last && group(m) == g) ++m;
    return m;
  }
  if (moment_ == 0) return 0;
  // The start of the group the last action shown belongs to: of this trick
  // when inside it, of the one before when at a trick's start.
  int m = moment_ - 1;
  const auto g = group(m);
  while (m > 0 && group(m - 1) == g) --m;
  return m;
}

TableView ReplayViewer::View() const {
  TableView v;
  v.open = !snapshots_.empty();
  v.game = replay_.Now();
  v.localPosition = KibitzAll;
  v.seatNames = handles_;
  v.seatTaken = {true, true, true, true};
  return v;
}

void ReplayViewer::Paint(Canvas& canvas) const {
  PaintTable(View(), PaintRect{0, 0, TableWidth, TableHeight}, canvas);
}

std::vector<std::string> ReplayViewer::DecisionTexts() const {
  std::vector<std::string> texts;
  const GameState& g = replay_.Now();
  const int deal = Deal();
  if (deal < 1) return texts;
  const int dealer = DealerOfDeal(final_, deal);
  for (int m = DealStart(deal); m < moment_; ++m) {
    const Step& s = steps_[static_cast<std::size_t>(m)];
    if (s.card) break;
    std::string text;
    DecisionText(text, g, deal, dealer, m - DealStart(deal), handles_);
    texts.push_back(handles_[static_cast<std::size_t>(s.seat)] + ": " + text);
  }
  return texts;
}

std::vector<std::array<int32_t, 4>> ReplayViewer::RunningTotals() const {
  std::vector<std::array<int32_t, 4>> totals;
  std::array<int32_t, 4> sum{};
  for (int d = 1; d <= DealCount && !snapshots_.empty(); ++d) {
    for (int s = 0; s < 4; ++s) sum[s] += final_.dealScores[d][s];
    totals.push_back(sum);
  }
  return totals;
}

DealReview ReplayViewer::ReviewDeal(int seat, int samplesPerMove) const {
  DealReview review(seat, samplesPerMove);
  const int deal = Deal();
  if (deal < 1 || snapshots_.empty()) return review;
  GameReplay replay = snapshots_[static_cast<std::size_t>(deal - 1)];
  for (int m = DealStart(deal); m < static_cast<int>(steps_.size()); ++m) {
    const Step& s = steps_[static_cast<std::size_t>(m)];
    if (s.deal != deal) break;
    // The whole game goes in; the review keeps only the seat's view of it.
    if (s.seat == seat) review.AddDecision(replay.Now(), m, s.value);
    replay.Step();
  }
  return review;
}

std::string ReplayViewer::ActionText(int moment, int value) const {
  if (moment < 0 || moment >= static_cast<int>(steps_.size())) return {};
  const Step& s = steps_[static_cast<std::size_t>(moment)];
  if (s.card) return CardName(value);
  const int index = moment - DealStart(s.deal);
  if (index < 0 || index > 4 || value < 0 || value > 255) return {};
  GameState g;
  g.dealDecisions[s.deal][index] = static_cast<uint8_t>(value);
  std::string text;
  DecisionText(text, g, s.deal, DealerOfDeal(final_, s.deal), index, handles_);
  return text;
}

std::string ReplayViewer::CardName(int card) {
  static constexpr const char* kSuitSigns[4] = {"\u2666", "\u2663", "\u2665", "\u2660"};
  static constexpr char kRanks[] = "23456789TJQKA";
  if (!IsCard(card)) return {};
  return std::string(1, kRanks[RankOf(card)]) + kSuitSigns[SuitOf(card)];
}

}  // namespace zelbo
