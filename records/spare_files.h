// SpareFiles: a writer that replaces the same files again and again keeps,
// for each file, the inode of its previous state under a name of its own in
// one folder, writes the next state into that inode and then exchanges the
// two names in one step. The file is replaced whole as by WriteTemporary and
// ReplaceWith, but no inode is created or deleted once each file has its
// spare. That matters on file systems that, whenever they create an inode,
// skip over every inode deleted in the last half minute (ext4 without a
// journal does): there a fresh inode for every write costs more the more
// files are written a second, and a server of many tables spends its CPU on
// it.
//
// Only for files no other program writes and none reads while they are
// written many times over: a reader that holds the file open past two
// further replacements may see the spare being refilled. Not thread-safe:
// one writer thread uses it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include <sys/types.h>

namespace zelbo {

class SpareFiles {
 public:
  // The spares lie in a new folder made inside `parent` (on the same file
  // system as the files replaced). Folders of this kind left by a program
  // that ended without removing its own are removed first; one still in use
  // by another process is left alone.
  explicit SpareFiles(const std::filesystem::path& parent);
  // Removes the folder with the spares.
  ~SpareFiles();
  SpareFiles(const SpareFiles&) = delete;
  SpareFiles& operator=(const SpareFiles&) = delete;

  // False when the folder could not be made or the file system cannot
  // exchange two names: the caller then writes a new file each time.
  bool Usable() const { return folderFd_ >= 0 && exchanges_; }
  const std::filesystem::path& Folder() const { return folder_; }
  // Whether `target` can be written through a spare: the spares are usable
  // and its folder is on their file system.
  bool Takes(const std::filesystem::path& target);

  // Writes `bytes` into the spare of `target` (made when it has none yet),
  // synced to the disk when `sync`; its path comes back in `spare`. On
  // failure the spare is removed, `error` names `target` and false is
  // returned, as by WriteTemporary.
  bool Fill(const std::filesystem::path& target, std::span<const uint8_t> bytes, bool sync,
            std::filesystem::path& spare, std::string& error);
  // Puts the filled spare in place of `target`; what `target` held becomes
  // its next spare. A target not there yet simply takes the spare. On
  // failure the spare is removed and false is returned with `error`, as by
  // ReplaceWith.
  bool Swap(const std::filesystem::path& spare, const std::filesystem::path& target, std::string& error);

 private:
  void Forget(const std::filesystem::path& target);

  std::filesystem::path folder_;
  int folderFd_ = -1;  // held locked while the folder is in use
  bool exchanges_ = true;
  dev_t device_ = 0;    // the file system of the folder
  std::unordered_map<std::string, std::filesystem::path> spares_;  // target -> its spare
  std::unordered_set<std::string> sameDevice_;  // folders of targets found on that file system
  uint64_t nextName_ = 0;
};

}  // namespace zelbo
