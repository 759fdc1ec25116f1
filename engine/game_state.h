// GameState: the whole game as one plain record of fixed-size arrays. On the
// server it is the authoritative game that the engine operations change; on a
// client it is a mirror filled from received frames. Saved games and undo
// points store it field by field. Network, seating and settings state live
// in their own records (net/, app/), never here.
#pragma once

#include <cstdint>

#include "engine/cards.h"
#include "engine/score_sheet.h"

namespace zelbo {

// Phases of a game. A plain enum with the values the wire and the files
// carry: it reads as an int wherever one is needed, but an int does not
// become a phase without a cast, which is done only where bytes are decoded
// after their range was checked.
enum Phase : int32_t {
  PhaseIdle = 0,
  PhaseChoosing = 1,
  PhasePlaying = 2,
  PhaseChoosingSuspended = 3,
  PhasePlayingSuspended = 4,
  PhaseGameOver = 5,
  PhaseFirstLead = 6,
  PhaseFirstLeadSuspended = 7,
};

constexpr int DealCount = 28;
constexpr int DealRows = 29;       // row 0 is never used
constexpr int DominoRounds = 52;   // rows of a play record
constexpr int Undecided = 255;     // a decision byte not yet taken
constexpr int HandleSize = 32;     // a handle slot: 31 characters and a terminator
constexpr int MaxHandleLength = HandleSize - 1;
// More steps than any game takes (28 deals of a contract, four doubling
// steps and at most 52 Dominoes turns): a bound for loops that drive games.
constexpr int MaxGameSteps = DealCount * 60;

struct GameState {
  // Progress of the game
  Phase phase = PhaseIdle;
  int32_t dealNumber = 0;
  int32_t dealer = 0;
  int32_t contract = 0;
  int32_t turn = 0;        // decision step 0..4 in phase 1, else the seat to play
  int32_t roundSteps = 0;  // 4 or 5 once the doubling round has closed

  // Cards
  uint8_t dealRecords[DealRows][4][13];
  uint8_t hands[4][13];
  uint8_t playRecords[DealRows][DominoRounds][4];
  int32_t playRound = 0;
  int32_t trickLeader = 0;
  uint8_t trickDone = 0;
  uint8_t tableCards[16];  // 0..3 trick, 4..7 last trick, 8..15 Dominoes layout

  // Contract choice and doubling
  uint8_t contractsLeft[4][KindCount];
  uint8_t offeredContracts[KindCount];
  uint8_t dealDecisions[DealRows][5];
  uint8_t doubleFactor[4][4];
  int8_t dealerDoubles[4][4];
  uint8_t doublesOwed[4];
  uint8_t anyDoubled = 0;
  uint8_t dealerDoubled = 0;
  int32_t forcedDouble = 0;

  // Scoring of the current hand
  int32_t handScore[4];
  uint8_t tally[4];
  int32_t queensTaken = 0;
  int32_t heartUnitsTaken = 0;
  int32_t placesTaken = 0;
  int32_t domUp[4];
  int32_t domDown[4];

  // Scoring of the game
  int32_t dealScores[DealRows][4];
  int32_t totalScores[4];
  ScoreSheet scoreSheet;
  char finalHandles[4][HandleSize];

  // Random numbers
  uint32_t randomSeed = 0;
  uint32_t gameSeed = 0;

  GameState();  // the start-up values of ResetGameState

  // Field by field, the score sheet included.
  bool operator==(const GameState&) const = default;
};

// True for the three suspended phases.
constexpr bool IsSuspended(int phase) {
  return phase == PhaseChoosingSuspended || phase == PhasePlayingSuspended ||
         phase == PhaseFirstLeadSuspended;
}
// The suspended form of 1, 2, 6 (other phases unchanged) and back.
constexpr Phase SuspendedPhase(Phase phase) {
  return phase == PhaseChoosing ? PhaseChoosingSuspended
         : phase == PhasePlaying ? PhasePlayingSuspended
         : phase == PhaseFirstLead ? PhaseFirstLeadSuspended
                                   : phase;
}
constexpr Phase ResumedPhase(Phase phase) {
  return phase == PhaseChoosingSuspended ? PhaseChoosing
         : phase == PhasePlayingSuspended ? PhasePlaying
         : phase == PhaseFirstLeadSuspended ? PhaseFirstLead
                                            : phase;
}

// Seat acting at the current decision step (phase 1).
inline int ActingSeat(const GameState& g) { return SeatMod(g.dealer + g.turn); }

// The seat to act: the acting seat of the choice and doubling, the seat to
// play during play, suspended or not; -1 in phases where nobody acts.
inline int SeatToAct(const GameState& g) {
  if (g.phase == PhaseChoosing || g.phase == PhaseChoosingSuspended) return ActingSeat(g);
  const bool play = g.phase == PhasePlaying || g.phase == PhasePlayingSuspended ||
                    g.phase == PhaseFirstLead || g.phase == PhaseFirstLeadSuspended;
  return play && g.turn >= 0 && g.turn < 4 ? g.turn : -1;
}

// The seat whose card the game waits for now (phase 2 or 6, not suspended);
// -1 otherwise. "Is it my turn to play" is SeatToPlay(g) == seat.
inline int SeatToPlay(const GameState& g) {
  const bool play = g.phase == PhasePlaying || g.phase == PhaseFirstLead;
  return play && g.turn >= 0 && g.turn < 4 ? g.turn : -1;
}

}  // namespace zelbo
