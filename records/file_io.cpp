#include "records/file_io.h"

#include <cerrno>
#include <cstdio>
#include <random>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zelbo {

namespace {

std::string ErrnoText(int code) { return std::error_code(code, std::generic_category()).message(); }

// Closes on scope exit unless released.
struct FileCloser {
  std::FILE* file = nullptr;
  ~FileCloser() {
    if (file) std::fclose(file);
  }
};

// Creates a new temporary file in the folder of `target`; never reuses an
// existing name, so two writers of the same target do not share a file.
std::FILE* CreateTemporary(const std::filesystem::path& target, std::filesystem::path& tempPath,
                           int& errorCode) {
  std::random_device device;
  std::string base = ".";
  base += target.filename().string();
  base += '.';
  errorCode = 0;
  for (int attempt = 0; attempt < 16; ++attempt) {
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "%08x.tmp", static_cast<unsigned>(device()));
    tempPath = target.parent_path() / (base + suffix);
    errno = 0;
    // "x": fail rather than open a file that already exists.
    if (std::FILE* f = std::fopen(tempPath.string().c_str(), "wbx")) return f;
    errorCode = errno;
    if (errorCode != EEXIST) return nullptr;
  }
  return nullptr;
}

// Syncs the folder that holds `path`; 0 or the errno.
std::filesystem::path FolderOf(const std::filesystem::path& path) {
  std::filesystem::path folder = path.parent_path();
  return folder.empty() ? "." : folder;
}

int SyncFolderCode(const std::filesystem::path& path) {
  const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return errno;
  const int result = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
  ::close(fd);
  return result;
}

std::string CannotWrite(const std::filesystem::path& path) { return "Cannot write " + QuotedPath(path) + ": "; }

}  // namespace

std::string QuotedPath(const std::filesystem::path& path) {
  std::string quoted = "\"";
  quoted += path.string();
  quoted += '"';
  return quoted;
}

bool WriteTemporary(const std::filesystem::path& path, std::span<const uint8_t> bytes, bool sync,
                    std::filesystem::path& tempPath, std::string& error) {
  const std::string prefix = CannotWrite(path);
  if (path.filename().empty()) {
    error = prefix + "no file name";
    return false;
  }
  int code = 0;
  FileCloser out;
  out.file = CreateTemporary(path, tempPath, code);
  if (!out.file) {
    error = prefix + ErrnoText(code ? code : EIO);
    return false;
  }
  auto fail = [&](int why) {
    if (out.file) std::fclose(out.file);
    out.file = nullptr;
    std::error_code ignored;
    std::filesystem::remove(tempPath, ignored);
    error = prefix + ErrnoText(why ? why : EIO);
    return false;
  };
  errno = 0;
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), out.file) != bytes.size())
    return fail(errno);
  if (std::fflush(out.file) != 0) return fail(errno);
  if (sync && ::fdatasync(fileno(out.file)) != 0) return fail(errno);
  std::FILE* f = out.file;
  out.file = nullptr;
  errno = 0;
  if (std::fclose(f) != 0) return fail(errno);
  return true;
}

bool ReplaceWith(const std::filesystem::path& tempPath, const std::filesystem::path& path,
                 std::string& error) {
  std::error_code ec;
  std::filesystem::rename(tempPath, path, ec);
  if (!ec) return true;
  std::error_code ignored;
  std::filesystem::remove(tempPath, ignored);
  error = CannotWrite(path) + ec.message();
  return false;
}

bool SyncFolderOf(const std::filesystem::path& path, std::string& error) {
  // The new file is in place either way; the caller learns that it may
  // not outlive a system crash.
  if (const int code = SyncFolderCode(path)) {
    error = CannotWrite(path) + "the folder could not be synced: " + ErrnoText(code);
    return false;
  }
  return true;
}

uint64_t FileSystemOf(const std::filesystem::path& path) {
  struct stat st {};
  return ::stat(FolderOf(path).c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_dev) : 0;
}

bool SyncFileSystemOf(const std::filesystem::path& path, std::string& error) {
  const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const int code = fd < 0 ? errno : ::syncfs(fd) == 0 ? 0 : errno;
  if (fd >= 0) ::close(fd);
  if (code == 0) return true;
  error = CannotWrite(path) + "the disk could not be synced: " + ErrnoText(code);
  return false;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::span<const uint8_t> bytes,
                         std::string& error, FileDurability durability) {
  const bool durable = durability == FileDurability::Durable;
  std::filesystem::path tempPath;
  return WriteTemporary(path, bytes, durable, tempPath, error) && ReplaceWith(tempPath, path, error) &&
         (!durable || SyncFolderOf(path, error));
}

bool ReadFileLimited(const std::filesystem::path& path, std::size_t maxBytes,
                     std::vector<uint8_t>& bytes, std::string& error) {
  const std::string prefix = "Cannot read " + QuotedPath(path) + ": ";
  bytes.clear();
  // Only plain files: a folder fails to read, and a pipe or a device could
  // block the program or never end.
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (std::filesystem::is_directory(status)) {
    error = prefix + "it is a folder";
    return false;
  }
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    error = prefix + "not a plain file";
    return false;
  }
  errno = 0;
  FileCloser in;
  in.file = std::fopen(path.string().c_str(), "rb");
  if (!in.file) {
    error = prefix + ErrnoText(errno ? errno : ENOENT);
    return false;
  }
  bytes.resize(maxBytes + 1);
  std::size_t got = 0;
  while (got < bytes.size()) {
    const std::size_t n = std::fread(bytes.data() + got, 1, bytes.size() - got, in.file);
    if (n == 0) break;
    got += n;
  }
  if (std::ferror(in.file)) {
    const int err = errno;
    bytes.clear();
    error = prefix + ErrnoText(err ? err : EIO);
    return false;
  }
  bytes.resize(got);
  return true;
}

}  // namespace zelbo
