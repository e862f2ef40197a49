#include "params/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace {

// Owns a file descriptor; closing it is checked by the caller where it matters.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  FileDescriptor(FileDescriptor&&) = delete;
  FileDescriptor& operator=(FileDescriptor&&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now and reports whether the last buffered write reached the file.
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_ = -1;
};

bool writeAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// A symbolic link is followed, so a configuration kept elsewhere stays where it is.
std::filesystem::path resolvedTarget(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_symlink(file, error)) return file;
  std::filesystem::path target = std::filesystem::canonical(file, error);
  return error ? file : target;
}

// Creates a fresh file next to `target`; the creation mode is subject to the
// umask like any new file.
int createTemporaryBeside(const std::filesystem::path& target, std::filesystem::path& temporary) {
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  const std::string stem = "." + target.filename().string() + ".tmp" + std::to_string(::getpid()) + "-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = folder / (stem + std::to_string(attempt));
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

void syncFolderOf(const std::filesystem::path& target) {
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  // Best effort: the rename has already happened, the new contents are in place.
  if (fd.valid()) ::fsync(fd.get());
}

// Truncates and writes `target` itself: used only where no temporary file can
// be made beside it, so an interrupted save there can leave it cut short.
bool writeInPlace(const std::filesystem::path& target, std::string_view content) {
  FileDescriptor fd(::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
  if (!fd.valid()) return false;
  const bool written = writeAll(fd.get(), content) && ::fsync(fd.get()) == 0;
  const bool closed = fd.close();
  return written && closed;
}

// The replacement takes over the old file's owner, group and permission
// bits, as far as this process may set them.
void keepOwnerAndMode(int fd, const struct stat& existing) {
  // Owner first: a change of owner may clear the set-id bits the mode restores.
  if (::fchown(fd, existing.st_uid, existing.st_gid) != 0)
    (void)::fchown(fd, static_cast<uid_t>(-1), existing.st_gid);
  (void)::fchmod(fd, existing.st_mode & 07777);
}

}  // namespace

bool replaceFileContents(const std::filesystem::path& file, std::string_view content) {
  const std::filesystem::path target = resolvedTarget(file);
  struct stat existing {};
  const bool existingFile = ::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
  // A file this user may not write is not theirs to replace, even where the
  // folder would let a rename do it.
  if (existingFile && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return false;

  std::filesystem::path temporary;
  FileDescriptor fd(createTemporaryBeside(target, temporary));
  if (!fd.valid()) {
    // A folder the user may not write to, holding a file they may write.
    const bool folderRefused = errno == EACCES || errno == EPERM;
    return folderRefused && existingFile && writeInPlace(target, content);
  }
  if (existingFile) keepOwnerAndMode(fd.get(), existing);

  const bool written = writeAll(fd.get(), content) && ::fsync(fd.get()) == 0;
  const bool closed = fd.close();
  if (!written || !closed || ::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  syncFolderOf(target);
  return true;
}
