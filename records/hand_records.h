// The hand-records file: a plain-text account of a game for people and the
// ladder. The header names the players with their totals and the game's
// seed; every completed deal shows the four hands as dealt, the contract and
// doubling decisions, the cards played round by round, the deal's scores and
// the running totals; the end groups the scores by boat and by contract
// kind. Every line ends with CR LF on every platform.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include "engine/game_state.h"

namespace zelbo {

// What the records need beyond the game record.
struct HandRecordsContext {
  // Handles of the seats' current occupants by seat ("" for an empty seat):
  // South is the server user's own handle when it sits South. Used in every
  // phase but PhaseGameOver, where the game's finalHandles are used.
  std::array<std::string, 4> seatHandles;
  // The time printed in the header, in seconds since 1970-01-01 UTC.
  int64_t utcTime = 0;
};

// "Www Mmm dd hh:mm:ss yyyy" (24 characters for years 1000..9999), UTC.
std::string UtcTimeText(int64_t secondsSince1970);

// The rank letters of a seat's dealt cards of one suit, highest first, or
// "-" for a void.
std::string SuitHolding(const GameState& g, int deal, int seat, int suit);
// Two letters for the card that `seat` played in `round` of `deal`, suit
// then rank ("sa", "d2"); "" for NoCard.
std::string PlayedCardText(const GameState& g, int deal, int round, int seat);
// One play line of 20 characters, seats from `firstSeat` on clockwise;
// `cards` is set to the number of cards on it. Empty when the round holds
// no card.
std::string RoundLine(const GameState& g, int deal, int round, int firstSeat, int& cards);

// The whole text, CR LF line ends.
std::string HandRecordsText(const GameState& g, const HandRecordsContext& ctx);

// Writes the text to `path` (through a temporary file renamed into place).
// On failure `error` names the file and false is returned.
bool WriteHandRecords(const std::filesystem::path& path, const GameState& g,
                      const HandRecordsContext& ctx, std::string& error);

}  // namespace zelbo
