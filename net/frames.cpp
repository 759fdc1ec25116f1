#include "net/frames.h"

#include <algorithm>
#include <cstring>

namespace zelbo {

namespace {

// A frame of `type` with `n` payload bytes, all 0.
Frame Empty(int type, std::size_t n) {
  Frame f;
  f.size = static_cast<uint8_t>(n + 2);
  f.bytes[0] = f.size;
  f.bytes[1] = static_cast<uint8_t>(type);
  return f;
}

Frame Bytes(int type, const uint8_t* data, std::size_t n) {
  Frame f = Empty(type, n);
  if (n > 0) std::memcpy(&f.bytes[2], data, n);
  return f;
}

Frame OneByte(int type, int value) {
  Frame f = Empty(type, 2);
  f.bytes[2] = static_cast<uint8_t>(value);
  return f;
}

Frame TextFrame(int type, std::string_view text, std::size_t limit) {
  if (text.size() > limit) text = text.substr(0, limit);
  return Bytes(type, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

}  // namespace

Frame MakeIdle() { return Empty(MsgIdle, 2); }
Frame MakeJoin(std::string_view handle) { return TextFrame(MsgJoin, handle, MaxHandleLength); }
Frame MakeText(std::string_view text) { return TextFrame(MsgText, text, MaxTextLength); }
Frame MakeChat(std::string_view line) {
  return TextFrame(MsgChat, line, MaxChatFrameLength - 2);
}
Frame MakeSitRequest(int seat) { return OneByte(MsgSitRequest, seat); }
Frame MakeSeatGranted(int seat) { return OneByte(MsgSeatGranted, seat); }

Frame MakeStatus(const GameState& g) {
  Frame f = Empty(MsgStatus, 6);
  f.bytes[2] = static_cast<uint8_t>(g.phase);
  f.bytes[3] = static_cast<uint8_t>(g.dealNumber);
  f.bytes[4] = static_cast<uint8_t>(g.contract);
  f.bytes[5] = static_cast<uint8_t>(g.dealer);
  f.bytes[6] = 1;
  f.bytes[7] = static_cast<uint8_t>(g.roundSteps);
  return f;
}

Frame MakeSeatInfo(int seat, bool occupied, std::string_view handle) {
  if (!occupied) handle = {};
  if (handle.size() > MaxHandleLength) handle = handle.substr(0, MaxHandleLength);
  Frame f = Empty(MsgSeatInfo, 3 + handle.size());
  f.bytes[2] = static_cast<uint8_t>(seat);
  f.bytes[3] = occupied ? 1 : 0;
  f.bytes[4] = 1;
  if (!handle.empty()) std::memcpy(&f.bytes[5], handle.data(), handle.size());
  return f;
}

Frame MakeHand(const GameState& g, int seat, bool hidden) {
  Frame f = Empty(MsgHand, 14);
  f.bytes[2] = static_cast<uint8_t>(seat);
  for (int i = 0; i < 13; ++i)
    f.bytes[3 + i] = hidden || !IsSeat(seat) ? static_cast<uint8_t>(NoCard) : g.hands[seat][i];
  return f;
}

Frame MakeContract(int contract) { return OneByte(MsgContract, contract); }
Frame MakeChooseContract(const uint8_t row[KindCount]) {
  return Bytes(MsgChooseContract, row, KindCount);
}
Frame MakeContractChosen(int code) { return OneByte(MsgContractChosen, code); }

Frame MakeTurn(const GameState& g) {
  Frame f = Empty(MsgTurn, 2);
  f.bytes[2] = static_cast<uint8_t>(g.turn);
  f.bytes[3] = static_cast<uint8_t>(g.playRound);
  return f;
}

Frame MakeDealDecision(const GameState& g) {
  const int deal = std::clamp(g.dealNumber, 0, DealCount);
  return Bytes(MsgDealDecision, g.dealDecisions[deal], 5);
}

Frame MakeDoubleFactors(const GameState& g) {
  return Bytes(MsgDoubleFactors, &g.doubleFactor[0][0], 16);
}
Frame MakeDoublePrompt(int forcedDouble) { return OneByte(MsgDoublePrompt, forcedDouble); }
Frame MakeDoubleChosen(int bits) { return OneByte(MsgDoubleChosen, bits); }
Frame MakePlayCard(int card) { return OneByte(MsgPlayCard, card); }
Frame MakeTableCards(const GameState& g) { return Bytes(MsgTableCards, g.tableCards, 16); }
Frame MakeTally(const GameState& g) { return Bytes(MsgTally, g.tally, 4); }
Frame MakeDoublesOwed(const GameState& g) { return Bytes(MsgDoublesOwed, g.doublesOwed, 4); }
Frame MakeScoreClear() { return Empty(MsgScoreClear, 2); }

Frame MakeScoreLine(int index, std::string_view text) {
  if (text.size() > MaxFrameLength - 3) text = text.substr(0, MaxFrameLength - 3);
  Frame f = Empty(MsgScoreLine, 1 + text.size());
  f.bytes[2] = static_cast<uint8_t>(index);
  if (!text.empty()) std::memcpy(&f.bytes[3], text.data(), text.size());
  return f;
}

Frame MakeScoreDelete(int index) { return OneByte(MsgScoreDelete, index); }
Frame MakeResendAll() { return Empty(MsgResendAll, 2); }
Frame MakeUndoRequest() { return Empty(MsgUndoRequest, 2); }

// Parsers

namespace {

bool AllAtMost(std::span<const uint8_t> bytes, int max) {
  return std::all_of(bytes.begin(), bytes.end(), [max](uint8_t b) { return b <= max; });
}

}  // namespace

std::optional<Seat> ParseSeatGranted(std::span<const uint8_t> p) {
  if (p.size() < 1) return std::nullopt;
  return SeatFromInt(p[0]);
}

std::optional<StatusMsg> ParseStatus(std::span<const uint8_t> p) {
  if (p.size() < 6 || p[0] > PhaseFirstLeadSuspended || p[1] > DealCount || p[2] > LastContract ||
      !IsSeat(p[3]) || p[5] > 5)
    return std::nullopt;
  return StatusMsg{static_cast<Phase>(p[0]), p[1], p[2], static_cast<Seat>(p[3]), p[5], p[4] != 0};
}

std::optional<SeatInfoMsg> ParseSeatInfo(std::span<const uint8_t> p) {
  if (p.size() < 3 || !IsSeat(p[0])) return std::nullopt;
  return SeatInfoMsg{static_cast<Seat>(p[0]), p[1] != 0, p[2] != 0, PayloadText(p.subspan(3), MaxHandleLength)};
}

std::optional<HandMsg> ParseHand(std::span<const uint8_t> p) {
  if (p.size() < 14 || !IsSeat(p[0]) || !AllAtMost(p.subspan(1, 13), NoCard)) return std::nullopt;
  HandMsg m;
  m.seat = static_cast<Seat>(p[0]);
  std::copy_n(p.begin() + 1, 13, m.cards.begin());
  return m;
}

std::optional<int> ParseContract(std::span<const uint8_t> p) {
  if (p.size() < 1 || p[0] > LastContract) return std::nullopt;
  return p[0];
}

std::optional<std::array<uint8_t, KindCount>> ParseChooseContract(std::span<const uint8_t> p) {
  if (p.size() < KindCount) return std::nullopt;
  std::array<uint8_t, KindCount> offered{};
  for (std::size_t k = 0; k < offered.size(); ++k) offered[k] = p[k] != 0 ? 1 : 0;
  return offered;
}

std::optional<TurnMsg> ParseTurn(std::span<const uint8_t> p) {
  if (p.size() < 2 || p[0] > 4 || p[1] >= DominoRounds) return std::nullopt;
  return TurnMsg{p[0], p[1]};
}

std::optional<bool> ParseDoublePrompt(std::span<const uint8_t> p) {
  if (p.size() < 1) return std::nullopt;
  return p[0] != 0;
}

std::optional<std::array<uint8_t, 16>> ParseTableCards(std::span<const uint8_t> p) {
  if (p.size() < 16 || !AllAtMost(p.first(16), DomClosed)) return std::nullopt;
  std::array<uint8_t, 16> table{};
  std::copy_n(p.begin(), 16, table.begin());
  return table;
}

std::optional<ScoreLineMsg> ParseScoreLine(std::span<const uint8_t> p) {
  if (p.size() < 1) return std::nullopt;
  return ScoreLineMsg{p[0], PayloadText(p.subspan(1), p.size() - 1)};
}

std::optional<std::span<const uint8_t>> ParseBytes(std::span<const uint8_t> p, std::size_t n) {
  if (p.size() < n) return std::nullopt;
  return p.first(n);
}

std::string_view PayloadText(std::span<const uint8_t> payload, std::size_t limit) {
  std::size_t n = 0;
  while (n < payload.size() && n < limit && payload[n] != 0) ++n;
  return {reinterpret_cast<const char*>(payload.data()), n};
}

// FrameReader

void FrameReader::Reset() {
  greetingCount_ = 0;
  pendingCount_ = 0;
  failed_ = false;
}

FrameReader::Status FrameReader::Feed(std::span<const uint8_t> bytes,
                                      const FrameHandler& onFrame) {
  if (failed_) return Status::Stopped;
  std::size_t at = 0;

  // The greeting, however the stream splits it.
  if (expectGreeting_ && greetingCount_ < Greeting.size()) {
    const std::size_t take = std::min(Greeting.size() - greetingCount_, bytes.size());
    std::memcpy(&greeting_[greetingCount_], bytes.data(), take);
    greetingCount_ += take;
    at = take;
    if (greetingCount_ < Greeting.size()) return Status::Ok;
    if (greeting_ != Greeting) {
      failed_ = true;
      return Status::BadGreeting;
    }
  }

  while (at < bytes.size()) {
    // Complete a frame begun in an earlier read, byte by byte up to its length.
    if (pendingCount_ > 0) {
      const std::size_t length = pending_[0];
      const std::size_t take = std::min(length - pendingCount_, bytes.size() - at);
      std::memcpy(&pending_[pendingCount_], &bytes[at], take);
      pendingCount_ += take;
      at += take;
      if (pendingCount_ < length) return Status::Ok;
      pendingCount_ = 0;
      if (!onFrame(pending_[1], std::span<const uint8_t>(&pending_[2], length - 2))) {
        failed_ = true;
        return Status::Stopped;
      }
      continue;
    }
    const std::size_t length = bytes[at];
    if (length < MinFrameLength || length > MaxFrameLength) {
      failed_ = true;
      return Status::BadLength;
    }
    if (bytes.size() - at < length) {
      pendingCount_ = bytes.size() - at;
      std::memcpy(pending_.data(), &bytes[at], pendingCount_);
      return Status::Ok;
    }
    if (!onFrame(bytes[at + 1], bytes.subspan(at + 2, length - 2))) {
      failed_ = true;
      return Status::Stopped;
    }
    at += length;
  }
  return Status::Ok;
}

}  // namespace zelbo
