#include "records/saved_game.h"

#include <cstring>
#include <memory>
#include <type_traits>

#include "engine/engine.h"
#include "engine/invariants.h"
#include "records/file_io.h"

namespace zelbo {

namespace {

using namespace saved_game;

// What a decoded value must satisfy.
struct Rule {
  bool (*ok)(int64_t);
  const char* allowed;  // for the message
};

constexpr Rule Any{[](int64_t) { return true; }, ""};
constexpr Rule Flag{[](int64_t v) { return v == 0 || v == 1; }, "0 or 1"};
constexpr Rule CardOrNone{[](int64_t v) { return v >= 0 && v <= NoCard; }, "0..52"};
constexpr Rule CardOrClosed{[](int64_t v) { return v >= 0 && v <= DomClosed; }, "0..53"};
constexpr Rule Factor{[](int64_t v) { return v == 1 || v == 2 || v == 4; }, "1, 2 or 4"};
// Scores lie far inside this in any real game; the bound keeps settlement
// and the sums of 28 deals far from overflowing 32 bits.
constexpr Rule Score{[](int64_t v) { return v >= -1000000 && v <= 1000000; }, "-1000000..1000000"};

// The decoder: reads little-endian fields in order and checks each one.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  void I32(int32_t& v, const char* name, int lo, int hi) {
    at_ = pos_;
    v = static_cast<int32_t>(Take32());
    Check(v, name, -1, lo, hi);
  }
  void I32(Phase& v, const char* name, int lo, int hi) {
    int32_t n = 0;
    I32(n, name, lo, hi);
    v = static_cast<Phase>(n);  // a file out of range is refused as a whole
  }
  void U32(uint32_t& v, const char*) { v = Take32(); }
  void U8(uint8_t& v, const char* name, const Rule& rule) {
    at_ = pos_;
    v = Take8();
    Check(v, name, -1, rule);
  }
  void U8s(uint8_t* p, std::size_t n, const char* name, const Rule& rule) {
    // Every byte there (the length was checked first): one pass, without
    // a bounds check per byte. A saved game is read back after every save.
    if (remaining() >= n) {
      const uint8_t* from = here();
      for (std::size_t i = 0; i < n; ++i) {
        p[i] = from[i];
        if (!rule.ok(p[i])) {
          at_ = pos_ + i;
          Report(p[i], name, static_cast<long>(i), rule.allowed);
        }
      }
      pos_ += n;
      return;
    }
    for (std::size_t i = 0; i < n; ++i) {
      at_ = pos_;
      p[i] = Take8();
      Check(p[i], name, static_cast<long>(i), rule);
    }
  }
  void I8s(int8_t* p, std::size_t n, const char* name, int lo, int hi) {
    for (std::size_t i = 0; i < n; ++i) {
      at_ = pos_;
      p[i] = static_cast<int8_t>(Take8());
      Check(p[i], name, static_cast<long>(i), lo, hi);
    }
  }
  void I32s(int32_t* p, std::size_t n, const char* name, const Rule& rule) {
    for (std::size_t i = 0; i < n; ++i) {
      at_ = pos_;
      p[i] = static_cast<int32_t>(Take32());
      Check(p[i], name, static_cast<long>(i), rule);
    }
  }

  std::size_t position() const { return pos_; }
  std::size_t remaining() const { return bytes_.size() - pos_; }
  bool failed() const { return !error_.empty(); }
  const std::string& error() const { return error_; }
  void Fail(std::string text) {
    if (error_.empty()) error_ = std::move(text);
  }
  const uint8_t* here() const { return bytes_.data() + pos_; }
  void Skip(std::size_t n) { pos_ += n; }

 private:
  // Reading past the end yields zeros and records the fault once; callers
  // make sure of the length first, so this is a second line of defence.
  uint8_t Take8() {
    if (pos_ >= bytes_.size()) {
      Fail("the file ends early at offset " + std::to_string(pos_));
      return 0;
    }
    return bytes_[pos_++];
  }
  uint32_t Take32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(Take8()) << (8 * i);
    return v;
  }
  void Check(int64_t v, const char* name, long index, int lo, int hi) {
    if (v >= lo && v <= hi) return;
    Report(v, name, index, std::to_string(lo) + ".." + std::to_string(hi));
  }
  void Check(int64_t v, const char* name, long index, const Rule& rule) {
    if (rule.ok(v)) return;
    Report(v, name, index, rule.allowed);
  }
  void Report(int64_t v, const char* name, long index, const std::string& allowed) {
    std::string where = name;
    if (index >= 0) where += " entry " + std::to_string(index);
    Fail(where + " at offset " + std::to_string(at_) + " holds " + std::to_string(v) +
         " (allowed " + allowed + ")");
  }

  std::span<const uint8_t> bytes_;
  std::size_t pos_ = 0;
  std::size_t at_ = 0;  // first byte of the field being read
  std::string error_;
};

// The encoder: the same calls, writing instead of reading.
class Writer {
 public:
  explicit Writer(std::vector<uint8_t>& out) : out_(out) {}
  void I32(const int32_t& v, const char*, int = 0, int = 0) { Put32(static_cast<uint32_t>(v)); }
  void U32(const uint32_t& v, const char*) { Put32(v); }
  void U8(const uint8_t& v, const char*, const Rule&) { out_.push_back(v); }
  void U8s(const uint8_t* p, std::size_t n, const char*, const Rule&) { out_.insert(out_.end(), p, p + n); }
  void I8s(const int8_t* p, std::size_t n, const char*, int, int) {
    for (std::size_t i = 0; i < n; ++i) out_.push_back(static_cast<uint8_t>(p[i]));
  }
  void I32s(const int32_t* p, std::size_t n, const char*, const Rule&) {
    for (std::size_t i = 0; i < n; ++i) Put32(static_cast<uint32_t>(p[i]));
  }

 private:
  void Put32(uint32_t v) {
    for (int i = 0; i < 4; ++i) out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  std::vector<uint8_t>& out_;
};

// The first element of a (possibly multi-dimensional) array as a pointer to
// T (bytes, signed bytes or 32-bit integers), const when the array is.
template <class T, class A>
auto* As(A& a) {
  if constexpr (std::is_const_v<A>)
    return reinterpret_cast<const T*>(&a);
  else
    return reinterpret_cast<T*>(&a);
}

// The fixed part, in file order. One list for both directions, so the writer
// and the reader cannot disagree about order, size or count.
template <class Codec, class State, class Flags>
void VisitFixedPart(Codec& c, State& g, Flags& seatTaken) {
  c.I32(g.phase, "phase", PhaseIdle, PhaseFirstLeadSuspended);
  c.I32(g.contract, "contract", 0, LastContract);
  c.I32(g.dealNumber, "dealNumber", 0, DealCount);
  c.I32(g.dealer, "dealer", 0, 3);
  c.I32(g.turn, "turn", 0, 4);
  c.I32(g.roundSteps, "roundSteps", 0, 5);
  c.I32(g.playRound, "playRound", 0, DominoRounds - 1);
  c.I32(g.trickLeader, "trickLeader", 0, 3);
  c.U8(g.anyDoubled, "anyDoubled", Flag);
  c.U8(g.dealerDoubled, "dealerDoubled", Flag);
  c.U8(g.trickDone, "trickDone", Flag);
  c.U8s(seatTaken.data(), 4, "SeatTaken", Flag);
  c.U8s(As<uint8_t>(g.dealRecords), sizeof g.dealRecords, "dealRecords", CardOrNone);
  c.U8s(As<uint8_t>(g.hands), sizeof g.hands, "hands", CardOrNone);
  c.U8s(As<uint8_t>(g.dealDecisions), sizeof g.dealDecisions, "dealDecisions", Any);  // checked below
  c.U8s(As<uint8_t>(g.playRecords), sizeof g.playRecords, "playRecords", CardOrNone);
  c.U8s(As<uint8_t>(g.offeredContracts), sizeof g.offeredContracts, "offeredContracts", Flag);
  c.U8s(As<uint8_t>(g.contractsLeft), sizeof g.contractsLeft, "contractsLeft", Flag);
  c.U8s(As<uint8_t>(g.doubleFactor), sizeof g.doubleFactor, "doubleFactor", Factor);
  c.I8s(As<int8_t>(g.dealerDoubles), sizeof g.dealerDoubles, "dealerDoubles", 0, 7);
  c.U8s(As<uint8_t>(g.tableCards), sizeof g.tableCards, "tableCards", CardOrNone);
  c.U8s(As<uint8_t>(g.tally), sizeof g.tally, "tally", {[](int64_t v) { return v <= 15; }, "0..15"});
  c.U8s(As<uint8_t>(g.doublesOwed), sizeof g.doublesOwed, "doublesOwed",
        {[](int64_t v) { return v <= 2; }, "0..2"});
  c.I32s(As<int32_t>(g.domUp), 4, "domUp", CardOrClosed);
  c.I32s(As<int32_t>(g.domDown), 4, "domDown", CardOrClosed);
  c.I32s(As<int32_t>(g.dealScores), DealRows * 4, "dealScores", Score);
  c.I32s(As<int32_t>(g.totalScores), 4, "totalScores", Score);
  c.I32s(As<int32_t>(g.handScore), 4, "handScore", Score);
  c.I32(g.queensTaken, "queensTaken", 0, 4);
  c.I32(g.heartUnitsTaken, "heartUnitsTaken", 0, 15);
  c.I32(g.placesTaken, "placesTaken", 0, 3);
  c.I32(g.forcedDouble, "forcedDouble", 0, 1);
  c.U32(g.randomSeed, "randomSeed");
  c.U32(g.gameSeed, "gameSeed");
}

static_assert(sizeof(GameState::dealRecords) == 1508 && sizeof(GameState::playRecords) == 6032 &&
              sizeof(GameState::dealScores) == 464 && sizeof(GameState::dealDecisions) == 145);

}  // namespace

std::vector<uint8_t> EncodeSavedGame(const GameState& g, const SeatTakenFlags& seatTaken) {
  std::vector<uint8_t> out;
  out.reserve(FixedSize + g.scoreSheet.size() * 64);
  Writer w(out);
  VisitFixedPart(w, g, seatTaken);
  const auto& lines = g.scoreSheet.lines();
  auto put32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  put32(static_cast<uint32_t>(lines.size()));
  for (const std::string& line : lines) {
    put32(static_cast<uint32_t>(line.size()));
    out.insert(out.end(), line.begin(), line.end());
    out.push_back(0);
  }
  return out;
}

bool DecodeSavedGame(std::span<const uint8_t> bytes, GameState& out, std::string& error,
                     SeatTakenFlags* seatTaken) {
  if (bytes.size() < FixedSize) {
    error = "the file is " + std::to_string(bytes.size()) + " bytes long, shorter than the " +
            std::to_string(FixedSize) + " bytes of a saved game";
    return false;
  }
  // Fields not stored in the file keep their values from `out`.
  auto scratch = std::make_unique<GameState>(out);
  GameState& g = *scratch;
  SeatTakenFlags flags{};
  Reader r(bytes);
  VisitFixedPart(r, g, flags);
  if (r.failed()) {
    error = r.error();
    return false;
  }
  // Fields that must agree with each other.
  if (std::string broken = CheckInvariants(g); !broken.empty()) {
    error = std::move(broken);
    return false;
  }

  int32_t count = 0;
  r.I32(count, "score sheet line count", 0, MaxLines);
  if (r.failed()) {
    error = r.error();
    return false;
  }
  ScoreSheet sheet;
  for (int i = 0; i < count; ++i) {
    const std::string which = "score sheet line " + std::to_string(i);
    if (r.remaining() < 4) {
      error = "the file ends inside " + which;
      return false;
    }
    int32_t length = 0;
    r.I32(length, "score sheet line length", 0, MaxLineLength);
    if (r.failed()) {
      error = which + ": " + r.error();
      return false;
    }
    const auto n = static_cast<std::size_t>(length);
    if (r.remaining() < n + 1) {
      error = "the file ends inside " + which;
      return false;
    }
    const uint8_t* text = r.here();
    if (text[n] != 0 || std::memchr(text, 0, n) != nullptr) {
      error = which + " is not a text of " + std::to_string(length) + " characters ended by a zero byte";
      return false;
    }
    sheet.Append(std::string_view(reinterpret_cast<const char*>(text), n));
    r.Skip(n + 1);
  }
  if (r.remaining() != 0) {
    error = std::to_string(r.remaining()) + " unexpected bytes follow the last score sheet line";
    return false;
  }
  g.scoreSheet = std::move(sheet);
  out = std::move(g);
  if (seatTaken) *seatTaken = flags;
  return true;
}

bool EncodeGameForSave(const std::filesystem::path& path, const GameState& g,
                       std::vector<uint8_t>& bytes, std::string& error,
                       const SeatTakenFlags& seatTaken) {
  bytes = EncodeSavedGame(g, seatTaken);
  // A file that could not be loaded back is no save at all: say so now.
  auto check = std::make_unique<GameState>();
  std::string why;
  if (DecodeSavedGame(bytes, *check, why)) return true;
  error = "Cannot save the game to " + QuotedPath(path) + ": the game is not in a state that can be saved (" +
          why + ")";
  return false;
}

bool SaveGame(const std::filesystem::path& path, const GameState& g, std::string& error,
              const SeatTakenFlags& seatTaken, FileDurability durability) {
  std::vector<uint8_t> bytes;
  return EncodeGameForSave(path, g, bytes, error, seatTaken) &&
         WriteFileAtomically(path, bytes, error, durability);
}

bool LoadGame(const std::filesystem::path& path, GameState& out, std::string& error,
              SeatTakenFlags* seatTaken) {
  std::vector<uint8_t> bytes;
  if (!ReadFileLimited(path, MaxFileSize, bytes, error)) return false;
  if (bytes.size() > MaxFileSize) {
    error = "Cannot load " + QuotedPath(path) + ": the file is too long to be a saved game";
    return false;
  }
  auto loaded = std::make_unique<GameState>(out);
  std::string why;
  if (!DecodeSavedGame(bytes, *loaded, why, seatTaken)) {
    error = "Cannot load " + QuotedPath(path) + ": not a valid saved game (" + why + ")";
    return false;
  }
  SuspendGame(*loaded);
  out = std::move(*loaded);
  return true;
}

}  // namespace zelbo
