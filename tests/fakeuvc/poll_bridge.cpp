#include "poll_bridge.h"

#include <cerrno>
#include <chrono>
#include <memory>
#include <vector>

#include "device.h"
#include "fd_table.h"
#include "libc_next.h"

namespace fakeuvc {

namespace {

using Clock = std::chrono::steady_clock;

constexpr short readEvents = POLLIN | POLLRDNORM | POLLRDBAND;
constexpr short writeEvents = POLLOUT | POLLWRNORM | POLLWRBAND;

std::optional<Clock::time_point> deadlineFor(const timespec* timeout) {
  if (timeout == nullptr) return std::nullopt;
  return Clock::now() + std::chrono::seconds(timeout->tv_sec) + std::chrono::nanoseconds(timeout->tv_nsec);
}

timespec remainingUntil(Clock::time_point deadline) {
  const auto left = std::max(Clock::duration::zero(), deadline - Clock::now());
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
  return {static_cast<time_t>(seconds.count()),
          static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds).count())};
}

// `files[i]` is the fake file behind fds[i], or nullptr.
int pollFiles(pollfd* fds, nfds_t count, const std::vector<std::shared_ptr<OpenFile>>& files,
              const timespec* timeout, const sigset_t* mask) {
  Device& device = Device::instance();
  const auto deadline = deadlineFor(timeout);
  std::vector<pollfd> waits(fds, fds + count);
  while (true) {
    bool fakeReady = false;
    for (nfds_t i = 0; i < count; ++i) {
      waits[i] = fds[i];
      if (!files[i]) continue;
      if (device.pollEvents(fds[i].events) != 0) fakeReady = true;
      // The eventfd is readable exactly while the node has something for a
      // reader; one not asking to read has nothing to wait for on it.
      waits[i].events = POLLIN;
      if ((fds[i].events & (POLLIN | POLLRDNORM)) == 0) waits[i].fd = -1;
    }
    const timespec now{0, 0};
    const timespec left = deadline ? remainingUntil(*deadline) : timespec{};
    const int woken = libc::ppoll(waits.data(), count, fakeReady ? &now : (deadline ? &left : nullptr), mask);
    if (woken < 0) return woken;

    int ready = 0;
    for (nfds_t i = 0; i < count; ++i) {
      fds[i].revents = files[i] ? device.pollEvents(fds[i].events) : waits[i].revents;
      if (fds[i].revents != 0) ++ready;
    }
    if (ready > 0 || (deadline && Clock::now() >= *deadline)) return ready;
    // Woken by a fake node whose frame another thread took meanwhile:
    // wait again for the time left.
  }
}

}  // namespace

std::optional<int> pollWithFakes(pollfd* fds, nfds_t count, const timespec* timeout, const sigset_t* mask) {
  if (fd_table::empty() || fds == nullptr) return std::nullopt;
  std::vector<std::shared_ptr<OpenFile>> files(count);
  bool any = false;
  for (nfds_t i = 0; i < count; ++i) {
    files[i] = fd_table::find(fds[i].fd);
    any = any || files[i] != nullptr;
  }
  if (!any) return std::nullopt;
  return pollFiles(fds, count, files, timeout, mask);
}

std::optional<int> selectWithFakes(int count, fd_set* readable, fd_set* writable, fd_set* exceptional,
                                   timespec* timeout, bool updateTimeout, const sigset_t* mask) {
  if (fd_table::empty() || count <= 0) return std::nullopt;
  const int limit = std::min(count, FD_SETSIZE);
  auto in = [](fd_set* set, int fd) { return set != nullptr && FD_ISSET(fd, set); };

  std::vector<pollfd> fds;
  std::vector<std::shared_ptr<OpenFile>> files;
  bool any = false;
  for (int fd = 0; fd < limit; ++fd) {
    short events = 0;
    if (in(readable, fd)) events |= readEvents;
    if (in(writable, fd)) events |= writeEvents;
    if (in(exceptional, fd)) events |= POLLPRI;
    if (events == 0) continue;
    fds.push_back({fd, events, 0});
    files.push_back(fd_table::find(fd));
    any = any || files.back() != nullptr;
  }
  if (!any) return std::nullopt;

  const auto deadline = deadlineFor(timeout);
  const int woken = pollFiles(fds.data(), fds.size(), files, timeout, mask);
  if (woken < 0) return woken;
  for (const pollfd& entry : fds) {
    if ((entry.revents & POLLNVAL) != 0) {
      errno = EBADF;
      return -1;
    }
  }

  // select's rules: an error counts as readable and writable, a hang-up as
  // readable, urgent data as exceptional.
  int ready = 0;
  for (const pollfd& entry : fds) {
    const bool wantRead = in(readable, entry.fd);
    const bool wantWrite = in(writable, entry.fd);
    const bool wantExcept = in(exceptional, entry.fd);
    if (wantRead) FD_CLR(entry.fd, readable);
    if (wantWrite) FD_CLR(entry.fd, writable);
    if (wantExcept) FD_CLR(entry.fd, exceptional);
    if (wantRead && (entry.revents & (readEvents | POLLHUP | POLLERR)) != 0) {
      FD_SET(entry.fd, readable);
      ++ready;
    }
    if (wantWrite && (entry.revents & (writeEvents | POLLERR)) != 0) {
      FD_SET(entry.fd, writable);
      ++ready;
    }
    if (wantExcept && (entry.revents & POLLPRI) != 0) {
      FD_SET(entry.fd, exceptional);
      ++ready;
    }
  }
  if (updateTimeout && timeout != nullptr && deadline) *timeout = remainingUntil(*deadline);
  return ready;
}

}  // namespace fakeuvc
