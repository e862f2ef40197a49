#include "dir_listing.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstddef>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "libc_next.h"
#include "node_path.h"

namespace fakeuvc::dir_listing {

namespace {

struct Listing {
  DIR* directory;
  bool nodeListed = false;
  dirent64 entry{};  // returned by readdir until the next call
};

static_assert(sizeof(dirent) == sizeof(dirent64) && offsetof(dirent, d_name) == offsetof(dirent64, d_name),
              "readdir and readdir64 share one entry layout on this platform");

std::mutex listingMutex;
std::atomic<int> listingCount{0};

std::vector<std::unique_ptr<Listing>>& listings() {
  static auto* open = new std::vector<std::unique_ptr<Listing>>();
  return *open;
}

Listing* find(DIR* directory) {
  for (const auto& listing : listings())
    if (listing->directory == directory) return listing.get();
  return nullptr;
}

}  // namespace

void watch(DIR* directory) {
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

dirent64* entry(DIR* directory, dirent64* real) {
  if (listingCount.load(std::memory_order_acquire) == 0) return real;
  const std::lock_guard lock(listingMutex);
  Listing* listing = find(directory);
  if (listing == nullptr) return real;
  if (real != nullptr) {
    // A real file of the same name is not listed twice.
    if (node::fileName() == real->d_name) listing->nodeListed = true;
    return real;
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

void restart(DIR* directory) {
  if (listingCount.load(std::memory_order_acquire) == 0) return;
  const std::lock_guard lock(listingMutex);
  if (Listing* listing = find(directory)) listing->nodeListed = false;
}

void forget(DIR* directory) {
  if (listingCount.load(std::memory_order_acquire) == 0) return;
  const std::lock_guard lock(listingMutex);
  auto& open = listings();
  const auto it = std::find_if(open.begin(), open.end(),
                               [directory](const auto& listing) { return listing->directory == directory; });
  if (it == open.end()) return;
  open.erase(it);
  listingCount.fetch_sub(1, std::memory_order_release);
}

void lockForFork() {
  listingMutex.lock();
}

void unlockForFork() {
  listingMutex.unlock();
}

}  // namespace fakeuvc::dir_listing
