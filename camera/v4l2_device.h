#pragma once

#include <cstring>
#include <string>

// Result of one ioctl: the errno it left, 0 when it worked. [[nodiscard]] so
// no call goes unchecked.
struct [[nodiscard]] IoctlResult {
  int error = 0;
  bool ok() const { return error == 0; }
};

// Where V4L2 requests go. The device below is the real one; tests put a
// scripted driver behind it.
class V4l2Port {
 public:
  virtual ~V4l2Port() = default;
  virtual IoctlResult ioctl(unsigned long request, void* argument) = 0;
};

// Owns the file descriptor of one V4L2 node for as long as it lives, so a
// control change never reopens the device and nothing leaks on early return.
class V4l2Device final : public V4l2Port {
 public:
  V4l2Device() = default;
  ~V4l2Device() override;
  V4l2Device(const V4l2Device&) = delete;
  V4l2Device& operator=(const V4l2Device&) = delete;
  V4l2Device(V4l2Device&& other) noexcept;
  V4l2Device& operator=(V4l2Device&& other) noexcept;

  // Opens `path` read-write and non-blocking (querying must never wait on a
  // camera that another program is streaming from). False on failure.
  [[nodiscard]] bool open(const std::string& path);
  bool isOpen() const { return fd_ >= 0; }
  // For poll() and mmap(); -1 when not open.
  int fd() const { return fd_; }
  void close();

  // Repeats the request when a signal interrupts it; EBADF when not open.
  IoctlResult ioctl(unsigned long request, void* argument) override;

 private:
  int fd_ = -1;
};

// Text of a fixed-size V4L2 name field (card, control or menu name): up to the
// first NUL, never past the field, blanks kept.
inline std::string fixedFieldText(const void* field, std::size_t fieldSize) {
  const auto* text = static_cast<const char*>(field);
  return std::string(text, ::strnlen(text, fieldSize));
}

template <typename Char, std::size_t N>
std::string fixedFieldText(const Char (&field)[N]) {
  static_assert(sizeof(Char) == 1);
  return fixedFieldText(field, N);
}
