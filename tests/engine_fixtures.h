// Helpers for the engine tests: a host that records every call, card names,
// and game states set up at a chosen point of a deal.
#pragma once

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"

namespace zelbo::testing {

// Records every host call as a short word ("Status", "Hand 2", ...).
class RecordingHost : public EngineHost {
 public:
  std::vector<std::string> calls;
  std::string handles[4] = {"Ann", "Bob", "Cyd", "Dee"};

  void SendStatus(const GameState&) override { calls.push_back("Status"); }
  void SendHand(const GameState&, int seat) override { calls.push_back("Hand " + std::to_string(seat)); }
  void SendContract(const GameState&) override { calls.push_back("Contract"); }
  void SendTurn(const GameState&) override { calls.push_back("Turn"); }
  void SendDealDecision(const GameState&) override { calls.push_back("DealDecision"); }
  void SendDoubleFactors(const GameState&) override { calls.push_back("DoubleFactors"); }
  void SendTableCards(const GameState&) override { calls.push_back("TableCards"); }
  void SendTally(const GameState&) override { calls.push_back("Tally"); }
  void SendDoublesOwed(const GameState&) override { calls.push_back("DoublesOwed"); }
  void SendScoreClear() override { calls.push_back("ScoreClear"); }
  void SendScoreLine(int index, std::string_view) override {
    calls.push_back("ScoreLine " + std::to_string(index));
  }
  void SendScoreDelete(int index) override { calls.push_back("ScoreDelete " + std::to_string(index)); }
  void RedrawTable() override { calls.push_back("Redraw"); }
  void RequestContractChoice(const GameState&) override { calls.push_back("ContractPrompt"); }
  void RequestDoublingDecision(const GameState& g) override {
    calls.push_back("DoublePrompt " + std::to_string(g.forcedDouble));
  }
  void TakeUndoSnapshot(const GameState&) override { calls.push_back("Snapshot"); }
  void AutosaveGame(const GameState&) override { calls.push_back("Save"); }
  void GameOver(const GameState&) override { calls.push_back("GameOver"); }
  std::string SeatHandle(int seat) const override { return handles[seat & 3]; }
};

// "QS" -> 49, "TH" -> 34: rank 23456789TJQKA, suit DCHS; "--" -> NoCard.
inline int C(const char* name) {
  static const char ranks[] = "23456789TJQKA";
  static const char suits[] = "DCHS";
  if (name[0] == '-') return NoCard;
  return static_cast<int>((std::strchr(suits, name[1]) - suits) * 13 + (std::strchr(ranks, name[0]) - ranks));
}

// "AS KH 2D" -> the cards.
inline std::vector<int> Cards(const std::string& text) {
  std::vector<int> out;
  for (std::size_t i = 0; i + 1 < text.size(); i += 3) out.push_back(C(text.c_str() + i));
  return out;
}

// Puts the cards into the seat's hand, highest first, NoCard behind.
inline void SetHand(GameState& g, int seat, std::vector<int> cards) {
  std::sort(cards.rbegin(), cards.rend());
  std::memset(g.hands[seat], NoCard, 13);
  for (std::size_t i = 0; i < cards.size() && i < 13; ++i) g.hands[seat][i] = static_cast<uint8_t>(cards[i]);
}

// Deal 1 at the dealer's first-card moment (phase 6) of `contract`, with the
// hands South to East as for Cards(), split by '|': "AS 2H|KS|QS|JS".
inline std::unique_ptr<GameState> FirstLead(int contract, int dealer, const std::string& hands) {
  auto g = std::make_unique<GameState>();
  g->phase = PhaseFirstLead;
  g->dealNumber = 1;
  g->dealer = g->turn = dealer;
  g->contract = contract;
  g->dealDecisions[1][0] = static_cast<uint8_t>(contract);
  g->trickDone = 1;
  g->roundSteps = 4;
  for (std::size_t seat = 0, from = 0; seat < 4; ++seat, from = hands.find('|', from) + 1)
    SetHand(*g, static_cast<int>(seat), Cards(hands.substr(from, hands.find('|', from) - from)));
  g->scoreSheet.Append("");  // SettleHand finds a totals line to replace
  return g;
}

// Deal `deal` at step 0 of the round, dealer and hands from a dealt game.
inline std::unique_ptr<GameState> ChoosingState(int deal, int dealer, uint32_t seed = 1) {
  auto g = std::make_unique<GameState>();
  Random rng(seed);
  DealGame(*g, rng);
  g->phase = PhaseChoosing;
  g->dealNumber = deal;
  g->dealer = dealer;
  g->turn = 0;
  g->trickDone = 1;
  RestoreHands(*g);
  return g;
}

// A game started from `seed` (phase 1, deal 1).
inline std::unique_ptr<GameState> StartedGame(EngineHost& host, uint32_t seed) {
  auto g = std::make_unique<GameState>();
  g->randomSeed = seed;
  NewGame(*g, host, 0);
  return g;
}

// Plays the cards one by one, each by the seat whose turn it is; false at
// the first card the rules refuse.
inline bool PlayInTurn(GameState& g, EngineHost& host, const std::string& cards) {
  for (int c : Cards(cards)) {
    if (!MayPlayCard(g, g.turn, c)) return false;
    PlayCard(g, host, g.turn, c);
  }
  return true;
}

// True when `act` (on a copy of `g`) changes nothing and calls no host.
template <class Act>
bool IsIgnored(const GameState& g, Act act) {
  auto copy = std::make_unique<GameState>(g);
  RecordingHost quiet;
  act(*copy, quiet);
  return g == *copy && quiet.calls.empty();
}

inline std::vector<int> DealScores(const GameState& g, int deal) {
  return {g.dealScores[deal], g.dealScores[deal] + 4};
}

}  // namespace zelbo::testing
