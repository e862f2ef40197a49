#pragma once

#include <fcntl.h>
#include <linux/videodev2.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

// A plain V4L2 client of the fake node, as a program would be one: every
// call goes through the C library, so the preloaded camera answers it.
namespace client {

// FAKEUVC_NODE, or the default /dev/video0.
std::string nodePath();

// One open of the node; closed on destruction.
class Node {
 public:
  explicit Node(int flags = O_RDWR | O_NONBLOCK);
  ~Node();
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;

  bool isOpen() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  // errno of the failed open, 0 when it worked.
  int openError() const { return openError_; }

  // 0 or the errno the ioctl failed with.
  int call(unsigned long request, void* argument) const;

  // Helpers for the common requests; each returns the errno too.
  int setFormat(std::uint32_t fourcc, std::uint32_t width, std::uint32_t height,
                v4l2_format* result = nullptr) const;
  v4l2_format format() const;
  int requestBuffers(std::uint32_t count, std::uint32_t* granted = nullptr) const;
  int queue(std::uint32_t index) const;
  int dequeue(v4l2_buffer& buffer) const;
  int streamOn() const;
  int streamOff() const;
  // poll for POLLIN|POLLRDNORM; the revents, 0 on time-out.
  short poll(int timeoutMs) const;

 private:
  int fd_ = -1;
  int openError_ = 0;
};

// Buffers of a node mapped into this process and all queued; unmapped on
// destruction (the buffers themselves stay with the device).
class MappedBuffers {
 public:
  // Requests `count` buffers of the current format, maps and queues them.
  MappedBuffers(const Node& node, std::uint32_t count);
  ~MappedBuffers();
  MappedBuffers(const MappedBuffers&) = delete;
  MappedBuffers& operator=(const MappedBuffers&) = delete;

  bool ok() const { return ok_; }
  std::size_t count() const { return maps_.size(); }
  std::span<const std::uint8_t> bytes(const v4l2_buffer& buffer) const;

 private:
  struct Map {
    void* address;
    std::size_t length;
  };
  std::vector<Map> maps_;
  bool ok_ = false;
};

// Sets the format, maps and queues `count` buffers and starts the stream;
// nullptr, with a test failure, when a step fails.
std::unique_ptr<MappedBuffers> startStream(const Node& node, std::uint32_t fourcc, std::uint32_t width,
                                           std::uint32_t height, std::uint32_t count);

// Waits up to `timeoutMs` for a frame and dequeues it; nullopt (with a test
// failure) when none came.
std::optional<v4l2_buffer> nextFrame(const Node& node, int timeoutMs = 10000);

// The size of a JPEG, decoded; nullopt when it does not decode.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // three bytes a pixel
};
std::optional<Picture> decodeJpeg(std::span<const std::uint8_t> jpeg);
// The text of the first JPEG comment segment, empty when there is none.
std::string jpegComment(std::span<const std::uint8_t> jpeg);
// YUYV 4:2:2 to RGB.
Picture fromYuyv(std::span<const std::uint8_t> yuyv, int width, int height);

// A pixel format at a size.
struct Mode {
  std::uint32_t fourcc;
  std::uint32_t width;
  std::uint32_t height;
};
// A frame of `mode` decoded, whichever its format; nullopt when it does not
// decode.
std::optional<Picture> decodeFrame(std::span<const std::uint8_t> frame, const Mode& mode);

// "MJPG"
std::string fourccText(std::uint32_t fourcc);
std::uint32_t fourcc(const char (&code)[5]);

}  // namespace client
