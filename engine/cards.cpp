#include "engine/cards.h"

#include <cstring>

namespace zelbo {

namespace {

struct ContractNames {
  const char* shortName;  // visible text
  int shortLength;        // total length with the trailing spaces
  const char* longName;
};

// Index = contract code; entry 0 is unused.
constexpr ContractNames kNames[LastContract + 1] = {
    {"", 0, ""},
    {"Misere", 16, "Misere"},
    {"No Queens", 16, "No Queens"},
    {"N.L.T.", 16, "No Last Two"},
    {"No Hearts", 17, "No Hearts"},
    {"Zelbo", 16, "Zelbo"},
    {"Trumps D", 17, "Trumps Diamonds"},
    {"Trumps C", 17, "Trumps Clubs"},
    {"Trumps H", 17, "Trumps Hearts"},
    {"Trumps S", 17, "Trumps Spades"},
    {"Doms 2", 16, "Dominoes from the Two"},
    {"Doms 3", 16, "Dominoes from the Three"},
    {"Doms 4", 16, "Dominoes from the Four"},
    {"Doms 5", 16, "Dominoes from the Five"},
    {"Doms 6", 16, "Dominoes from the Six"},
    {"Doms 7", 16, "Dominoes from the Seven"},
    {"Doms 8", 16, "Dominoes from the Eight"},
    {"Doms 9", 16, "Dominoes from the Nine"},
    {"Doms 10", 16, "Dominoes from the Ten"},
    {"Doms J", 16, "Dominoes from the Jack"},
    {"Doms Q", 16, "Dominoes from the Queen"},
    {"Doms K", 16, "Dominoes from the King"},
    {"Doms A", 16, "Dominoes from the Ace"},
};

constexpr const char* kKindLabels[KindCount] = {
    " Trumps", " Dominoes", " Misere  ", " No Queens", " N.L.T.   ", " No Hearts", " Zelbo    ",
};
constexpr char kKindLetters[KindCount] = {'m', 'i', 'e', 'Q', '.', 'H', 'b'};

}  // namespace

void ContractShortName(char* buffer, int code) {
  if (!IsContract(code)) return;
  const ContractNames& n = kNames[code];
  const int visible = static_cast<int>(std::strlen(n.shortName));
  std::memcpy(buffer, n.shortName, static_cast<std::size_t>(visible));
  std::memset(buffer + visible, ' ', static_cast<std::size_t>(n.shortLength - visible));
  buffer[n.shortLength] = '\0';
}

void ContractLongName(char* buffer, int code) {
  if (!IsContract(code)) return;
  std::strcpy(buffer, kNames[code].longName);
}

const char* SeatName(int seat) {
  static constexpr const char* names[4] = {"South", "West", "North", "East"};
  return names[SeatMod(seat)];
}

const char* SeatLetter(int seat) {
  static constexpr const char* letters[4] = {"S", "W", "N", "E"};
  return letters[SeatMod(seat)];
}

const char* KindLabel(int kind) {
  return kind >= 0 && kind < KindCount ? kKindLabels[kind] : "";
}

char KindLetter(int kind) { return kind >= 0 && kind < KindCount ? kKindLetters[kind] : '\0'; }

}  // namespace zelbo
