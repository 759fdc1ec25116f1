// The saved-game file: one binary layout for File > Save, the autosave and
// the undo snapshots. A fixed part of 8423 bytes holds the game fields in a
// fixed order (little-endian, no header), then the score sheet follows as a
// line count and one record per line. Every field is encoded and decoded one
// by one; nothing depends on the memory layout of GameState.
//
// Loading is all or nothing: a file is read, decoded into a scratch record
// and checked field by field; only a file that passes every check replaces
// the running game.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "engine/game_state.h"
#include "records/file_io.h"

namespace zelbo {

// Offsets and sizes of the layout.
namespace saved_game {
constexpr std::size_t PhaseOffset = 0;
constexpr std::size_t SeatTakenOffset = 35;
constexpr std::size_t DealRecordsOffset = 39;
constexpr std::size_t HandsOffset = 1547;
constexpr std::size_t DealDecisionsOffset = 1599;
constexpr std::size_t PlayRecordsOffset = 1744;
constexpr std::size_t OfferedContractsOffset = 7776;
constexpr std::size_t ContractsLeftOffset = 7783;
constexpr std::size_t DoubleFactorOffset = 7811;
constexpr std::size_t DealerDoublesOffset = 7827;
constexpr std::size_t TableCardsOffset = 7843;
constexpr std::size_t TallyOffset = 7859;
constexpr std::size_t DoublesOwedOffset = 7863;
constexpr std::size_t DomUpOffset = 7867;
constexpr std::size_t DomDownOffset = 7883;
constexpr std::size_t DealScoresOffset = 7899;
constexpr std::size_t TotalScoresOffset = 8363;
constexpr std::size_t HandScoreOffset = 8379;
constexpr std::size_t RandomSeedOffset = 8411;
constexpr std::size_t GameSeedOffset = 8415;
constexpr std::size_t LineCountOffset = 8419;
constexpr std::size_t FixedSize = 8423;

constexpr int MaxLines = 255;       // score-sheet lines a file may hold
constexpr int MaxLineLength = 255;  // characters of one line
// The longest file the loader accepts.
constexpr std::size_t MaxFileSize = FixedSize + MaxLines * (4 + MaxLineLength + 1);
}  // namespace saved_game

// The per-seat "occupied" flags stored at offset 35. They describe the
// table of the program that saved the file, not the game: a load reports
// them but never applies them, so the running program keeps its own seats.
using SeatTakenFlags = std::array<uint8_t, 4>;

// Encodes the game fields and the score sheet.
std::vector<uint8_t> EncodeSavedGame(const GameState& g, const SeatTakenFlags& seatTaken = {});

// Decodes and checks a whole file image. On success replaces the fields that
// the file holds in `out` (the phase exactly as stored; the fields that are
// not in the file, such as finalHandles, are kept) and, when given, fills
// `seatTaken`. On failure returns false, leaves `out` untouched and says in
// `error` which field is wrong and where.
bool DecodeSavedGame(std::span<const uint8_t> bytes, GameState& out, std::string& error,
                     SeatTakenFlags* seatTaken = nullptr);

// The bytes SaveGame writes to `path`, for a writer that writes them later.
// Refuses a game that the loader would not accept back: false, with the
// reason (naming `path`) in `error`.
bool EncodeGameForSave(const std::filesystem::path& path, const GameState& g,
                       std::vector<uint8_t>& bytes, std::string& error,
                       const SeatTakenFlags& seatTaken = {});

// Writes the game to `path` (through a temporary file renamed into place).
// Refuses, without writing, a game that the loader would not accept back.
// On failure `error` names the file and false is returned.
bool SaveGame(const std::filesystem::path& path, const GameState& g, std::string& error,
              const SeatTakenFlags& seatTaken = {},
              FileDurability durability = FileDurability::Atomic);

// Reads, decodes and checks `path`. On success the game fields and score
// sheet of `out` are replaced and the phase is suspended (PhaseChoosing,
// PhasePlaying and PhaseFirstLead become their suspended forms; every other
// phase stays as read). On failure `out` is left exactly as it was and
// `error` names the file and the fault.
bool LoadGame(const std::filesystem::path& path, GameState& out, std::string& error,
              SeatTakenFlags* seatTaken = nullptr);

}  // namespace zelbo
