#include "camera/v4l2_device.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

V4l2Device::~V4l2Device() {
  close();
}

V4l2Device::V4l2Device(V4l2Device&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

V4l2Device& V4l2Device::operator=(V4l2Device&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

bool V4l2Device::open(const std::string& path) {
  close();
  fd_ = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  return fd_ >= 0;
}

void V4l2Device::close() {
  if (fd_ >= 0) ::close(std::exchange(fd_, -1));
}

IoctlResult V4l2Device::ioctl(unsigned long request, void* argument) {
  if (fd_ < 0) return {EBADF};
  int result = -1;
  do {
    result = ::ioctl(fd_, request, argument);
  } while (result == -1 && errno == EINTR);
  return {result == -1 ? errno : 0};
}
