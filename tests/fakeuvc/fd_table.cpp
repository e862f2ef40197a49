#include "fd_table.h"

#include <atomic>
#include <mutex>
#include <unordered_map>

namespace fakeuvc::fd_table {

namespace {

std::mutex tableMutex;
std::atomic<int> openCount{0};

// Never destroyed: interposed calls may come from other libraries' exit
// handlers after our own statics would be gone.
std::unordered_map<int, std::shared_ptr<OpenFile>>& table() {
  static auto* files = new std::unordered_map<int, std::shared_ptr<OpenFile>>();
  return *files;
}

}  // namespace

void add(int fd, std::shared_ptr<OpenFile> file) {
  const std::lock_guard lock(tableMutex);
  // A descriptor closed behind our back (close_range, a raw system call) may
  // have been reused; the new open replaces whatever was recorded.
  auto [it, inserted] = table().insert_or_assign(fd, std::move(file));
  if (inserted) openCount.fetch_add(1, std::memory_order_release);
}

std::shared_ptr<OpenFile> find(int fd) {
  if (fd < 0 || openCount.load(std::memory_order_acquire) == 0) return nullptr;
  const std::lock_guard lock(tableMutex);
  const auto it = table().find(fd);
  return it == table().end() ? nullptr : it->second;
}

std::shared_ptr<OpenFile> remove(int fd) {
  if (fd < 0 || openCount.load(std::memory_order_acquire) == 0) return nullptr;
  const std::lock_guard lock(tableMutex);
  const auto it = table().find(fd);
  if (it == table().end()) return nullptr;
  std::shared_ptr<OpenFile> file = std::move(it->second);
  table().erase(it);
  openCount.fetch_sub(1, std::memory_order_release);
  return file;
}

bool empty() {
  return openCount.load(std::memory_order_acquire) == 0;
}

}  // namespace fakeuvc::fd_table
