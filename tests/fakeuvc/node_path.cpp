#include "node_path.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <atomic>
#include <cstring>
#include <ctime>
#include <optional>
#include <string_view>

#include "libc_next.h"
#include "settings.h"

namespace fakeuvc::node {

namespace {

constexpr unsigned v4l2Major = 81;
constexpr gid_t videoGroup = 44;  // Debian's fixed "video" group

std::atomic<bool> unplugged{false};

struct Identity {
  dev_t device;
  ino_t inode;
};

std::string_view directoryPart(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The device and inode of the node's directory; nullopt when it does not
// exist (then only the exact path names the node).
const std::optional<Identity>& nodeDirectory() {
  static const std::optional<Identity> identity = []() -> std::optional<Identity> {
    const std::string directory(directoryPart(settings().nodePath));
    struct stat status {};
    if (libc::fstatat(AT_FDCWD, directory.c_str(), &status, 0) != 0 || !S_ISDIR(status.st_mode))
      return std::nullopt;
    return Identity{status.st_dev, status.st_ino};
  }();
  return identity;
}

unsigned minorNumber() {
  // video7 is minor 7, as the first V4L2 nodes are.
  const std::string& name = fileName();
  const std::size_t digits = name.find_last_not_of("0123456789");
  const std::string_view number = std::string_view(name).substr(digits == std::string::npos ? 0 : digits + 1);
  unsigned value = 0;
  for (const char c : number.substr(0, 6)) value = value * 10 + static_cast<unsigned>(c - '0');
  return value;
}

timespec creationTime() {
  static const timespec created = [] {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now;
  }();
  return created;
}

}  // namespace

const std::string& fileName() {
  static const std::string& name = *new std::string([] {
    const std::string& path = settings().nodePath;
    return path.substr(path.rfind('/') + 1);
  }());
  return name;
}

bool isUevent(const char* path) {
  static const std::string& uevent = *new std::string("/sys/dev/char/" + std::to_string(v4l2Major) + ":" +
                                                      std::to_string(minorNumber()) + "/uevent");
  return path != nullptr && uevent == path && present();
}

const std::string& ueventText() {
  static const std::string& text =
      *new std::string("MAJOR=" + std::to_string(v4l2Major) + "\nMINOR=" + std::to_string(minorNumber()) +
                       "\nDEVNAME=" + fileName() + "\n");
  return text;
}

const std::string* sysfsText(const char* path) {
  if (path == nullptr || !present()) return nullptr;
  if (isUevent(path)) return &ueventText();
  static const std::string& namePath = *new std::string("/sys/class/video4linux/" + fileName() + "/name");
  static const std::string& nameText = *new std::string(settings().card + "\n");
  return namePath == path ? &nameText : nullptr;
}

bool named(int dirfd, const char* path) {
  if (path == nullptr || *path == '\0') return false;
  const std::string_view text(path);
  // A trailing slash asks for a directory, which the node is not.
  if (text.back() == '/') return false;
  const std::size_t slash = text.rfind('/');
  const std::string_view name = slash == std::string_view::npos ? text : text.substr(slash + 1);
  if (name != fileName()) return false;

  if (text.front() == '/' && normalizeAbsolutePath(std::string(text)) == settings().nodePath) return true;
  const auto& directory = nodeDirectory();
  if (!directory) return false;
  const std::string parent(directoryPart(text));
  struct stat status {};
  if (libc::fstatat(dirfd, parent.c_str(), &status, 0) != 0) return false;
  return status.st_dev == directory->device && status.st_ino == directory->inode;
}

bool isNodeDirectory(const struct stat& status) {
  const auto& directory = nodeDirectory();
  return directory && S_ISDIR(status.st_mode) && status.st_dev == directory->device &&
         status.st_ino == directory->inode;
}

void describe(struct stat& out) {
  std::memset(&out, 0, sizeof out);
  const auto& directory = nodeDirectory();
  out.st_dev = directory ? directory->device : 0;
  out.st_ino = 0x7fa0000 + minorNumber();
  out.st_mode = S_IFCHR | 0660;
  out.st_nlink = 1;
  out.st_uid = 0;
  out.st_gid = videoGroup;
  out.st_rdev = makedev(v4l2Major, minorNumber());
  out.st_blksize = 4096;
  out.st_atim = out.st_mtim = out.st_ctim = creationTime();
}

void describe(struct statx& out) {
  struct stat status {};
  describe(status);
  std::memset(&out, 0, sizeof out);
  out.stx_mask = STATX_BASIC_STATS;
  out.stx_blksize = static_cast<std::uint32_t>(status.st_blksize);
  out.stx_nlink = static_cast<std::uint32_t>(status.st_nlink);
  out.stx_uid = status.st_uid;
  out.stx_gid = status.st_gid;
  out.stx_mode = static_cast<std::uint16_t>(status.st_mode);
  out.stx_ino = status.st_ino;
  const timespec created = creationTime();
  const statx_timestamp stamp{created.tv_sec, static_cast<std::uint32_t>(created.tv_nsec), 0};
  out.stx_atime = out.stx_ctime = out.stx_mtime = stamp;
  out.stx_rdev_major = v4l2Major;
  out.stx_rdev_minor = minorNumber();
  out.stx_dev_major = major(status.st_dev);
  out.stx_dev_minor = minor(status.st_dev);
}

bool present() {
  return !unplugged.load(std::memory_order_acquire);
}

void unplug() {
  unplugged.store(true, std::memory_order_release);
}

}  // namespace fakeuvc::node
