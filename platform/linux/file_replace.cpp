#include "platform/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <system_error>

namespace sayolt {

namespace {

std::string displayName(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

[[noreturn]] void fail(int error, const std::string& what, const std::filesystem::path& path) {
  throw std::system_error(error, std::generic_category(), what + " " + displayName(path));
}

// Closes the descriptor and removes the temporary file unless the replacement went through.
class TempFile {
 public:
  TempFile(std::filesystem::path path, int fd) : path_(std::move(path)), fd_(fd) {}
  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_) ::unlink(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  int fd() const { return fd_; }
  const std::filesystem::path& path() const { return path_; }
  int close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
  }
  void commit() { committed_ = true; }

 private:
  std::filesystem::path path_;
  int fd_;
  bool committed_ = false;
};

// No temporary file may be made beside the target (a folder the user may not write to).
struct NoTempFile {
  int error;
};

// Only a folder closed to the user is worked around; a full disk, a read-only file system or an
// I/O error is told, and the file is left alone.
bool folderRefusesUs(int error) { return error == EACCES || error == EPERM; }

// Hidden, and unique per process and call, so concurrent writers never share a temporary file.
TempFile createTempFile(const std::filesystem::path& target) {
  static std::atomic<unsigned> counter{0};
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    // Appended piece by piece: GCC 12 at -O3 takes the chain of + for an overlapping copy.
    std::string name = ".";
    name += target.filename().string();
    name += '.';
    name += std::to_string(::getpid());
    name += '.';
    name += std::to_string(counter.fetch_add(1));
    name += ".tmp";
    std::filesystem::path path = folder / name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return TempFile(std::move(path), fd);
    if (folderRefusesUs(errno)) throw NoTempFile{errno};
    if (errno != EEXIST) fail(errno, "cannot create a temporary file beside", target);
  }
  fail(EEXIST, "cannot create a temporary file beside", target);
}

void writeAll(int fd, std::string_view bytes, const std::filesystem::path& target) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      fail(errno, "cannot write", target);
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
}

void syncFolder(const std::filesystem::path& target) {
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  // The rename has happened; a folder that cannot be synced (some file systems refuse) does not
  // undo it, so this is best effort.
  ::fsync(fd);
  ::close(fd);
}

// The file a symbolic link points to, so that the link survives the rename.
std::filesystem::path followLinks(const std::filesystem::path& target) {
  std::error_code error;
  if (!std::filesystem::is_symlink(target, error)) return target;
  const auto real = std::filesystem::canonical(target, error);
  if (!error) return real;
  // A dangling link: the file it names is created.
  const auto link = std::filesystem::read_symlink(target, error);
  if (error) return target;
  return link.is_absolute() ? link : target.parent_path() / link;
}

// A file without any write permission is read-only, as a file with the read-only attribute is on
// Windows, whose profile functions refuse to write it; root included, who may write anything here.
void refuseReadOnly(const std::filesystem::path& target) {
  struct stat existing {};
  if (::stat(target.c_str(), &existing) != 0) return;
  if ((existing.st_mode & 0222) == 0) fail(EACCES, "read-only file:", target);
  if (::access(target.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS)) fail(errno, "cannot write", target);
}

std::string readAllAt(int fd) {
  std::string bytes;
  char buffer[8192];
  for (off_t offset = 0;;) {
    const ssize_t got = ::pread(fd, buffer, sizeof buffer, offset);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return bytes;
    bytes.append(buffer, static_cast<size_t>(got));
    offset += got;
  }
}

void rewriteInPlace(const std::filesystem::path& target, std::string_view bytes) {
  const int fd = ::open(target.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) fail(errno, "cannot write", target);
  struct Close {
    int fd;
    ~Close() { ::close(fd); }
  } closer{fd};
  const std::string old = readAllAt(fd);
  // Room for the longer content first, so that a full disk stops us before any old byte changes.
  if (bytes.size() > old.size() && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) != 0 &&
      errno != EOPNOTSUPP)
    fail(errno, "cannot write", target);
  try {
    writeAll(fd, bytes, target);
    if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) fail(errno, "cannot write", target);
    if (::fsync(fd) != 0) fail(errno, "cannot flush", target);
  } catch (const std::system_error&) {
    // Best effort: put the old content back where the new one was cut short.
    ::lseek(fd, 0, SEEK_SET);
    try {
      writeAll(fd, old, target);
      if (::ftruncate(fd, static_cast<off_t>(old.size())) == 0) ::fsync(fd);
    } catch (const std::system_error&) {
    }
    throw;
  }
}

void replaceThroughTempFile(const std::filesystem::path& target, std::string_view bytes) {
  TempFile temp = createTempFile(target);
  // Keep the permissions of the file being replaced; a new file gets 0666 less the umask.
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0) ::fchmod(temp.fd(), existing.st_mode & 07777);
  writeAll(temp.fd(), bytes, target);
  if (::fsync(temp.fd()) != 0) fail(errno, "cannot flush", target);
  if (temp.close() != 0) fail(errno, "cannot write", target);
  if (::rename(temp.path().c_str(), target.c_str()) != 0) fail(errno, "cannot replace", target);
  temp.commit();
  syncFolder(target);
}

}  // namespace

FileReplacement replaceFileAtomically(const std::filesystem::path& link, std::string_view bytes) {
  const std::filesystem::path target = followLinks(link);
  refuseReadOnly(target);
  try {
    replaceThroughTempFile(target, bytes);
    return FileReplacement::Atomic;
  } catch (const NoTempFile&) {
    rewriteInPlace(target, bytes);
    return FileReplacement::InPlace;
  }
}

}  // namespace sayolt
