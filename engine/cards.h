// Seats, suits, ranks, cards and contract codes: the vocabulary every other
// part of the program uses. The codes travel unchanged on the wire and in
// files, so they are fixed integers, not enums with their own layout.
#pragma once

#include <cstdint>
#include <optional>

namespace zelbo {

// Seats, numbered clockwise, with the values the wire and the files carry.
// Like the phase, a seat reads as an int wherever one is needed, but an int
// becomes a seat only through SeatMod (seat arithmetic, always a true
// modulo) or SeatFromInt (a value decoded from bytes, range-checked).
enum Seat : int32_t { South = 0, West = 1, North = 2, East = 3 };

constexpr Seat SeatMod(int s) { return static_cast<Seat>(((s % 4) + 4) % 4); }
constexpr Seat NextSeat(int s) { return SeatMod(s + 1); }
constexpr Seat LHO(int s) { return SeatMod(s + 1); }
constexpr Seat OO(int s) { return SeatMod(s + 2); }
constexpr Seat RHO(int s) { return SeatMod(s + 3); }
constexpr bool IsSeat(int s) { return s >= South && s <= East; }
constexpr std::optional<Seat> SeatFromInt(int s) {
  return IsSeat(s) ? std::optional<Seat>(static_cast<Seat>(s)) : std::nullopt;
}

// A user's position at the table: seated (0..3, the seat), watching one
// seat (4..7, the seat + 4) or watching every seat (KibitzAll); NoPosition
// for neither. Built only by the functions below; read with the queries.
enum Position : int32_t { NoPosition = -1, KibitzAll = 8 };

constexpr Position SeatedAt(Seat s) { return static_cast<Position>(static_cast<int>(s)); }
constexpr Position WatchingSeat(Seat s) { return static_cast<Position>(static_cast<int>(s) + 4); }
constexpr bool IsSeated(Position p) { return p >= 0 && p <= 3; }
constexpr bool IsWatching(Position p) { return p >= 4 && p <= KibitzAll; }
constexpr bool WatchesAll(Position p) { return p == KibitzAll; }
// The seat shown at the bottom of the table: the own seat, the watched
// seat, South when watching all; -1 without a position.
constexpr int ViewedSeat(Position p) { return IsSeated(p) || IsWatching(p) ? p % 4 : -1; }
// A position read from outside (a page's stored choice): -1..8, else none.
constexpr std::optional<Position> PositionFromInt(int p) {
  return p >= NoPosition && p <= KibitzAll ? std::optional<Position>(static_cast<Position>(p)) : std::nullopt;
}

// Who holds a seat on the server: nobody, the server's own user, or a
// connection (a value >= 0, the connection's number).
enum Occupant : int32_t { EmptySeat = -1, ServerUserSeat = -2 };

constexpr Occupant ConnectionOccupant(int conn) { return static_cast<Occupant>(conn < 0 ? EmptySeat : conn); }
constexpr bool IsConnection(Occupant o) { return o >= 0; }

// Suits.
constexpr int Diamonds = 0;
constexpr int Clubs = 1;
constexpr int Hearts = 2;
constexpr int Spades = 3;

// Cards: suit * 13 + rank, rank 0 the Two .. 12 the Ace.
constexpr int NoCard = 52;     // empty slot, card not played, a Dominoes pass
constexpr int DomClosed = 53;  // a Dominoes row end that takes no more cards
constexpr int QueenRank = 10;
constexpr int KingOfHearts = 37;
constexpr int AceOfHearts = 38;

constexpr int SuitOf(int card) { return card / 13; }
constexpr int RankOf(int card) { return card % 13; }
constexpr bool IsCard(int card) { return card >= 0 && card < 52; }

// Contracts: 1..5 negative, 6..9 Trumps (suit code - 6), 10..22 Dominoes
// (starting rank code - 10); 0 = not chosen yet.
constexpr int Misere = 1;
constexpr int NoQueens = 2;
constexpr int NoLastTwo = 3;
constexpr int NoHearts = 4;
constexpr int Zelbo = 5;
constexpr int FirstTrumps = 6;
constexpr int FirstDominoes = 10;
constexpr int LastContract = 22;

constexpr bool IsContract(int code) { return code >= 1 && code <= LastContract; }
constexpr bool IsNegative(int code) { return code >= 1 && code < FirstTrumps; }
constexpr bool IsTrumps(int code) { return code >= FirstTrumps && code < FirstDominoes; }
constexpr bool IsDominoes(int code) { return code >= FirstDominoes && code <= LastContract; }

// Contract kinds in the order of `contractsLeft` and of the Pick-a-game list.
constexpr int KindTrumps = 0;
constexpr int KindDominoes = 1;
constexpr int KindMisere = 2;
constexpr int KindNoQueens = 3;
constexpr int KindNoLastTwo = 4;
constexpr int KindNoHearts = 5;
constexpr int KindZelbo = 6;
constexpr int KindCount = 7;

// Kind index of a contract code, -1 for a code outside 1..22.
constexpr int KindOf(int code) {
  if (IsNegative(code)) return code + 1;
  if (IsTrumps(code)) return KindTrumps;
  if (IsDominoes(code)) return KindDominoes;
  return -1;
}

// Names. Each writes a terminated string into `buffer` and leaves it as it
// was for a code outside 1..22. The short name keeps its trailing spaces
// (16 characters, 17 for "No Hearts" and the Trumps names); buffers of 32
// bytes suffice for every name.
void ContractShortName(char* buffer, int code);
void ContractLongName(char* buffer, int code);

// Names of seats for texts.
const char* SeatName(int seat);    // "South", "West", "North", "East"
const char* SeatLetter(int seat);  // "S", "W", "N", "E"

// Score-sheet placeholder label of a kind (with its leading space).
const char* KindLabel(int kind);
// The character in column 13 that identifies a kind on the score sheet.
char KindLetter(int kind);

}  // namespace zelbo
