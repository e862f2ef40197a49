#pragma once

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>

// The C library's own functions behind the ones this library interposes
// (dlsym RTLD_NEXT), resolved on first use. Our own code calls these, so its
// files, memory and waits never come back through the interposers.
namespace fakeuvc::libc {

// The next definition of `name` after this library; nullptr when none.
void* next(const char* name);

int open(const char* path, int flags, mode_t mode);
int openat(int dirfd, const char* path, int flags, mode_t mode);
int close(int fd);
ssize_t read(int fd, void* buffer, std::size_t count);
ssize_t write(int fd, const void* buffer, std::size_t count);
int ioctl(int fd, unsigned long request, void* argument);
void* mmap(void* address, std::size_t length, int protection, int flags, int fd, off_t offset);
int munmap(void* address, std::size_t length);
int ppoll(pollfd* fds, nfds_t count, const timespec* timeout, const sigset_t* mask);
int fstatat(int dirfd, const char* path, struct stat* result, int flags);

}  // namespace fakeuvc::libc
