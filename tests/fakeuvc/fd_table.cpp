#include "fd_table.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <unordered_map>

namespace fakeuvc::fd_table {

namespace {

std::mutex tableMutex;
std::atomic<int> openCount{0};

// One bit per descriptor below this bound, set while it is ours. Reads,
// writes and closes of every other descriptor are told apart without the
// mutex, so a signal handler that writes to a pipe while its thread is in
// here cannot deadlock on it.
constexpr int markedFds = 65536;
std::array<std::atomic<std::uint64_t>, markedFds / 64> marks{};

void mark(int fd, bool ours) {
  if (fd >= markedFds) return;
  const std::uint64_t bit = std::uint64_t{1} << (fd % 64);
  if (ours)
    marks[fd / 64].fetch_or(bit, std::memory_order_release);
  else
    marks[fd / 64].fetch_and(~bit, std::memory_order_release);
}

bool mayBeOurs(int fd) {
  if (fd < 0 || openCount.load(std::memory_order_acquire) == 0) return false;
  if (fd >= markedFds) return true;
  return (marks[fd / 64].load(std::memory_order_acquire) & (std::uint64_t{1} << (fd % 64))) != 0;
}

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
  const bool inserted = table().insert_or_assign(fd, std::move(file)).second;
  if (inserted) openCount.fetch_add(1, std::memory_order_release);
  mark(fd, true);
}

std::shared_ptr<OpenFile> find(int fd) {
  if (!mayBeOurs(fd)) return nullptr;
  const std::lock_guard lock(tableMutex);
  const auto it = table().find(fd);
  return it == table().end() ? nullptr : it->second;
}

std::shared_ptr<OpenFile> remove(int fd) {
  if (!mayBeOurs(fd)) return nullptr;
  const std::lock_guard lock(tableMutex);
  const auto it = table().find(fd);
  if (it == table().end()) return nullptr;
  std::shared_ptr<OpenFile> file = std::move(it->second);
  table().erase(it);
  mark(fd, false);
  openCount.fetch_sub(1, std::memory_order_release);
  return file;
}

bool empty() {
  return openCount.load(std::memory_order_acquire) == 0;
}

void lockForFork() {
  tableMutex.lock();
}

void unlockForFork() {
  tableMutex.unlock();
}

void forgetInChild() {
  for (const auto& [fd, file] : table()) mark(fd, false);
  table().clear();
  openCount.store(0, std::memory_order_release);
  tableMutex.unlock();
}

}  // namespace fakeuvc::fd_table
