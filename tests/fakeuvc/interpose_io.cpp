// Input and output on the node's descriptors: ioctl, mmap, read, write and
// the waits. Descriptors that are not the node's go to the C library
// unchanged.
#undef _FORTIFY_SOURCE

#include <poll.h>
#include <stdarg.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/select.h>
#include <unistd.h>

#include <cstdint>
#include <memory>

#include "device.h"
#include "fd_table.h"
#include "interpose.h"
#include "poll_bridge.h"

namespace {

using namespace fakeuvc;

int ioctlNode(int fd, const std::shared_ptr<OpenFile>& file, unsigned long request, void* argument) {
  // The kernel takes the request as 32 bits; callers that pass a negative
  // int get it sign-extended here.
  const unsigned long code = static_cast<std::uint32_t>(request);
  switch (code) {
    // Requests the kernel answers for every file before the driver sees them.
    case FIONBIO:
    case FIOASYNC:
    case FIOCLEX:
    case FIONCLEX: return libc::ioctl(fd, code, argument);
    default: break;
  }
  return failingWithErrno([&] {
    const int error = Device::instance().ioctl(file, code, argument);
    if (error == 0) return 0;
    errno = error;
    return -1;
  });
}

void* mapNode(void* hint, std::size_t length, int protection, int flags, off_t offset) {
  int error = 0;
  void* address = MAP_FAILED;
  try {
    address = Device::instance().map(hint, length, protection, flags, offset, error);
  } catch (...) {
    error = ENOMEM;
  }
  if (address == MAP_FAILED) errno = error;
  return address;
}

ssize_t readWriteNode() {
  errno = Device::instance().readWriteError();
  return -1;
}

std::optional<timespec> fromMilliseconds(int timeout) {
  if (timeout < 0) return std::nullopt;
  return timespec{timeout / 1000, static_cast<long>(timeout % 1000) * 1'000'000};
}

// The C library's poll for descriptors that are not ours.
int realPoll(pollfd* fds, nfds_t count, int timeout) {
  return FAKEUVC_NEXT(poll)(fds, count, timeout);
}

int pollAny(pollfd* fds, nfds_t count, int timeout) {
  const auto wait = fromMilliseconds(timeout);
  const std::optional<int> result = [&]() -> std::optional<int> {
    try {
      return pollWithFakes(fds, count, wait ? &*wait : nullptr, nullptr);
    } catch (const std::bad_alloc&) {
      errno = ENOMEM;
      return -1;
    }
  }();
  return result ? *result : realPoll(fds, count, timeout);
}

}  // namespace

FAKEUVC_EXPORT int ioctl(int fd, unsigned long request, ...) noexcept {
  va_list arguments;
  va_start(arguments, request);
  void* argument = va_arg(arguments, void*);
  va_end(arguments);
  if (std::shared_ptr<OpenFile> file = fd_table::find(fd)) return ioctlNode(fd, file, request, argument);
  return FAKEUVC_NEXT(ioctl)(fd, request, argument);
}

FAKEUVC_EXPORT void* mmap(void* hint, std::size_t length, int protection, int flags, int fd,
                          off_t offset) noexcept {
  if ((flags & MAP_ANONYMOUS) == 0 && fd_table::find(fd))
    return mapNode(hint, length, protection, flags, offset);
  return FAKEUVC_NEXT(mmap)(hint, length, protection, flags, fd, offset);
}

FAKEUVC_EXPORT void* mmap64(void* hint, std::size_t length, int protection, int flags, int fd,
                            off64_t offset) noexcept {
  if ((flags & MAP_ANONYMOUS) == 0 && fd_table::find(fd))
    return mapNode(hint, length, protection, flags, offset);
  return FAKEUVC_NEXT(mmap64)(hint, length, protection, flags, fd, offset);
}

FAKEUVC_EXPORT ssize_t read(int fd, void* buffer, std::size_t count) {
  if (fd_table::find(fd)) return readWriteNode();
  return FAKEUVC_NEXT(read)(fd, buffer, count);
}

extern "C" ssize_t __read_chk(int fd, void* buffer, std::size_t count, std::size_t bufferSize);

FAKEUVC_EXPORT ssize_t __read_chk(int fd, void* buffer, std::size_t count, std::size_t bufferSize) {
  if (count <= bufferSize && fd_table::find(fd)) return readWriteNode();
  return FAKEUVC_NEXT(__read_chk)(fd, buffer, count, bufferSize);
}

FAKEUVC_EXPORT ssize_t write(int fd, const void* buffer, std::size_t count) {
  if (fd_table::find(fd)) return readWriteNode();
  return FAKEUVC_NEXT(write)(fd, buffer, count);
}

FAKEUVC_EXPORT int poll(pollfd* fds, nfds_t count, int timeout) {
  return pollAny(fds, count, timeout);
}

extern "C" int __poll_chk(pollfd* fds, nfds_t count, int timeout, std::size_t fdsSize);

FAKEUVC_EXPORT int __poll_chk(pollfd* fds, nfds_t count, int timeout, std::size_t fdsSize) {
  if (count > fdsSize / sizeof(pollfd)) return FAKEUVC_NEXT(__poll_chk)(fds, count, timeout, fdsSize);
  return pollAny(fds, count, timeout);
}

FAKEUVC_EXPORT int ppoll(pollfd* fds, nfds_t count, const timespec* timeout, const sigset_t* mask) {
  try {
    if (const auto result = pollWithFakes(fds, count, timeout, mask)) return *result;
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return -1;
  }
  return FAKEUVC_NEXT(ppoll)(fds, count, timeout, mask);
}

extern "C" int __ppoll_chk(pollfd* fds, nfds_t count, const timespec* timeout, const sigset_t* mask,
                           std::size_t fdsSize);

FAKEUVC_EXPORT int __ppoll_chk(pollfd* fds, nfds_t count, const timespec* timeout, const sigset_t* mask,
                               std::size_t fdsSize) {
  if (count > fdsSize / sizeof(pollfd)) return FAKEUVC_NEXT(__ppoll_chk)(fds, count, timeout, mask, fdsSize);
  return ppoll(fds, count, timeout, mask);
}

FAKEUVC_EXPORT int select(int count, fd_set* readable, fd_set* writable, fd_set* exceptional,
                          timeval* timeout) {
  try {
    std::optional<timespec> wait;
    if (timeout != nullptr) {
      if (timeout->tv_sec < 0 || timeout->tv_usec < 0 || timeout->tv_usec >= 1'000'000)
        return FAKEUVC_NEXT(select)(count, readable, writable, exceptional, timeout);
      wait = timespec{timeout->tv_sec, static_cast<long>(timeout->tv_usec) * 1000};
    }
    const auto result =
        selectWithFakes(count, readable, writable, exceptional, wait ? &*wait : nullptr, true, nullptr);
    if (result) {
      if (timeout != nullptr) *timeout = {wait->tv_sec, static_cast<suseconds_t>(wait->tv_nsec / 1000)};
      return *result;
    }
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return -1;
  }
  return FAKEUVC_NEXT(select)(count, readable, writable, exceptional, timeout);
}

FAKEUVC_EXPORT int pselect(int count, fd_set* readable, fd_set* writable, fd_set* exceptional,
                           const timespec* timeout, const sigset_t* mask) {
  try {
    std::optional<timespec> wait;
    if (timeout != nullptr) wait = *timeout;
    if (const auto result =
            selectWithFakes(count, readable, writable, exceptional, wait ? &*wait : nullptr, false, mask))
      return *result;
  } catch (const std::bad_alloc&) {
    errno = ENOMEM;
    return -1;
  }
  return FAKEUVC_NEXT(pselect)(count, readable, writable, exceptional, timeout, mask);
}
