// Frames on the wire: the 26 message types, the client's greeting, one
// builder per frame, and FrameReader, which cuts a byte stream back into
// frames. A frame is [length L (2..127)][type][L-2 payload bytes]. Every
// builder sets the payload bytes that the receiver ignores to 0.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

#include "engine/game_state.h"

namespace zelbo {

// Message types.
constexpr int MsgIdle = 0;
constexpr int MsgJoin = 1;
constexpr int MsgText = 2;
constexpr int MsgChat = 3;
constexpr int MsgSitRequest = 4;
constexpr int MsgSeatGranted = 5;
constexpr int MsgStatus = 6;
constexpr int MsgSeatInfo = 7;
constexpr int MsgHand = 8;
constexpr int MsgContract = 9;
constexpr int MsgChooseContract = 10;
constexpr int MsgContractChosen = 11;
constexpr int MsgTurn = 12;
constexpr int MsgDealDecision = 13;
constexpr int MsgDoubleFactors = 14;
constexpr int MsgDoublePrompt = 15;
constexpr int MsgDoubleChosen = 16;
constexpr int MsgPlayCard = 17;
constexpr int MsgTableCards = 18;
constexpr int MsgTally = 19;
constexpr int MsgDoublesOwed = 20;
constexpr int MsgScoreClear = 21;
constexpr int MsgScoreLine = 22;
constexpr int MsgResendAll = 23;
constexpr int MsgUndoRequest = 24;
constexpr int MsgScoreDelete = 25;

// Limits.
constexpr int MinFrameLength = 2;
constexpr int MaxFrameLength = 127;
constexpr int MaxTextLength = 124;      // MsgText payload
constexpr int MaxChatFrameLength = 123; // MsgChat frame, prefix included
constexpr int DefaultPort = 2118;
// The handle of a server whose user does not play (exact bytes).
constexpr std::string_view NonplayingServerHandle = "nonplaying server";

// The 9 bytes a client sends before its first frame.
constexpr std::array<uint8_t, 9> Greeting = {'Z', 'e', 'l', 'b', 'o', 'W', 'i', 'n', 0};

// One built frame.
struct Frame {
  std::array<uint8_t, MaxFrameLength> bytes{};
  uint8_t size = 0;
  std::span<const uint8_t> view() const { return {bytes.data(), size}; }
  int type() const { return size >= 2 ? bytes[1] : -1; }
};

// Builders. Texts longer than the frame allows are cut.
Frame MakeIdle();
Frame MakeJoin(std::string_view handle);                 // cut to 31
Frame MakeText(std::string_view text);                   // cut to 124
Frame MakeChat(std::string_view line);                   // cut to 121
Frame MakeSitRequest(int seat);
Frame MakeSeatGranted(int seat);
Frame MakeStatus(const GameState& g);                    // repaint flag 1
Frame MakeSeatInfo(int seat, bool occupied, std::string_view handle);
Frame MakeHand(const GameState& g, int seat, bool hidden);  // hidden: 13 x NoCard
Frame MakeContract(int contract);
Frame MakeChooseContract(const uint8_t row[KindCount]);
Frame MakeContractChosen(int code);
Frame MakeTurn(const GameState& g);
Frame MakeDealDecision(const GameState& g);
Frame MakeDoubleFactors(const GameState& g);
Frame MakeDoublePrompt(int forcedDouble);
Frame MakeDoubleChosen(int bits);
Frame MakePlayCard(int card);
Frame MakeTableCards(const GameState& g);
Frame MakeTally(const GameState& g);
Frame MakeDoublesOwed(const GameState& g);
Frame MakeScoreClear();
Frame MakeScoreLine(int index, std::string_view text);   // index 255 = replace last
Frame MakeScoreDelete(int index);
Frame MakeResendAll();
Frame MakeUndoRequest();

// Parsers of the frames a client receives. Each checks every field that
// the mirror or a screen will index with and gives nothing for a payload
// that is short or out of range; bytes beyond the fields are ignored. Texts
// and byte runs are views into the payload.
struct StatusMsg {
  Phase phase = PhaseIdle;
  int dealNumber = 0, contract = 0;
  Seat dealer = South;
  int roundSteps = 0;
  bool repaint = false;
};
struct SeatInfoMsg {
  Seat seat = South;
  bool taken = false, repaint = false;
  std::string_view handle;  // cut to 31 characters
};
struct HandMsg {
  Seat seat = South;
  std::array<uint8_t, 13> cards{};  // each a card or NoCard
};
struct TurnMsg {
  int turn = 0, playRound = 0;
};
struct ScoreLineMsg {
  int index = 0;  // 255 replaces the last line
  std::string_view text;
};
std::optional<Seat> ParseSeatGranted(std::span<const uint8_t> p);
std::optional<StatusMsg> ParseStatus(std::span<const uint8_t> p);
std::optional<SeatInfoMsg> ParseSeatInfo(std::span<const uint8_t> p);
std::optional<HandMsg> ParseHand(std::span<const uint8_t> p);
std::optional<int> ParseContract(std::span<const uint8_t> p);      // 0..22
// The offered kinds, each 0 or 1.
std::optional<std::array<uint8_t, KindCount>> ParseChooseContract(std::span<const uint8_t> p);
std::optional<TurnMsg> ParseTurn(std::span<const uint8_t> p);
std::optional<bool> ParseDoublePrompt(std::span<const uint8_t> p);  // forced double
// The 16 table bytes, each a card, NoCard or DomClosed.
std::optional<std::array<uint8_t, 16>> ParseTableCards(std::span<const uint8_t> p);
std::optional<ScoreLineMsg> ParseScoreLine(std::span<const uint8_t> p);
// The first `n` bytes as they are (deal decisions 5, factors 16, tally and
// doubles owed 4, a score line index 1).
std::optional<std::span<const uint8_t>> ParseBytes(std::span<const uint8_t> p, std::size_t n);

// Text of a received payload up to its first zero byte, at most `limit`
// characters.
std::string_view PayloadText(std::span<const uint8_t> payload, std::size_t limit);

// Cuts a byte stream into frames. A server-side reader first expects the
// 9-byte greeting, however the stream splits it; a client-side reader does
// not. Incomplete frames are kept until their last byte arrives.
class FrameReader {
 public:
  enum class Status {
    Ok,           // all bytes consumed (a partial frame may be pending)
    BadGreeting,  // the first 9 bytes were not the greeting
    BadLength,    // a length byte below 2 or above 127
    Stopped,      // the frame handler asked to stop
  };
  // Called once per complete frame, in stream order. Returning false stops
  // the cutting (the rest of the bytes is dropped).
  using FrameHandler = std::function<bool(int type, std::span<const uint8_t> payload)>;

  explicit FrameReader(bool expectGreeting) : expectGreeting_(expectGreeting) {}

  Status Feed(std::span<const uint8_t> bytes, const FrameHandler& onFrame);
  void Reset();

 private:
  bool expectGreeting_;
  std::size_t greetingCount_ = 0;
  std::array<uint8_t, Greeting.size()> greeting_{};
  std::array<uint8_t, MaxFrameLength> pending_{};
  std::size_t pendingCount_ = 0;
  bool failed_ = false;
};

}  // namespace zelbo
