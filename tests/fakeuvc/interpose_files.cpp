// Files: open, close, stat and access of the node, and its entry in the
// listing of its directory. Every other path goes to the C library unchanged.
#undef _FORTIFY_SOURCE

#include <dirent.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device.h"
#include "fd_table.h"
#include "interpose.h"
#include "node_path.h"
#include "settings.h"

namespace {

using namespace fakeuvc;

int openNode(int flags) {
  return failingWithErrno([flags] {
    int error = 0;
    std::shared_ptr<OpenFile> file = Device::instance().open(flags, error);
    if (!file) {
      errno = error;
      return -1;
    }
    fd_table::add(file->fd, file);
    return file->fd;
  });
}

// A memory file holding one of the node's sysfs texts, read from its start.
int openSysfs(const std::string& text) {
  const int fd = ::memfd_create("sysfs", MFD_CLOEXEC);
  if (fd < 0) return -1;
  if (::pwrite(fd, text.data(), text.size(), 0) != static_cast<ssize_t>(text.size())) {
    const int error = errno;
    libc::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

FILE* openSysfsStream(const std::string& text) {
  const int fd = openSysfs(text);
  if (fd < 0) return nullptr;
  FILE* stream = ::fdopen(fd, "r");
  if (stream == nullptr) libc::close(fd);
  return stream;
}

mode_t modeArgument(int flags, va_list arguments) {
  // Only these flags pass a mode; reading one otherwise would read garbage.
  if ((flags & O_CREAT) == 0 && (flags & O_TMPFILE) != O_TMPFILE) return 0;
  return static_cast<mode_t>(va_arg(arguments, int));
}

int statNode(struct stat* out) {
  if (!node::present()) {
    errno = ENOENT;
    return -1;
  }
  if (out == nullptr) {
    errno = EFAULT;
    return -1;
  }
  node::describe(*out);
  return 0;
}

int statxNode(struct statx* out) {
  if (!node::present()) {
    errno = ENOENT;
    return -1;
  }
  if (out == nullptr) {
    errno = EFAULT;
    return -1;
  }
  node::describe(*out);
  return 0;
}

int accessNode(int mode) {
  if (!node::present()) {
    errno = ENOENT;
    return -1;
  }
  // crw-rw----: never executable; readable and writable unless the fault
  // says the user may not open it.
  if ((mode & X_OK) != 0 || ((mode & (R_OK | W_OK)) != 0 && settings().openFailsWithEacces)) {
    errno = EACCES;
    return -1;
  }
  return 0;
}

bool isEmpty(const char* path) {
  return path != nullptr && *path == '\0';
}

// A listing of the node's directory, to which the node is added at the end.
struct Listing {
  DIR* directory;
  bool nodeListed = false;
  dirent64 entry{};
};

static_assert(sizeof(dirent) == sizeof(dirent64) && offsetof(dirent, d_name) == offsetof(dirent64, d_name),
              "readdir and readdir64 share one entry layout on this platform");

std::mutex listingMutex;
std::atomic<int> listingCount{0};

std::vector<std::unique_ptr<Listing>>& listings() {
  static auto* open = new std::vector<std::unique_ptr<Listing>>();
  return *open;
}

void watchListing(DIR* directory) {
  if (directory == nullptr) return;
  struct stat status {};
  if (libc::fstatat(::dirfd(directory), "", &status, AT_EMPTY_PATH) != 0 || !node::isNodeDirectory(status))
    return;
  try {
    const std::lock_guard lock(listingMutex);
    listings().push_back(std::make_unique<Listing>(Listing{directory}));
    listingCount.fetch_add(1, std::memory_order_release);
  } catch (const std::bad_alloc&) {
    // The listing goes on without the node.
  }
}

Listing* findListing(DIR* directory) {
  for (const auto& listing : listings())
    if (listing->directory == directory) return listing.get();
  return nullptr;
}

// What readdir returns for `directory`, given what the C library returned.
dirent64* listed(DIR* directory, dirent64* entry) {
  if (listingCount.load(std::memory_order_acquire) == 0) return entry;
  const std::lock_guard lock(listingMutex);
  Listing* listing = findListing(directory);
  if (listing == nullptr) return entry;
  if (entry != nullptr) {
    // A real file of the same name is not listed twice.
    if (node::fileName() == entry->d_name) listing->nodeListed = true;
    return entry;
  }
  if (listing->nodeListed || !node::present()) return nullptr;
  listing->nodeListed = true;
  struct stat status {};
  node::describe(status);
  dirent64& fake = listing->entry;
  fake = dirent64{};
  fake.d_ino = status.st_ino;
  fake.d_off = LONG_MAX;
  fake.d_reclen = sizeof fake;
  fake.d_type = DT_CHR;
  std::strncpy(fake.d_name, node::fileName().c_str(), sizeof fake.d_name - 1);
  return &fake;
}

void forgetListing(DIR* directory) {
  if (listingCount.load(std::memory_order_acquire) == 0) return;
  const std::lock_guard lock(listingMutex);
  auto& open = listings();
  const auto it = std::find_if(open.begin(), open.end(),
                               [directory](const auto& l) { return l->directory == directory; });
  if (it == open.end()) return;
  open.erase(it);
  listingCount.fetch_sub(1, std::memory_order_release);
}

void restartListing(DIR* directory) {
  if (listingCount.load(std::memory_order_acquire) == 0) return;
  const std::lock_guard lock(listingMutex);
  if (Listing* listing = findListing(directory)) listing->nodeListed = false;
}

}  // namespace

// --- open and close ---------------------------------------------------------

FAKEUVC_EXPORT int open(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = modeArgument(flags, arguments);
  va_end(arguments);
  if (node::named(AT_FDCWD, path)) return openNode(flags);
  if (const std::string* text = node::sysfsText(path)) return openSysfs(*text);
  return FAKEUVC_NEXT(open)(path, flags, mode);
}

FAKEUVC_EXPORT int open64(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = modeArgument(flags, arguments);
  va_end(arguments);
  if (node::named(AT_FDCWD, path)) return openNode(flags);
  if (const std::string* text = node::sysfsText(path)) return openSysfs(*text);
  return FAKEUVC_NEXT(open64)(path, flags, mode);
}

FAKEUVC_EXPORT int openat(int dirfd, const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = modeArgument(flags, arguments);
  va_end(arguments);
  if (node::named(dirfd, path)) return openNode(flags);
  if (const std::string* text = node::sysfsText(path)) return openSysfs(*text);
  return FAKEUVC_NEXT(openat)(dirfd, path, flags, mode);
}

FAKEUVC_EXPORT int openat64(int dirfd, const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = modeArgument(flags, arguments);
  va_end(arguments);
  if (node::named(dirfd, path)) return openNode(flags);
  if (const std::string* text = node::sysfsText(path)) return openSysfs(*text);
  return FAKEUVC_NEXT(openat64)(dirfd, path, flags, mode);
}

// The checked forms that _FORTIFY_SOURCE builds call for open without a mode.
extern "C" int __open_2(const char* path, int flags);
extern "C" int __open64_2(const char* path, int flags);
extern "C" int __openat_2(int dirfd, const char* path, int flags);
extern "C" int __openat64_2(int dirfd, const char* path, int flags);

FAKEUVC_EXPORT int __open_2(const char* path, int flags) {
  if (node::named(AT_FDCWD, path)) return openNode(flags);
  return FAKEUVC_NEXT(__open_2)(path, flags);
}

FAKEUVC_EXPORT int __open64_2(const char* path, int flags) {
  if (node::named(AT_FDCWD, path)) return openNode(flags);
  return FAKEUVC_NEXT(__open64_2)(path, flags);
}

FAKEUVC_EXPORT int __openat_2(int dirfd, const char* path, int flags) {
  if (node::named(dirfd, path)) return openNode(flags);
  return FAKEUVC_NEXT(__openat_2)(dirfd, path, flags);
}

FAKEUVC_EXPORT int __openat64_2(int dirfd, const char* path, int flags) {
  if (node::named(dirfd, path)) return openNode(flags);
  return FAKEUVC_NEXT(__openat64_2)(dirfd, path, flags);
}

// Streams open files without coming through open, so the sysfs files are
// caught here as well.
FAKEUVC_EXPORT FILE* fopen(const char* path, const char* mode) {
  const std::string* text = node::sysfsText(path);
  if (text != nullptr && mode != nullptr && mode[0] == 'r') return openSysfsStream(*text);
  return FAKEUVC_NEXT(fopen)(path, mode);
}

FAKEUVC_EXPORT FILE* fopen64(const char* path, const char* mode) {
  const std::string* text = node::sysfsText(path);
  if (text != nullptr && mode != nullptr && mode[0] == 'r') return openSysfsStream(*text);
  return FAKEUVC_NEXT(fopen64)(path, mode);
}

FAKEUVC_EXPORT int close(int fd) {
  if (std::shared_ptr<OpenFile> file = fd_table::remove(fd)) {
    // Released before the descriptor goes, so its number cannot be reused
    // by another open while the device still knows it.
    failingWithErrno([&file] {
      Device::instance().release(file);
      return 0;
    });
  }
  return FAKEUVC_NEXT(close)(fd);
}

// dup2 and dup3 onto a node's descriptor close that open first.
FAKEUVC_EXPORT int dup2(int from, int to) noexcept {
  const int result = FAKEUVC_NEXT(dup2)(from, to);
  if (result >= 0 && from != to) {
    if (std::shared_ptr<OpenFile> file = fd_table::remove(to)) {
      failingWithErrno([&file] {
        Device::instance().release(file);
        return 0;
      });
    }
  }
  return result;
}

FAKEUVC_EXPORT int dup3(int from, int to, int flags) noexcept {
  const int result = FAKEUVC_NEXT(dup3)(from, to, flags);
  if (result >= 0) {
    if (std::shared_ptr<OpenFile> file = fd_table::remove(to)) {
      failingWithErrno([&file] {
        Device::instance().release(file);
        return 0;
      });
    }
  }
  return result;
}

// --- stat and access --------------------------------------------------------

FAKEUVC_EXPORT int stat(const char* path, struct stat* out) noexcept {
  if (node::named(AT_FDCWD, path)) return statNode(out);
  return FAKEUVC_NEXT(stat)(path, out);
}

FAKEUVC_EXPORT int lstat(const char* path, struct stat* out) noexcept {
  if (node::named(AT_FDCWD, path)) return statNode(out);
  return FAKEUVC_NEXT(lstat)(path, out);
}

FAKEUVC_EXPORT int fstat(int fd, struct stat* out) noexcept {
  if (fd_table::find(fd)) return statNode(out);
  return FAKEUVC_NEXT(fstat)(fd, out);
}

FAKEUVC_EXPORT int fstatat(int dirfd, const char* path, struct stat* out, int flags) noexcept {
  if ((flags & AT_EMPTY_PATH) != 0 && isEmpty(path) && fd_table::find(dirfd)) return statNode(out);
  if (node::named(dirfd, path)) return statNode(out);
  return FAKEUVC_NEXT(fstatat)(dirfd, path, out, flags);
}

// On this platform the 64-bit forms take the same structure.
static_assert(sizeof(struct stat) == sizeof(struct stat64));

FAKEUVC_EXPORT int stat64(const char* path, struct stat64* out) noexcept {
  if (node::named(AT_FDCWD, path)) return statNode(reinterpret_cast<struct stat*>(out));
  return FAKEUVC_NEXT(stat64)(path, out);
}

FAKEUVC_EXPORT int lstat64(const char* path, struct stat64* out) noexcept {
  if (node::named(AT_FDCWD, path)) return statNode(reinterpret_cast<struct stat*>(out));
  return FAKEUVC_NEXT(lstat64)(path, out);
}

FAKEUVC_EXPORT int fstat64(int fd, struct stat64* out) noexcept {
  if (fd_table::find(fd)) return statNode(reinterpret_cast<struct stat*>(out));
  return FAKEUVC_NEXT(fstat64)(fd, out);
}

FAKEUVC_EXPORT int fstatat64(int dirfd, const char* path, struct stat64* out, int flags) noexcept {
  if ((flags & AT_EMPTY_PATH) != 0 && isEmpty(path) && fd_table::find(dirfd))
    return statNode(reinterpret_cast<struct stat*>(out));
  if (node::named(dirfd, path)) return statNode(reinterpret_cast<struct stat*>(out));
  return FAKEUVC_NEXT(fstatat64)(dirfd, path, out, flags);
}

FAKEUVC_EXPORT int statx(int dirfd, const char* path, int flags, unsigned mask, struct statx* out) noexcept {
  const bool byDescriptor = (flags & AT_EMPTY_PATH) != 0 && isEmpty(path) && fd_table::find(dirfd);
  if (byDescriptor || node::named(dirfd, path)) {
    return statxNode(out);
  }
  return FAKEUVC_NEXT(statx)(dirfd, path, flags, mask, out);
}

FAKEUVC_EXPORT int access(const char* path, int mode) noexcept {
  if (node::named(AT_FDCWD, path)) return accessNode(mode);
  return FAKEUVC_NEXT(access)(path, mode);
}

FAKEUVC_EXPORT int faccessat(int dirfd, const char* path, int mode, int flags) noexcept {
  if (node::named(dirfd, path)) return accessNode(mode);
  return FAKEUVC_NEXT(faccessat)(dirfd, path, mode, flags);
}

FAKEUVC_EXPORT char* realpath(const char* path, char* resolved) noexcept {
  if (!node::named(AT_FDCWD, path)) return FAKEUVC_NEXT(realpath)(path, resolved);
  if (!node::present()) {
    errno = ENOENT;
    return nullptr;
  }
  const std::string& canonical = settings().nodePath;
  if (resolved == nullptr) return ::strdup(canonical.c_str());
  std::strncpy(resolved, canonical.c_str(), PATH_MAX - 1);
  resolved[PATH_MAX - 1] = '\0';
  return resolved;
}

// A device node carries no extended attributes (ls -l asks for them).
FAKEUVC_EXPORT ssize_t getxattr(const char* path, const char* name, void* value, std::size_t size) noexcept {
  if (!node::named(AT_FDCWD, path)) return FAKEUVC_NEXT(getxattr)(path, name, value, size);
  errno = node::present() ? ENODATA : ENOENT;
  return -1;
}

FAKEUVC_EXPORT ssize_t lgetxattr(const char* path, const char* name, void* value, std::size_t size) noexcept {
  if (!node::named(AT_FDCWD, path)) return FAKEUVC_NEXT(lgetxattr)(path, name, value, size);
  errno = node::present() ? ENODATA : ENOENT;
  return -1;
}

FAKEUVC_EXPORT ssize_t fgetxattr(int fd, const char* name, void* value, std::size_t size) noexcept {
  if (!fd_table::find(fd)) return FAKEUVC_NEXT(fgetxattr)(fd, name, value, size);
  errno = ENODATA;
  return -1;
}

FAKEUVC_EXPORT ssize_t listxattr(const char* path, char* list, std::size_t size) noexcept {
  if (!node::named(AT_FDCWD, path)) return FAKEUVC_NEXT(listxattr)(path, list, size);
  if (node::present()) return 0;
  errno = ENOENT;
  return -1;
}

FAKEUVC_EXPORT ssize_t llistxattr(const char* path, char* list, std::size_t size) noexcept {
  if (!node::named(AT_FDCWD, path)) return FAKEUVC_NEXT(llistxattr)(path, list, size);
  if (node::present()) return 0;
  errno = ENOENT;
  return -1;
}

FAKEUVC_EXPORT ssize_t flistxattr(int fd, char* list, std::size_t size) noexcept {
  if (!fd_table::find(fd)) return FAKEUVC_NEXT(flistxattr)(fd, list, size);
  return 0;
}

// --- listing the node's directory -------------------------------------------

FAKEUVC_EXPORT DIR* opendir(const char* path) {
  DIR* directory = FAKEUVC_NEXT(opendir)(path);
  watchListing(directory);
  return directory;
}

FAKEUVC_EXPORT DIR* fdopendir(int fd) {
  DIR* directory = FAKEUVC_NEXT(fdopendir)(fd);
  watchListing(directory);
  return directory;
}

FAKEUVC_EXPORT dirent* readdir(DIR* directory) {
  dirent* entry = FAKEUVC_NEXT(readdir)(directory);
  return reinterpret_cast<dirent*>(listed(directory, reinterpret_cast<dirent64*>(entry)));
}

FAKEUVC_EXPORT dirent64* readdir64(DIR* directory) {
  return listed(directory, FAKEUVC_NEXT(readdir64)(directory));
}

FAKEUVC_EXPORT void rewinddir(DIR* directory) noexcept {
  FAKEUVC_NEXT(rewinddir)(directory);
  restartListing(directory);
}

FAKEUVC_EXPORT int closedir(DIR* directory) {
  // Forgotten first: once closed, the same address may come back from the
  // next opendir.
  forgetListing(directory);
  return FAKEUVC_NEXT(closedir)(directory);
}
