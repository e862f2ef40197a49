#include "libc_next.h"

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace fakeuvc::libc {

void* next(const char* name) {
  return ::dlsym(RTLD_NEXT, name);
}

namespace {

template <typename Function>
Function* resolve(const char* name) {
  return reinterpret_cast<Function*>(next(name));
}

// glibc always has these; should one be missing, the call fails instead of
// jumping to address zero.
template <typename Result>
Result missing(Result failure) {
  errno = ENOSYS;
  return failure;
}

}  // namespace

int open(const char* path, int flags, mode_t mode) {
  static auto* const target = resolve<int(const char*, int, ...)>("open");
  return target != nullptr ? target(path, flags, mode) : missing(-1);
}

int openat(int dirfd, const char* path, int flags, mode_t mode) {
  static auto* const target = resolve<int(int, const char*, int, ...)>("openat");
  return target != nullptr ? target(dirfd, path, flags, mode) : missing(-1);
}

int close(int fd) {
  static auto* const target = resolve<int(int)>("close");
  return target != nullptr ? target(fd) : missing(-1);
}

ssize_t read(int fd, void* buffer, std::size_t count) {
  static auto* const target = resolve<ssize_t(int, void*, std::size_t)>("read");
  return target != nullptr ? target(fd, buffer, count) : missing<ssize_t>(-1);
}

ssize_t write(int fd, const void* buffer, std::size_t count) {
  static auto* const target = resolve<ssize_t(int, const void*, std::size_t)>("write");
  return target != nullptr ? target(fd, buffer, count) : missing<ssize_t>(-1);
}

int ioctl(int fd, unsigned long request, void* argument) {
  static auto* const target = resolve<int(int, unsigned long, ...)>("ioctl");
  return target != nullptr ? target(fd, request, argument) : missing(-1);
}

void* mmap(void* address, std::size_t length, int protection, int flags, int fd, off_t offset) {
  static auto* const target = resolve<void*(void*, std::size_t, int, int, int, off_t)>("mmap");
  return target != nullptr ? target(address, length, protection, flags, fd, offset) : missing(MAP_FAILED);
}

int munmap(void* address, std::size_t length) {
  static auto* const target = resolve<int(void*, std::size_t)>("munmap");
  return target != nullptr ? target(address, length) : missing(-1);
}

int ppoll(pollfd* fds, nfds_t count, const timespec* timeout, const sigset_t* mask) {
  static auto* const target = resolve<int(pollfd*, nfds_t, const timespec*, const sigset_t*)>("ppoll");
  return target != nullptr ? target(fds, count, timeout, mask) : missing(-1);
}

int fstatat(int dirfd, const char* path, struct stat* result, int flags) {
  static auto* const target = resolve<int(int, const char*, struct stat*, int)>("fstatat");
  return target != nullptr ? target(dirfd, path, result, flags) : missing(-1);
}

}  // namespace fakeuvc::libc
