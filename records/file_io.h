// Whole-file reads and writes for the records: a file is either replaced
// completely or not at all, and a read never takes more than the caller can
// use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace zelbo {

// How far a written file is guarded.
enum class FileDurability {
  // A crash of the program leaves the old file or the new one.
  Atomic,
  // Also a crash of the operating system or a power cut: the new file's
  // data reach the disk before the rename, and the rename itself is synced
  // (two waits for the disk).
  Durable,
};

// Writes `bytes` to a new file beside `path` and renames it over `path`, so
// that a crash, a full disk or a failing write leaves either the old file or
// the new one, never a mixture. On failure the temporary file is removed,
// `error` says what went wrong (naming `path`) and false is returned.
bool WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                         std::string& error, FileDurability durability = FileDurability::Atomic);

// The same in steps, so that a writer replacing many files can share the
// waits for the disk between them: WriteTemporary creates a new file beside
// `path` holding `bytes` (synced to the disk when `sync`); ReplaceWith
// renames it over `path`; SyncFolder makes renames into a folder survive a
// crash of the system. A step that fails removes the temporary file, names
// `path` in `error` and returns false.
bool WriteTemporary(const std::filesystem::path& path, std::span<const uint8_t> bytes, bool sync,
                    std::filesystem::path& tempPath, std::string& error);
bool ReplaceWith(const std::filesystem::path& tempPath, const std::filesystem::path& path,
                 std::string& error);
// The folder that holds `path` ("." for a bare name); EINVAL from a file
// system that cannot sync a folder is no failure.
bool SyncFolderOf(const std::filesystem::path& path, std::string& error);
// The file system that holds the folder of `path`, as its device number;
// 0 when it cannot be told.
uint64_t FileSystemOf(const std::filesystem::path& path);
// Syncs that whole file system: the bytes of every file on it and every
// rename. One call stands for the syncs of many files and folders at once.
bool SyncFileSystemOf(const std::filesystem::path& path, std::string& error);

// Reads the whole file into `bytes`. A file longer than `maxBytes` is not
// read further: `bytes` then holds maxBytes + 1 bytes, so the caller can tell
// it is too long without the whole of it being loaded. On failure `error`
// names the file and false is returned.
bool ReadFileLimited(const std::filesystem::path& path, std::size_t maxBytes,
                     std::vector<uint8_t>& bytes, std::string& error);

// "\"<path>\"" for messages.
std::string QuotedPath(const std::filesystem::path& path);

}  // namespace zelbo
