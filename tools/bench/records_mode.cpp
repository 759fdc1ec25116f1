// Mode "records": the cost of the files written around every action. A game
// from --seed is played by simple players up to the middle of the first
// hand played from deal 14 on; that state is saved and loaded back --rounds
// times (default 2000) in a scratch folder (--dir, default the system's
// temporary folder), and the hand records of the finished game are built
// and written. Every loaded game is checked against the saved one.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/simple_policy.h"
#include "records/hand_records.h"
#include "records/saved_game.h"
#include "tools/bench/bench_modes.h"

namespace zelbo::bench {

namespace {

using Clock = std::chrono::steady_clock;

double Micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

struct Stats {
  std::vector<double> us;
  void Print(const char* what) {
    std::sort(us.begin(), us.end());
    double sum = 0;
    for (double v : us) sum += v;
    const auto at = [&](double q) { return us[static_cast<std::size_t>(q * static_cast<double>(us.size() - 1))]; };
    std::printf("%-22s mean %8.1f us   median %8.1f us   p99 %8.1f us\n", what, sum / static_cast<double>(us.size()),
                at(0.5), at(0.99));
  }
};

class NamedHost : public EngineHost {
 public:
  std::string SeatHandle(int seat) const override { return SeatName(seat); }
};

}  // namespace

int RunRecordsMode(const Options& options) {
  long rounds = 2000;
  std::filesystem::path base = std::filesystem::temp_directory_path();
  for (std::size_t i = 0; i < options.extra.size(); ++i) {
    const std::string& arg = options.extra[i];
    if (arg == "--rounds" && i + 1 < options.extra.size()) {
      rounds = std::strtol(options.extra[++i].c_str(), nullptr, 10);
      if (rounds < 1) rounds = 1;
    } else if (arg == "--dir" && i + 1 < options.extra.size()) {
      base = options.extra[++i];
    } else {
      std::fprintf(stderr, "records mode: unknown argument %s\n", arg.c_str());
      return 2;
    }
  }
  std::random_device device;
  const std::filesystem::path dir = base / ("zelbo_bench_records_" + std::to_string(device()));
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) {
    std::fprintf(stderr, "records mode: cannot create %s: %s\n", dir.string().c_str(), ec.message().c_str());
    return 1;
  }

  NamedHost host;
  auto g = std::make_unique<GameState>();
  ResetGameState(*g);
  g->randomSeed = options.firstSeed;
  NewGame(*g, host, 0);
  // The middle of the first hand played from deal 14 on.
  while (!(g->dealNumber >= 14 && g->phase == PhasePlaying && g->playRound >= 6) && SimpleStep(*g, host)) {
  }
  const int dealSaved = g->dealNumber;

  const std::filesystem::path file = dir / "bench.zelbo";
  Stats encode, decode, save, load;
  auto loaded = std::make_unique<GameState>();
  std::string error;
  int failures = 0;
  for (long i = 0; i < rounds; ++i) {
    auto t0 = Clock::now();
    const std::vector<uint8_t> bytes = EncodeSavedGame(*g);
    auto t1 = Clock::now();
    if (!DecodeSavedGame(bytes, *loaded, error)) ++failures;
    auto t2 = Clock::now();
    if (!SaveGame(file, *g, error)) ++failures;
    auto t3 = Clock::now();
    if (!LoadGame(file, *loaded, error)) ++failures;
    auto t4 = Clock::now();
    encode.us.push_back(Micros(t1 - t0));
    decode.us.push_back(Micros(t2 - t1));
    save.us.push_back(Micros(t3 - t2));
    load.us.push_back(Micros(t4 - t3));
  }
  loaded->phase = ResumedPhase(loaded->phase);
  if (*loaded != *g) {
    ++failures;
    error = "the loaded game differs from the saved one";
  }
  const auto fileSize = std::filesystem::file_size(file, ec);

  // The hand records of the whole game.
  while (SimpleStep(*g, host)) {
  }
  Stats records;
  HandRecordsContext ctx;
  for (int s = 0; s < 4; ++s) ctx.seatHandles[static_cast<std::size_t>(s)] = SeatName(s);
  const long recordRounds = std::max(1L, rounds / 10);
  for (long i = 0; i < recordRounds; ++i) {
    auto t0 = Clock::now();
    if (!WriteHandRecords(dir / "records.txt", *g, ctx, error)) ++failures;
    records.us.push_back(Micros(Clock::now() - t0));
  }
  const auto recordsSize = std::filesystem::file_size(dir / "records.txt", ec);
  std::filesystem::remove_all(dir, ec);

  std::printf("mode:       records (seed %u, state: deal %d mid-play)\n", options.firstSeed, dealSaved);
  std::printf("file:       %ju bytes, %ld saves and loads in %s\n", static_cast<uintmax_t>(fileSize), rounds,
              base.string().c_str());
  encode.Print("encode (memory)");
  decode.Print("decode+check (memory)");
  save.Print("SaveGame (file)");
  load.Print("LoadGame (file)");
  records.Print("WriteHandRecords");
  std::printf("records:    %ju bytes for 28 deals\n", static_cast<uintmax_t>(recordsSize));
  std::printf("peak RSS:   %ld KiB\n", PeakResidentKiB());
  if (failures) {
    std::printf("failures:   %d (last: %s)\n", failures, error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace zelbo::bench
