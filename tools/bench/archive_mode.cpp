// Mode "archive": the archive of finished games at scale. Sixteen games
// are played by simple players from --seed on; copies of them, each with
// four handles drawn from 1,000 players, fill a scratch archive (--dir,
// default the system's temporary folder) up to --games N, in transactions
// of 1,000 games. Printed: the rate of that filling, the rate of games
// stored one transaction each as a table stores them, the file size per
// game, and the time of the first page of the list (newest first, all
// games and one player's) at 10,000 games, at 1,000,000 and at N.
#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "archive/archive_db.h"
#include "engine/engine.h"
#include "engine/simple_policy.h"
#include "records/finished_game.h"
#include "tools/bench/bench_modes.h"

namespace zelbo::bench {

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kPlayers = 1000;
constexpr int kBatch = 1000;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::vector<FinishedGame> PlayedGames(unsigned firstSeed) {
  std::vector<FinishedGame> games;
  for (unsigned seed = firstSeed; seed < firstSeed + 16; ++seed) {
    EngineHost host;
    GameState g;
    g.randomSeed = seed;
    NewGame(g, host, 0);
    while (SimpleStep(g, host)) {
    }
    games.push_back(SummariseFinishedGame(g, {1, 1, 1, 1}, 1800000000, "2118"));
  }
  return games;
}

std::string Player(int n) { return "player" + std::to_string(n); }

// The median time of the first page, over several handles (or none).
double FirstPageMs(ArchiveDb& db, bool filtered, std::mt19937& rng) {
  std::vector<double> ms;
  std::string error;
  for (int i = 0; i < 21; ++i) {
    const std::string handle = filtered ? Player(static_cast<int>(rng() % kPlayers)) : "";
    ArchivePage page;
    const auto start = Clock::now();
    if (!db.List(handle, 1, page, error)) std::fprintf(stderr, "list: %s\n", error.c_str());
    ms.push_back(Seconds(Clock::now() - start) * 1000);
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

std::uintmax_t FileBytes(const std::filesystem::path& path) {
  std::error_code ec;
  std::uintmax_t total = 0;
  for (const char* tail : {"", "-wal"}) {
    const auto n = std::filesystem::file_size(path.string() + tail, ec);
    if (!ec) total += n;
  }
  return total;
}

}  // namespace

int RunArchiveMode(const Options& options) {
  std::filesystem::path folder = std::filesystem::temp_directory_path();
  for (std::size_t i = 0; i + 1 < options.extra.size(); ++i)
    if (options.extra[i] == "--dir") folder = options.extra[i + 1];
  const std::filesystem::path path = folder / ("zelbo_archive_bench_" + std::to_string(::getpid()) + ".sqlite");
  int argc = 1;
  char name[] = "zelbowin-bench", *argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);  // Qt's SQL driver needs it

  const std::vector<FinishedGame> played = PlayedGames(options.firstSeed);
  std::string error;
  auto db = ArchiveDb::Open(path, ArchiveDb::Access::ReadWrite, error);
  if (!db) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::mt19937 rng(options.firstSeed);
  const auto game = [&](long n) {
    FinishedGame f = played[static_cast<std::size_t>(n) % played.size()];
    f.endedAt += n;
    for (std::string& h : f.handles) h = Player(static_cast<int>(rng() % kPlayers));
    return f;
  };
  std::printf("archive bench: %d games into %s\n", options.games, path.string().c_str());
  long stored = 0;
  double fillSeconds = 0;
  const auto report = [&] {
    std::printf("  at %9ld games: %7.1f bytes/game   first page %6.2f ms, filtered by handle %6.2f ms\n", stored,
                static_cast<double>(FileBytes(path)) / static_cast<double>(stored), FirstPageMs(*db, false, rng),
                FirstPageMs(*db, true, rng));
  };
  for (long checkpoint : {10000L, 1000000L, static_cast<long>(options.games)}) {
    if (checkpoint > options.games || checkpoint <= stored) continue;
    while (stored < checkpoint) {
      std::vector<FinishedGame> batch;
      for (long i = 0; i < kBatch && stored + i < checkpoint; ++i) batch.push_back(game(stored + i));
      const auto start = Clock::now();
      if (!db->StoreAll(batch, error)) {
        std::fprintf(stderr, "store: %s\n", error.c_str());
        return 1;
      }
      fillSeconds += Seconds(Clock::now() - start);
      stored += static_cast<long>(batch.size());
    }
    report();
  }
  // As a table stores them: one game, one transaction, synced.
  const int single = std::min(200, options.games);
  const auto start = Clock::now();
  for (int i = 0; i < single; ++i)
    if (!db->Store(game(stored + i), error)) std::fprintf(stderr, "store: %s\n", error.c_str());
  const double singleSeconds = Seconds(Clock::now() - start);
  std::printf("filling: %.0f games/s in transactions of %d; one game a transaction: %.0f games/s\n",
              static_cast<double>(stored) / fillSeconds, kBatch, single / singleSeconds);
  std::printf("peak memory %ld KiB\n", PeakResidentKiB());
  db.reset();
  std::error_code ec;
  for (const char* tail : {"", "-wal", "-shm"}) std::filesystem::remove(path.string() + tail, ec);
  return 0;
}

}  // namespace zelbo::bench
