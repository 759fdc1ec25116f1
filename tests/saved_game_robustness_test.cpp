// Every state of a whole game survives the round trip (or an autosave or
// undo would fail). Spoilt copies are accepted as a state that encodes back
// to the same bytes, or refused untouched; accepted ones can be played on,
// painted and seen by robots. The sanitizers catch bad reads.
#include <gtest/gtest.h>

#include "display/table_painter.h"
#include "engine/engine.h"
#include "engine/simple_policy.h"
#include "records/hand_records.h"
#include "records/saved_game.h"
#include "robot/seat_view.h"
#include "robot/strategy.h"
#include "tests/records_fixtures.h"

namespace zelbo::testing {
namespace {

TEST(SavedGameRobustnessTest, WholeGameRoundTripsAndSpoiltCopiesAreLoadedOrRefused) {
  std::vector<std::vector<uint8_t>> files;  // every tenth state and the end
  auto copy = std::make_unique<GameState>();
  int states = 0;
  RecordingHost host;
  const auto game = PlayedGame(host, 2024, [&](const GameState& g) {
    std::string error;
    std::memcpy(copy->finalHandles, g.finalHandles, sizeof g.finalHandles);  // not in the file
    files.push_back(EncodeSavedGame(g));
    EXPECT_TRUE(DecodeSavedGame(files.back(), *copy, error) && *copy == g) << g.dealNumber << error;
    if (++states % 10 && g.phase != PhaseGameOver) files.pop_back();
    return ::testing::Test::HasFailure();
  });
  ASSERT_EQ(game->phase, PhaseGameOver);

  const auto before = std::make_unique<GameState>();
  std::mt19937 rng(5);
  int accepted = 0, refused = 0;
  for (int round = 0; round < 2500; ++round) {
    std::vector<uint8_t> bytes = files[rng() % files.size()];
    const std::size_t at = rng() % bytes.size();
    const uint32_t extremes[] = {0x80000000u, 0x7FFFFFFFu, 0xFFFFFFFFu, 256u, 255u}, v = extremes[rng() % 5];
    const uint32_t kind = rng() % 4;
    if (kind == 0) bytes[at] = static_cast<uint8_t>(rng());  // a byte changed
    if (kind == 1) bytes.resize(at);                          // cut short
    for (std::size_t i = at & ~std::size_t{3}, k = 0; kind == 2 && k < 4 && i < bytes.size(); ++i, ++k)
      bytes[i] = static_cast<uint8_t>(v >> (8 * k));  // a 32-bit field set to an extreme value
    if (kind == 3) bytes.insert(bytes.end(), 1 + rng() % 300, static_cast<uint8_t>(rng()));  // added bytes
    auto g = std::make_unique<GameState>(*before);
    std::string error;
    if (DecodeSavedGame(bytes, *g, error)) {
      ++accepted;
      EXPECT_EQ(EncodeSavedGame(*g), bytes);
      HandRecordsText(*g, HandRecordsContext{});  // an accepted state is safe to read
    } else {
      ++refused;
      EXPECT_TRUE(!error.empty() && *g == *before) << error;
    }
    if (HasFailure()) FAIL() << "round " << round;
  }
  EXPECT_GT(accepted, 50);  // changes in score fields still make valid files
  EXPECT_GT(refused, 1000);
}

// Paints without copying a card that does not exist or drawing past the
// table's pictures.
struct CheckingCanvas : Canvas {
  void FillRect(const PaintRect&, Rgb) override {}
  void DrawText(int, int, std::string_view, TableFont, Rgb, Rgb) override {}
  void CopyCard(int card, const PaintRect& s, int, int) override {
    faults += !IsCard(card) || s.x < 0 || s.y < 0 || s.x + s.width > CardWidth || s.y + s.height > CardHeight;
  }
  int faults = 0;
};

// Files the loader accepts although no game leads to them (cards twice or
// missing, an odd trick leader or turn, stray table bytes): resumed, played
// on by every seat's robot and the simple player, and painted for every
// viewer, nothing reads or writes out of bounds and play stays bounded.
TEST(SavedGameRobustnessTest, AcceptedHostileFilesDriveTheEngineThePainterAndTheRobots) {
  std::vector<std::vector<uint8_t>> files;
  RecordingHost host;
  PlayedGame(host, 77, [&](const GameState& g) {
    if (g.phase == PhasePlaying || g.phase == PhaseChoosing) files.push_back(EncodeSavedGame(g));
    return files.size() >= 40;
  });
  ASSERT_EQ(files.size(), 40u);
  std::mt19937 rng(9);
  int accepted = 0;
  for (int round = 0; round < 200; ++round) {
    std::vector<uint8_t> bytes = files[rng() % files.size()];
    // A few bytes of the fixed part set to small values: cards, seats, flags.
    for (int k = 0; k < 3; ++k) bytes[rng() % saved_game::FixedSize] = static_cast<uint8_t>(rng() % 54);
    auto g = std::make_unique<GameState>();
    std::string error;
    if (!DecodeSavedGame(bytes, *g, error)) continue;
    ++accepted;
    ResumeGame(*g, host);
    for (int step = 0; step < 30 && g->phase != PhaseGameOver; ++step) {
      for (int viewer : {-1, 0, 1, 2, 3, 4, 8}) {  // none, seated, watching, all
        TableView v;
        v.role = viewer == NoPosition ? TableRole::Server : TableRole::Client;
        v.game = *g;
        v.localPosition = viewer;
        CheckingCanvas canvas;
        PaintTable(v, PaintRect{0, 0, 900, 720}, canvas);
        ASSERT_EQ(canvas.faults, 0) << "round " << round << " viewer " << viewer;
      }
      const int seat = SeatToAct(*g);
      if (seat < 0) break;
      const RobotMove move = DecideMove(ClientMirrorOf(*g, seat), seat);
      if (move.kind == RobotMoveKind::Card && MayPlayCard(*g, seat, move.value))
        PlayCard(*g, host, seat, move.value);
      else if ((move.kind == RobotMoveKind::Contract || move.kind == RobotMoveKind::Double) &&
               IsDecisionAllowed(*g, move.value))
        ApplyDecision(*g, host, move.value);
      else if (!SimpleStep(*g, host))
        break;  // nobody can act: the game waits, as a stuck table would
    }
    host.calls.clear();
  }
  EXPECT_GT(accepted, 50);
}

}  // namespace
}  // namespace zelbo::testing
