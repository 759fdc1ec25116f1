// The club's crash drill: a lobby server whose twenty tables are each played
// by four easy robots is SIGKILLed at five moments drawn from a fixed seed
// and restarted with --resume. Each kill leaves every table's files at least
// as far on as they were just before it, and as its autosave was after the
// kill before; each restart brings every unfinished table back. At the end
// every table's hand records equal those of its twin: the game from the
// table's seed played straight through by four easy robots in this process.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <set>

#include "records/hand_records.h"
#include "records/saved_game.h"
#include "robot/robot_match.h"
#include "robot/robot_player.h"
#include "tests/engine_fixtures.h"
#include "tests/http_client.h"
#include "tests/robot_fixtures.h"
#include "tests/server_process.h"

namespace zelbo {
namespace {

using testing::WaitUntil;
constexpr int Tables = 20;
constexpr int GameMs = 600000;  // a hang guard for twenty whole games, not a speed test
constexpr const char* Files[] = {"temp.zelbo", "0undo.zelbo", "1undo.zelbo", "2undo.zelbo", "3undo.zelbo"};

// How far a saved game is: its deal, then the decisions taken in it, then
// the cards played from the hands. Every action moves one of them on.
int Progress(const GameState& g) {
  int decisions = 0, played = 0;
  for (int i = 0; i < 5; ++i) decisions += g.dealDecisions[g.dealNumber][i] != Undecided;
  for (const auto& hand : g.hands)
    for (uint8_t card : hand) played += card == NoCard;
  return (g.dealNumber * 10 + decisions) * 100 + played;
}

std::string FileOf(const std::string& dir, const std::string& id, const char* name) {
  return (std::filesystem::path(dir) / "tables" / id / name).string();
}

// The progress of the saved game in `path`; -1 when it cannot be read.
int ProgressOf(const std::string& path) {
  GameState g;
  std::string error;
  return LoadGame(path, g, error) ? Progress(g) : -1;
}

// The progress of each file of the tables, by path; a file that is there
// must read back whole. An absent autosave counts -1.
std::map<std::string, int> Look(const std::string& dir, const std::vector<std::string>& ids) {
  std::map<std::string, int> seen;
  for (const std::string& id : ids) {
    for (const char* name : Files) {
      const std::string path = FileOf(dir, id, name);
      std::error_code ec;
      if (!std::filesystem::exists(path, ec)) {
        if (name == Files[0]) seen[path] = -1;
        continue;
      }
      seen[path] = ProgressOf(path);
      EXPECT_GE(seen[path], 0) << path << " does not read back";
    }
  }
  return seen;
}

// The hand records of the game from `seed` played straight through by four
// easy robots, in this process through the rules engine, as a server writes them.
std::string TwinRecords(uint32_t seed, const std::string& dir) {
  testing::RecordingHost host;
  HandRecordsContext context;
  RobotPlayer players[4] = {RobotPlayer(RobotLevel::Easy), RobotPlayer(RobotLevel::Easy),
                            RobotPlayer(RobotLevel::Easy), RobotPlayer(RobotLevel::Easy)};
  RobotPlayer* const seats[4] = {&players[0], &players[1], &players[2], &players[3]};
  for (int s = 0; s < 4; ++s) host.handles[s] = context.seatHandles[static_cast<std::size_t>(s)] = RobotHandle(s);
  GameState g;
  const MatchResult played = PlayPlayersMatch(seed, seats, g, host);
  EXPECT_TRUE(played.finished && played.refusedMoves == 0);
  const std::string path = dir + "/twin.txt";
  std::string error;
  EXPECT_TRUE(WriteHandRecords(path, g, context, error)) << error;
  return testing::RecordsWithoutTimeLine(path);
}

// A lobby server on `dir` whose tables seat four easy robots, with what it
// printed in this run and in all its runs.
struct Lobby : testing::ServerProcess {
  explicit Lobby(std::string d) : dir(std::move(d)) {}
  ~Lobby() { Kill(); }
  void Kill() { Stop(true); }  // SIGKILL
  // Starts the server (on its previous web port, if any); waits until it listens.
  bool Start(bool resume) {
    QStringList args{"--lobby", "--web", QString::number(web), "--port", "0", "--dir", dir.c_str(),
                     "--seed", "1807", "--table-robots", "4", "--robots-idle", "86400",
                     "--unload-after", "86400", "--close-over-after", "0", "--archive", "no",
                     "--trusted-proxy", "127.0.0.1"};
    if (resume) args << "--resume";
    ServerProcess::Start(args);
    const uint16_t listening = Port("lobby on port ");
    if (listening) web = listening;
    return listening != 0;
  }
  // Opens the tables one after the other; their ids, in order. An address
  // may keep five tables open, so the requests come from four addresses
  // behind a trusted proxy.
  std::vector<std::string> Open() {
    std::vector<std::string> ids;
    for (int k = 0; k < Tables; ++k) {
      const testing::Reply r = testing::Request(web, "POST", "/api/tables", R"({"name":"Drill","robots":"easy"})",
                                                "X-Forwarded-For: 10.0.0." + std::to_string(k / 5) + "\r\n");
      EXPECT_EQ(r.status, 201) << r.body;
      ids.push_back(testing::IdOf(r));
    }
    return ids;
  }
  // The first hand records each table wrote, by table id.
  std::map<std::string, std::string> Records() const {
    std::map<std::string, std::string> found;
    const std::string written = "] Hand records written to ";
    for (std::size_t at = all.find(written); at != std::string::npos; at = all.find(written, at + 1)) {
      const std::size_t start = all.rfind('[', at) + 1, from = at + written.size(), end = all.find('\n', from);
      if (end != std::string::npos) found.emplace(all.substr(start, at - start), all.substr(from, end - from));
    }
    return found;
  }

  std::string dir;
  uint16_t web = 0;
};

TEST(ClubDrill, TwentyTablesKilledFiveTimesEndAsTheirUninterruptedTwins) {
  testing::TempDir dir;
  Lobby club(dir.path);
  ASSERT_TRUE(club.Start(false)) << club.all;
  const std::vector<std::string> ids = club.Open();
  ASSERT_FALSE(HasFailure());
  std::vector<uint32_t> seeds;  // each table's, from its saved game before the first kill

  std::mt19937 pick(18);
  std::map<std::string, int> lastAutosave;  // after the previous kill
  for (int kill = 0; kill < 5; ++kill) {
    SCOPED_TRACE("kill " + std::to_string(kill + 1));
    // A table, and a moment of it in deals 2 to 25, each kill in later deals.
    const std::string watched = FileOf(dir.path, ids[pick() % Tables], Files[0]);
    const int target = (2 + 5 * kill + static_cast<int>(pick() % 4)) * 1000 + static_cast<int>(pick() % 1000);
    ASSERT_TRUE(WaitUntil([&] { return ProgressOf(watched) >= target; }, GameMs)) << club.out;
    for (std::size_t k = seeds.size(); k < ids.size(); ++k) {
      GameState g;
      std::string error;
      ASSERT_TRUE(LoadGame(FileOf(dir.path, ids[k], Files[0]), g, error)) << error;
      seeds.push_back(g.gameSeed);
    }
    const std::map<std::string, int> before = Look(dir.path, ids);
    club.Kill();
    const std::map<std::string, int> after = Look(dir.path, ids);
    for (const std::string& id : ids) {
      for (const char* name : Files) {
        const std::string path = FileOf(dir.path, id, name);
        const auto was = before.find(path), is = after.find(path);
        if (was == before.end()) continue;
        EXPECT_TRUE(is != after.end() && is->second >= was->second) << path << " went back";
      }
      const std::string autosave = FileOf(dir.path, id, Files[0]);
      EXPECT_GE(after.at(autosave), lastAutosave[autosave]) << autosave << " went back across a restart";
      lastAutosave[autosave] = after.at(autosave);
    }
    // A table whose game has ended is closed or comes back ended: the
    // others are resumed.
    const std::map<std::string, std::string> ended = club.Records();
    std::vector<std::string> unfinished;
    for (const std::string& id : ids)
      if (!ended.count(id)) unfinished.push_back(id);
    ASSERT_TRUE(WaitUntil([&] { return club.Start(true); }, 30000)) << club.all;
    for (const std::string& id : unfinished)
      ASSERT_TRUE(WaitUntil([&] { return club.Logged("[" + id + "] Game resumed"); }, 60000)) << id << club.out;
  }

  ASSERT_TRUE(WaitUntil([&] {
    const auto records = club.Records();
    return std::all_of(ids.begin(), ids.end(), [&](const std::string& id) { return records.count(id) > 0; });
  }, GameMs)) << club.out;
  const auto records = club.Records();
  std::set<std::string> games;
  for (std::size_t k = 0; k < ids.size(); ++k) {
    const std::string twin = TwinRecords(seeds[k], dir.path);
    EXPECT_NE(twin.find("Deal 28"), std::string::npos) << k;
    EXPECT_EQ(testing::RecordsWithoutTimeLine(records.at(ids[k])), twin) << "table " << k;
    games.insert(twin);
  }
  EXPECT_EQ(games.size(), static_cast<std::size_t>(Tables)) << "tables of one run were dealt the same game";
}

}  // namespace
}  // namespace zelbo
