// Seats, suits, ranks, cards and contract codes: the vocabulary every other
// part of the program uses. The codes travel unchanged on the wire and in
// files, so they are fixed integers, not enums with their own layout.
#pragma once

#include <cstdint>

namespace zelbo {

// Seats, numbered clockwise. Seat arithmetic is always a true modulo.
constexpr int South = 0;
constexpr int West = 1;
constexpr int North = 2;
constexpr int East = 3;

constexpr int SeatMod(int s) { return ((s % 4) + 4) % 4; }
constexpr int NextSeat(int s) { return SeatMod(s + 1); }
constexpr int LHO(int s) { return SeatMod(s + 1); }
constexpr int OO(int s) { return SeatMod(s + 2); }
constexpr int RHO(int s) { return SeatMod(s + 3); }

// A local user's position at the table: 0..3 seated, 4..7 watching seat
// (position - 4), KibitzAll watching every seat.
constexpr int NoPosition = -1;
constexpr int KibitzAll = 8;
// What a server's SeatOccupant holds for a seat besides a connection index.
constexpr int EmptySeat = -1;
constexpr int ServerUserSeat = -2;  // the server's own user

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
