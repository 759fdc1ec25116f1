#include "web/bridge/page_words.h"

#include "engine/engine.h"

namespace zelbo {

namespace {

constexpr const char* SuitWords[4] = {"Diamonds", "Clubs", "Hearts", "Spades"};
constexpr const char* RankWords[13] = {"Two", "Three", "Four", "Five", "Six", "Seven", "Eight",
                                       "Nine", "Ten", "Jack", "Queen", "King", "Ace"};

int OwnSeat(const ClientSession& s) { return s.IsSeated() ? ViewedSeat(s.LocalPosition()) : -1; }

bool DealOn(const GameState& g) {
  return g.phase == PhaseChoosing || g.phase == PhasePlaying || g.phase == PhaseFirstLead;
}

std::string SeatWithHandle(const ClientSession& s, int seat) {
  const std::string& handle = s.SeatHandle(seat);
  return handle.empty() ? SeatName(seat) : handle + " (" + SeatName(seat) + ")";
}

}  // namespace

std::string TurnWords(const ClientSession& s) {
  const int own = OwnSeat(s);
  const GameState& g = s.Game();
  if (own < 0 || !s.IsClient()) return "";
  if (g.phase == PhaseChoosing && ActingSeat(g) == own)
    return g.turn == 0 ? "Your turn: pick a game" : "Your turn: double or pass";
  if (SeatToPlay(g) == own) return "Your turn: play a card";
  return "";
}

std::string SitRefusal(const ClientSession& s, int seat) {
  if (!IsSeat(seat)) return "There is no such seat.";
  if (s.IsSeated())
    return std::string("You are already seated ") + SeatName(OwnSeat(s)) + ": stand up first.";
  if (s.SeatTaken(seat)) return std::string(SeatName(seat)) + " is taken by " + s.SeatHandle(seat) + ".";
  return "";
}

std::string KibitzRefusal(const ClientSession& s) {
  return s.IsSeated() ? "You are seated: stand up first to watch." : "";
}

std::string StandUpRefusal(const ClientSession& s) {
  return s.IsSeated() ? "" : "You are not seated.";
}

std::string UndoRefusal(const ClientSession& s) {
  if (!s.IsClient()) return "Not connected to the table.";
  if (!s.IsSeated()) return "Only a seated player may ask for Undo.";
  if (OwnSeat(s) == South) return "Undo is not available from the South seat.";
  return "";
}

std::string CardRefusal(const ClientSession& s, int card) {
  const GameState& g = s.Game();
  const int own = OwnSeat(s);
  if (!s.IsClient()) return "Not connected to the table.";
  if (own < 0) return "You are watching: sit down to play.";
  if (IsSuspended(g.phase)) return "The game waits for an empty seat to be taken.";
  const int toPlay = SeatToPlay(g);
  if (toPlay < 0) return "No card is to be played now.";
  if (toPlay != own) return "Not your turn: " + SeatWithHandle(s, toPlay) + " is to play.";
  if (MayPlayCard(g, own, card)) return "";
  if (IsDominoes(g.contract)) return CardWords(card) + " does not fit the layout now.";
  const CardList legal = LegalCards(g, own);
  bool oneSuit = legal.count > 0;
  for (int i = 1; i < legal.count; ++i) oneSuit = oneSuit && SuitOf(legal.cards[i]) == SuitOf(legal.cards[0]);
  const bool leading = g.phase == PhaseFirstLead || g.trickDone == 1;
  if (leading && SuitOf(card) == Hearts) return "Hearts may not be led while you hold another suit.";
  if (oneSuit && SuitOf(card) != SuitOf(legal.cards[0]))
    return std::string("You must play ") + SuitWords[SuitOf(legal.cards[0])] + ".";
  if (IsTrumps(g.contract)) return "You must beat the highest trump on the table.";
  return CardWords(card) + " may not be played now.";
}

bool HandsMaskedFromWatchers(const ClientSession& s) {
  if (!s.IsClient() || !IsWatching(s.LocalPosition()) || !DealOn(s.Game())) return false;
  for (const auto& hand : s.Game().hands)
    for (const uint8_t c : hand)
      if (IsCard(c)) return false;
  return true;
}

std::string CardWords(int card) {
  if (!IsCard(card)) return "";
  return std::string(RankWords[RankOf(card)]) + " of " + SuitWords[SuitOf(card)];
}

std::string HandWords(const ClientSession& s) {
  const int own = OwnSeat(s);
  if (own < 0) return "The table. You are not seated.";
  std::string words = "Your hand:";
  int held = 0;
  for (const uint8_t c : s.Game().hands[own]) {
    if (!IsCard(c)) continue;
    words += (held++ ? ", " : " ") + CardWords(c);
  }
  if (held == 0) words += " empty";
  const CardList legal = LegalCards(s.Game(), own);
  if (legal.count == 0) return words + ".";
  words += ". You may play:";
  for (int i = 0; i < legal.count; ++i) words += (i ? ", " : " ") + CardWords(legal.cards[i]);
  return words + ".";
}

}  // namespace zelbo
