#pragma once

#include <linux/videodev2.h>

#include <cstdint>
#include <string>
#include <vector>

#include "camera/v4l2_device.h"

// A frame as the camera delivered it, copied out of the driver's buffer so
// the buffer can go straight back to the driver.
struct RawFrame {
  std::vector<std::uint8_t> bytes;  // bytesused of the buffer
  std::uint32_t fourcc = 0;
  int width = 0;
  int height = 0;
  int bytesPerLine = 0;
  std::uint32_t sequence = 0;
  std::int64_t timestampUs = 0;  // CLOCK_MONOTONIC, as uvcvideo stamps frames
};

// Pixel format and size of a capture node.
struct V4l2Format {
  std::uint32_t fourcc = 0;
  int width = 0;
  int height = 0;
  int bytesPerLine = 0;

  bool operator==(const V4l2Format&) const = default;
};

// Why a stream could not be set up or a frame not be had.
enum class StreamError {
  None,
  NoAccess,     // the node exists but this user may not open it (EACCES, EPERM)
  Busy,         // another program owns the stream (EBUSY)
  Gone,         // the device went away (ENODEV, ENXIO: a pulled cable)
  Unsupported,  // not a streaming capture node, or no memory mapping
  Failed,       // any other failure
};

StreamError streamErrorFromErrno(int error);

// One capture node streaming into memory-mapped driver buffers. Nothing is
// sent to the camera that the caller does not ask for: the node keeps the
// format it has until setFormat(). Owned by one thread at a time, except
// wake(), which any thread may call.
class V4l2Stream {
 public:
  enum class Wait { Frame, TimedOut, Woken, Error };

  V4l2Stream();
  ~V4l2Stream();
  V4l2Stream(const V4l2Stream&) = delete;
  V4l2Stream& operator=(const V4l2Stream&) = delete;

  // Opens the node and reads its current format; nothing is changed yet.
  StreamError open(const std::string& devicePath);
  bool isOpen() const { return device_.isOpen(); }
  void close();

  const V4l2Format& format() const { return format_; }
  // Asks the driver for `wanted`; the driver may settle on something near
  // it, which format() then reports. Only while not streaming.
  StreamError setFormat(const V4l2Format& wanted);

  StreamError start();
  void stop();
  bool isStreaming() const { return streaming_; }

  // Waits up to `timeoutMs` for a frame, then takes every frame the driver
  // has ready and keeps only the newest: a loop slower than the camera never
  // sees a frame older than one the camera has already delivered after it.
  // Older frames go straight back to the driver.
  Wait waitNewest(RawFrame& frame, int timeoutMs);
  StreamError lastError() const { return lastError_; }
  // Ends a waitNewest() in progress (or the next one) with Woken.
  void wake();

 private:
  struct MappedBuffer {
    void* start = nullptr;
    std::size_t length = 0;
  };

  StreamError fail(int error);
  bool queue(std::uint32_t index);
  void unmapBuffers();

  V4l2Device device_;
  int wakeFd_ = -1;  // eventfd that wake() signals
  V4l2Format format_;
  std::vector<MappedBuffer> buffers_;
  bool streaming_ = false;
  StreamError lastError_ = StreamError::None;
};
