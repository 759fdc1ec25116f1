// The writer thread: a newer state replaces the waiting one and nothing
// goes back to an older state; a failed write is told and leaves the last
// complete file in place.
#include "records/disk_writer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <fstream>
#include <map>
#include <set>

#include <sys/stat.h>

#include "tests/records_fixtures.h"

namespace zelbo::testing {
namespace {

std::vector<uint8_t> Version(int v) { return std::vector<uint8_t>(static_cast<std::size_t>(v % 7 + 1), static_cast<uint8_t>(v)); }

TEST(DiskWriterTest, OnlyTheNewestWaitingStateIsWrittenAndNoKeyGoesBack) {
  ScratchFolder dir;
  DiskWriter writer(nullptr);  // outcomes are delivered by Drain
  std::promise<void> open, held;
  std::shared_future<void> gate = open.get_future().share();
  writer.Submit("gate", [gate, &held](std::string&) { held.set_value(); gate.wait(); return true; }, nullptr);
  held.get_future().wait();  // the thread is inside the gate before any state comes
  // While the thread is held, 50 states of one file wait: one is written.
  // Its bytes are made once, for the state written.
  std::vector<int> told;
  std::atomic<int> made = 0;
  for (int v = 1; v <= 50; ++v)
    writer.ReplaceMade(dir / "a", [&made, v](std::vector<uint8_t>& bytes, std::string&) {
                         ++made;
                         bytes = Version(v);
                         return true;
                       }, FileDurability::Durable,
                       [&told, v](bool ok, const std::string& error) { EXPECT_TRUE(ok) << error; told.push_back(v); });
  open.set_value();
  writer.Drain();
  EXPECT_EQ(told, std::vector<int>{50});
  EXPECT_EQ(made, 1);
  EXPECT_EQ(ReadBytes(dir / "a"), Version(50));
  EXPECT_EQ(writer.Stats().replaced, 49);

  // Hand-overs racing the thread, with flushes between: every key's runs
  // only ever go forward, and each ends with its newest state.
  std::map<std::string, std::vector<int>> runs;  // touched by the thread only until Drain
  for (int v = 1; v <= 3000; ++v) {
    const std::string key = std::string("k").append(std::to_string(v % 5));
    writer.Submit(key, [&runs, key, v](std::string&) { runs[key].push_back(v); return true; }, nullptr);
    writer.Replace(dir / std::string("f").append(std::to_string(v % 3)), Version(v), FileDurability::Atomic, nullptr);
    if (v % 700 == 0) writer.Flush();
  }
  writer.Drain();
  for (const auto& [key, seen] : runs) {
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()) &&
                std::adjacent_find(seen.begin(), seen.end()) == seen.end()) << key;
    EXPECT_EQ(seen.back(), 3000 - (3000 - (key[1] - '0')) % 5) << key;
  }
  for (int f = 0; f < 3; ++f) EXPECT_EQ(ReadBytes(dir / std::string("f").append(std::to_string(f))), Version(3000 - (3000 - f) % 3));
}

// With spares as without.
TEST(DiskWriterTest, AFailedWriteIsToldAndTheLastCompleteFileStays) {
  for (bool spares : {false, true}) {
    ScratchFolder dir;
    const auto folder = dir / "table", away = dir / "away";
    std::filesystem::create_directories(folder);
    DiskWriter writer(nullptr, spares ? dir.path : std::filesystem::path());
    std::vector<std::string> errors;
    auto done = [&](bool ok, const std::string& error) { errors.push_back(ok ? "" : error); };
    writer.Replace(folder / "temp.zelbo", Version(1), FileDurability::Durable, done);
    writer.Drain();
    // The folder goes (as a disk that is gone or refuses writes would).
    std::filesystem::rename(folder, away);
    writer.Replace(folder / "temp.zelbo", Version(2), FileDurability::Durable, done);
    writer.Drain();
    std::filesystem::rename(away, folder);
    EXPECT_EQ(ReadBytes(folder / "temp.zelbo"), Version(1));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);  // no temporary left
    writer.Replace(folder / "temp.zelbo", Version(3), FileDurability::Durable, done);
    writer.Drain();
    // Bytes that cannot be made leave the file as it was.
    writer.ReplaceMade(folder / "temp.zelbo", [](std::vector<uint8_t>&, std::string& error) {
      error = "not in a state that can be saved";
      return false;
    }, FileDurability::Durable, done);
    writer.Drain();
    ASSERT_EQ(errors.size(), 4u);
    EXPECT_EQ(errors[0], "");
    EXPECT_NE(errors[1].find("temp.zelbo"), std::string::npos) << errors[1];
    EXPECT_EQ(errors[2], "");
    EXPECT_EQ(errors[3], "not in a state that can be saved");
    EXPECT_EQ(ReadBytes(folder / "temp.zelbo"), Version(3));
    EXPECT_EQ(writer.Stats().failures, 2);
  }
}

// Many tables' autosaves in one batch cost two syncs of the file system,
// not two per table.
TEST(DiskWriterTest, ABatchOfManyDurableFilesSyncsTheFileSystemTwice) {
  ScratchFolder dir;
  DiskWriter writer(nullptr, dir.path);
  std::promise<void> open, held;
  std::shared_future<void> gate = open.get_future().share();
  writer.Submit("gate", [gate, &held](std::string&) { held.set_value(); gate.wait(); return true; }, nullptr);
  held.get_future().wait();
  const long before = writer.Stats().syncs;
  for (int t = 0; t < 10; ++t) {
    std::filesystem::create_directories(dir / std::to_string(t));
    writer.Replace(dir / std::to_string(t) / "temp.zelbo", Version(t), FileDurability::Durable, nullptr);
    writer.Replace(dir / std::to_string(t) / "0undo.zelbo", Version(t + 1), FileDurability::Atomic, nullptr);
  }
  open.set_value();
  writer.Drain();
  EXPECT_EQ(writer.Stats().syncs - before, 2);
  EXPECT_EQ(writer.Stats().failures, 0);
  for (int t = 0; t < 10; ++t) {
    EXPECT_EQ(ReadBytes(dir / std::to_string(t) / "temp.zelbo"), Version(t));
    EXPECT_EQ(ReadBytes(dir / std::to_string(t) / "0undo.zelbo"), Version(t + 1));
  }
}

ino_t InodeOf(const std::filesystem::path& p) {
  struct stat st {};
  return ::stat(p.c_str(), &st) == 0 ? st.st_ino : 0;
}

// With spares, files written again take turns between two inodes; the
// folder of the files holds nothing else, a hard-linked copy of a file is
// never written into, and the spares go with the writer (abandoned ones of
// an earlier run when the next one starts).
TEST(DiskWriterTest, SparesReplaceFilesWithoutNewInodes) {
  ScratchFolder dir;
  const auto folder = dir / "table", abandoned = dir / ".zelbo-spares-old";
  std::filesystem::create_directories(folder);
  std::filesystem::create_directories(abandoned);
  std::ofstream(abandoned / "0") << "x";
  {
    DiskWriter writer(nullptr, dir.path);
    EXPECT_FALSE(std::filesystem::exists(abandoned));
    std::set<ino_t> inodes;
    for (int v = 1; v <= 6; ++v) {
      writer.Replace(folder / "temp.zelbo", Version(v), FileDurability::Durable, nullptr);
      writer.Replace(folder / "0undo.zelbo", Version(v + 3), FileDurability::Atomic, nullptr);
      writer.Drain();
      EXPECT_EQ(ReadBytes(folder / "temp.zelbo"), Version(v));
      EXPECT_EQ(ReadBytes(folder / "0undo.zelbo"), Version(v + 3));
      inodes.insert(InodeOf(folder / "temp.zelbo"));
    }
    EXPECT_EQ(inodes.size(), 2u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 2);
    std::filesystem::create_hard_link(folder / "temp.zelbo", dir / "copy");
    for (int v = 7; v <= 9; ++v) writer.Replace(folder / "temp.zelbo", Version(v), FileDurability::Durable, nullptr);
    writer.Drain();
    writer.Replace(folder / "temp.zelbo", Version(10), FileDurability::Durable, nullptr);
    writer.Drain();
    EXPECT_EQ(ReadBytes(dir / "copy"), Version(6));
    EXPECT_EQ(ReadBytes(folder / "temp.zelbo"), Version(10));
    EXPECT_EQ(writer.Stats().failures, 0);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 2);  // "table" and "copy"
}

}  // namespace
}  // namespace zelbo::testing
