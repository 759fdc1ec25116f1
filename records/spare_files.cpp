#include "records/spare_files.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "records/file_io.h"

namespace zelbo {

namespace {

constexpr std::string_view FolderPrefix = ".zelbo-spares-";

std::string CannotWrite(const std::filesystem::path& path, int code) {
  std::string line = "Cannot write ";
  line += QuotedPath(path);
  line += ": ";
  line += std::error_code(code ? code : EIO, std::generic_category()).message();
  return line;
}

// Removes the spare folders in `parent` that no living process holds.
void RemoveAbandonedFolders(const std::filesystem::path& parent) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(parent, ec)) {
    if (entry.path().filename().string().rfind(FolderPrefix, 0) != 0 || !entry.is_directory(ec)) continue;
    const int fd = ::open(entry.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) std::filesystem::remove_all(entry.path(), ec);
    ::close(fd);
  }
}

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
  std::size_t at = 0;
  while (at < bytes.size()) {
    const ssize_t n = ::pwrite(fd, bytes.data() + at, bytes.size() - at, static_cast<off_t>(at));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

SpareFiles::SpareFiles(const std::filesystem::path& parent) {
  RemoveAbandonedFolders(parent);
  std::string pattern = (parent / FolderPrefix).string();
  pattern += "XXXXXX";
  if (!::mkdtemp(pattern.data())) return;
  folder_ = pattern;
  folderFd_ = ::open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  // Locked for as long as it is used, so no other process takes it for
  // abandoned.
  if (folderFd_ >= 0 && ::flock(folderFd_, LOCK_EX) != 0) {
    ::close(folderFd_);
    folderFd_ = -1;
  }
  struct stat st {};
  if (folderFd_ >= 0 && ::fstat(folderFd_, &st) == 0) device_ = st.st_dev;
  if (folderFd_ >= 0 && device_ == 0) {
    ::close(folderFd_);
    folderFd_ = -1;
  }
  if (folderFd_ < 0) {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
}

SpareFiles::~SpareFiles() {
  if (folderFd_ < 0) return;
  std::error_code ec;
  std::filesystem::remove_all(folder_, ec);
  ::close(folderFd_);
}

bool SpareFiles::Takes(const std::filesystem::path& target) {
  if (!Usable()) return false;
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  std::string key = folder.string();
  if (sameDevice_.count(key)) return true;
  // Only a folder found on the spares' file system is remembered; any
  // other (or one not there yet) is looked at again next time.
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0 || st.st_dev != device_) return false;
  sameDevice_.insert(std::move(key));
  return true;
}

void SpareFiles::Forget(const std::filesystem::path& target) {
  const auto it = spares_.find(target.string());
  if (it == spares_.end()) return;
  ::unlink(it->second.c_str());
  spares_.erase(it);
}

bool SpareFiles::Fill(const std::filesystem::path& target, std::span<const uint8_t> bytes, bool sync,
                      std::filesystem::path& spare, std::string& error) {
  if (target.filename().empty()) {
    error = "Cannot write " + QuotedPath(target) + ": no file name";
    return false;
  }
  int fd = -1;
  if (const auto it = spares_.find(target.string()); it != spares_.end()) {
    spare = it->second;
    fd = ::open(spare.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    // Never written into: a spare that went, or one another name links to
    // (a copy someone made of the file by a hard link).
    struct stat st {};
    if (fd >= 0 && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1)) {
      ::close(fd);
      fd = -1;
    }
    if (fd < 0) Forget(target);
  }
  if (fd < 0) {
    spare = folder_ / std::to_string(nextName_++);
    fd = ::open(spare.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      error = CannotWrite(target, errno);
      return false;
    }
    spares_[target.string()] = spare;
  }
  errno = 0;
  const bool ok = WriteAll(fd, bytes) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 &&
                  (!sync || ::fdatasync(fd) == 0);
  const int code = errno;
  if (::close(fd) != 0 && ok) {
    error = CannotWrite(target, errno);
    Forget(target);
    return false;
  }
  if (!ok) {
    error = CannotWrite(target, code);
    Forget(target);
  }
  return ok;
}

bool SpareFiles::Swap(const std::filesystem::path& spare, const std::filesystem::path& target, std::string& error) {
  if (exchanges_ && ::renameat2(AT_FDCWD, spare.c_str(), AT_FDCWD, target.c_str(), RENAME_EXCHANGE) == 0)
    return true;
  const int code = errno;
  // A file system without the exchange (or another one than the spares')
  // gets new files from now on; this one is renamed as usual.
  if (code == EINVAL || code == ENOSYS || code == EOPNOTSUPP || code == EXDEV) exchanges_ = false;
  if (::rename(spare.c_str(), target.c_str()) == 0) {
    spares_.erase(target.string());  // the spare is the file now
    return true;
  }
  error = CannotWrite(target, errno);
  Forget(target);
  return false;
}

}  // namespace zelbo
