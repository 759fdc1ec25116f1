// The headless server as a program: refused options, ports and saved games,
// a clean end on SIGTERM, and --resume of the autosave in its folder. (Its
// pane on standard output is read by the crash drill.)
#include <gtest/gtest.h>

#include <QProcess>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "records/saved_game.h"
#include "tools/server/headless_ui.h"
#include "tests/server_process.h"
#include "tests/records_fixtures.h"

namespace zelbo {
namespace {

using testing::WaitUntil;

TEST(ServerProgram, RefusesBadOptionsPortsAndGamesAndEndsOnSigterm) {
  testing::TempDir dir;
  testing::App();
  testing::ServerProcess server({"--port", "0", "--dir", QString::fromStdString(dir.path)});
  const uint16_t port = server.Port("table open on port ");
  ASSERT_NE(port, 0) << server.out;
  testing::RawPeer peer(port);
  // A saved game with out-of-range fields ends the program before a table opens.
  const std::string loadDir = dir.path + "/load", bad = loadDir + "/bad.zelbo";
  std::filesystem::create_directory(loadDir);
  std::ofstream(bad, std::ios::binary) << std::string(9000, '\x7f');
  const struct { QStringList args; std::string message; } failures[] = {
      {{"--port", "0", "--dir", QString::fromStdString(loadDir), "--load", QString::fromStdString(bad)},
       "cannot load \"" + bad + "\""},
      {{"--port", QString::number(port)}, "cannot listen on port " + std::to_string(port) + " (socket error "},
      {{"--bogus"}, "unknown option --bogus"},
      {{"--port", "70000"}, "--port needs a number from 0 to 65535, not \"70000\""},
      {{"--seed", "12x"}, "--seed needs a number from 0 to 4294967295, not \"12x\""},
      {{"--port", "0", "--load", "/nonexistent/game.zelbo"},
       "cannot load \"/nonexistent/game.zelbo\": Cannot read \"/nonexistent/game.zelbo\""}};
  for (const auto& f : failures) {
    QProcess p;
    p.start(ZELBOWIN_SERVER, f.args);
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_NE(p.exitCode(), 0);
    const std::string err = p.readAllStandardError().toStdString();
    EXPECT_NE(err.find(f.message), std::string::npos) << err;
    EXPECT_FALSE(p.readAllStandardOutput().contains("table open")) << err;
  }
  EXPECT_FALSE(std::filesystem::exists(loadDir + "/temp.zelbo"));

  server.process.terminate();  // SIGTERM
  ASSERT_TRUE(server.process.waitForFinished(10000));
  EXPECT_TRUE(server.process.exitStatus() == QProcess::NormalExit && server.process.exitCode() == 0);
  EXPECT_TRUE(WaitUntil([&] { return peer.Ended(); }));  // the table goes
}

// A game of seed 5 stopped in its third deal, saved to `path`.
void SaveUnfinishedGame(const std::string& path) {
  testing::RecordingHost host;
  auto g = testing::PlayedGame(host, 5, [](const GameState& s) {
    return s.dealNumber >= 3 && s.phase == PhasePlaying;
  });
  std::string error;
  ASSERT_TRUE(SaveGame(path, *g, error)) << error;
}

// zelbowin-server with four robots resuming the autosave in `dir`.
QStringList Resuming(const std::string& dir) {
  return {"--port", "0", "--robots", "4", "--dir", QString::fromStdString(dir), "--resume"};
}

TEST(ServerProgram, ResumeContinuesAnUnfinishedAutosave) {
  testing::TempDir dir;
  SaveUnfinishedGame(dir.path + "/temp.zelbo");
  testing::ServerProcess s(Resuming(dir.path));
  EXPECT_TRUE(s.Shows("resuming the game in " + dir.path + "/temp.zelbo")) << s.out << s.err;
  EXPECT_TRUE(s.Shows("Game resumed")) << s.out;  // a new table would deal instead
}

TEST(ServerProgram, ResumeKeepsACorruptAutosaveAndSavesBesideIt) {
  testing::TempDir dir;
  const std::string spoilt = dir.path + "/temp.zelbo";
  std::ofstream(spoilt, std::ios::binary) << "not a game";
  {
    testing::ServerProcess s(Resuming(dir.path));
    EXPECT_TRUE(s.Shows("new table, autosaving to " + dir.path + "/temp-1.zelbo")) << s.out;
    EXPECT_NE(s.err.find("not resuming " + spoilt), std::string::npos) << s.err;
    // The robots play; the new table's autosave appears beside the old file.
    EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(dir.path + "/temp-1.zelbo"); }));
  }
  EXPECT_EQ(testing::ReadBytes(spoilt), std::vector<uint8_t>({'n', 'o', 't', ' ', 'a', ' ', 'g',
                                                              'a', 'm', 'e'}));
  // A second restart continues the new table's game.
  testing::ServerProcess again(Resuming(dir.path));
  EXPECT_TRUE(again.Shows("resuming the game in " + dir.path + "/temp-1.zelbo")) << again.out;
}

// At the end of a game the headless server writes the hand records into its
// folder and says where, or says why it could not.
TEST(ServerProgram, HandRecordsAtTheEndAreWrittenOrTheFailureIsSaid) {
  testing::TempDir dir;
  for (const std::string& folder : {dir.path, dir.path + "/missing"}) {
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    HeadlessUi ui(out);
    testing::FakeTransport transport;
    ServerTable table(transport, ui, ServerConfig{"Sam", folder, 3, false, false});
    ui.SetTable(&table);
    ui.GameOver(table.Game());
    std::rewind(out);
    char buffer[512] = "";
    const std::string line = std::fgets(buffer, sizeof buffer, out) ? buffer : "";
    std::fclose(out);
    if (folder == dir.path) {
      EXPECT_EQ(line, "Hand records written to " + ui.lastRecords() + "\n");
      EXPECT_EQ(ui.lastRecords().rfind(dir.path + "/handrecords-", 0), 0u) << ui.lastRecords();
      EXPECT_TRUE(std::filesystem::exists(ui.lastRecords()));
    } else {
      EXPECT_EQ(line.rfind("Hand records not written: ", 0), 0u) << line;
      EXPECT_NE(line.find(folder + "/handrecords-"), std::string::npos) << line;
    }
  }
}

}  // namespace
}  // namespace zelbo
