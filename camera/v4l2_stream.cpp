#include "camera/v4l2_stream.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Enough for the driver to fill one while the reader copies another and one
// waits; uvcvideo hands out up to 32.
constexpr std::uint32_t bufferCount = 4;

V4l2Format formatOf(const v4l2_format& format) {
  return {format.fmt.pix.pixelformat, static_cast<int>(format.fmt.pix.width),
          static_cast<int>(format.fmt.pix.height), static_cast<int>(format.fmt.pix.bytesperline)};
}

// A request for the driver's memory-mapped capture buffers.
v4l2_requestbuffers bufferRequest(std::uint32_t count) {
  v4l2_requestbuffers request{};
  request.count = count;
  request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  request.memory = V4L2_MEMORY_MMAP;
  return request;
}

// One memory-mapped capture buffer, for QUERYBUF, QBUF and DQBUF.
v4l2_buffer mappedBuffer(std::uint32_t index = 0) {
  v4l2_buffer buffer{};
  buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  buffer.memory = V4L2_MEMORY_MMAP;
  buffer.index = index;
  return buffer;
}

std::int64_t microseconds(const timeval& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1'000'000 + time.tv_usec;
}

}  // namespace

StreamError streamErrorFromErrno(int error) {
  switch (error) {
    case 0: return StreamError::None;
    case EACCES:
    case EPERM: return StreamError::NoAccess;
    case EBUSY: return StreamError::Busy;
    case ENODEV:
    case ENXIO: return StreamError::Gone;
    case EINVAL:
    case ENOTTY: return StreamError::Unsupported;
    default: return StreamError::Failed;
  }
}

V4l2Stream::V4l2Stream() : wakeFd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

V4l2Stream::~V4l2Stream() {
  close();
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

StreamError V4l2Stream::fail(int error) {
  lastError_ = streamErrorFromErrno(error == 0 ? EIO : error);
  return lastError_;
}

StreamError V4l2Stream::open(const std::string& devicePath) {
  close();
  lastError_ = StreamError::None;
  if (!device_.open(devicePath)) return fail(errno);

  v4l2_capability capability{};
  if (const IoctlResult result = device_.ioctl(VIDIOC_QUERYCAP, &capability); !result.ok()) {
    close();
    return fail(result.error);
  }
  const std::uint32_t caps = (capability.capabilities & V4L2_CAP_DEVICE_CAPS) != 0 ? capability.device_caps
                                                                                   : capability.capabilities;
  if ((caps & V4L2_CAP_VIDEO_CAPTURE) == 0 || (caps & V4L2_CAP_STREAMING) == 0) {
    close();
    return fail(ENOTTY);
  }

  v4l2_format current{};
  current.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  if (const IoctlResult result = device_.ioctl(VIDIOC_G_FMT, &current); !result.ok()) {
    close();
    return fail(result.error);
  }
  format_ = formatOf(current);
  return StreamError::None;
}

void V4l2Stream::close() {
  stop();
  device_.close();
}

StreamError V4l2Stream::setFormat(const V4l2Format& wanted) {
  if (streaming_) return fail(EBUSY);
  v4l2_format format{};
  format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  format.fmt.pix.pixelformat = wanted.fourcc;
  format.fmt.pix.width = static_cast<std::uint32_t>(wanted.width);
  format.fmt.pix.height = static_cast<std::uint32_t>(wanted.height);
  format.fmt.pix.field = V4L2_FIELD_ANY;
  if (const IoctlResult result = device_.ioctl(VIDIOC_S_FMT, &format); !result.ok())
    return fail(result.error);
  format_ = formatOf(format);
  return StreamError::None;
}

StreamError V4l2Stream::start() {
  if (streaming_) return StreamError::None;

  v4l2_requestbuffers request = bufferRequest(bufferCount);
  if (const IoctlResult result = device_.ioctl(VIDIOC_REQBUFS, &request); !result.ok())
    return fail(result.error);
  if (request.count == 0) return fail(ENOMEM);

  for (std::uint32_t index = 0; index < request.count; ++index) {
    v4l2_buffer buffer = mappedBuffer(index);
    const IoctlResult result = device_.ioctl(VIDIOC_QUERYBUF, &buffer);
    void* start = result.ok() ? ::mmap(nullptr, buffer.length, PROT_READ, MAP_SHARED, device_.fd(),
                                       static_cast<off_t>(buffer.m.offset))
                              : MAP_FAILED;
    if (start == MAP_FAILED) {
      const int error = result.ok() ? errno : result.error;
      unmapBuffers();
      return fail(error);
    }
    buffers_.push_back({start, buffer.length});
  }

  for (std::uint32_t index = 0; index < buffers_.size(); ++index) {
    if (!queue(index)) {
      const StreamError error = lastError_;
      unmapBuffers();
      return error;
    }
  }
  int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  if (const IoctlResult result = device_.ioctl(VIDIOC_STREAMON, &type); !result.ok()) {
    unmapBuffers();
    return fail(result.error);
  }
  streaming_ = true;
  return StreamError::None;
}

void V4l2Stream::stop() {
  if (streaming_) {
    int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    (void)device_.ioctl(VIDIOC_STREAMOFF, &type);
    streaming_ = false;
  }
  unmapBuffers();
}

void V4l2Stream::unmapBuffers() {
  for (const MappedBuffer& buffer : buffers_) ::munmap(buffer.start, buffer.length);
  if (!buffers_.empty() && device_.isOpen()) {
    // Gives the buffers back, so the format can change and another program
    // can stream once this one has stopped.
    v4l2_requestbuffers request = bufferRequest(0);
    (void)device_.ioctl(VIDIOC_REQBUFS, &request);
  }
  buffers_.clear();
}

bool V4l2Stream::queue(std::uint32_t index) {
  v4l2_buffer buffer = mappedBuffer(index);
  if (const IoctlResult result = device_.ioctl(VIDIOC_QBUF, &buffer); !result.ok()) {
    fail(result.error);
    return false;
  }
  return true;
}

void V4l2Stream::wake() {
  if (wakeFd_ >= 0) (void)::eventfd_write(wakeFd_, 1);
}

V4l2Stream::Wait V4l2Stream::waitNewest(RawFrame& frame, int timeoutMs) {
  if (!streaming_) {
    fail(EINVAL);
    return Wait::Error;
  }
  pollfd watched[2] = {{device_.fd(), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
  int ready = 0;
  do {
    ready = ::poll(watched, wakeFd_ >= 0 ? 2 : 1, timeoutMs);
  } while (ready < 0 && errno == EINTR);
  if (ready < 0) {
    fail(errno);
    return Wait::Error;
  }
  if ((watched[1].revents & POLLIN) != 0) {
    eventfd_t count = 0;
    (void)::eventfd_read(wakeFd_, &count);
    return Wait::Woken;
  }
  if (ready == 0) return Wait::TimedOut;

  // Drain: every frame but the newest goes back to the driver at once.
  v4l2_buffer newest{};
  bool haveNewest = false;
  for (;;) {
    v4l2_buffer buffer = mappedBuffer();
    const IoctlResult result = device_.ioctl(VIDIOC_DQBUF, &buffer);
    if (!result.ok()) {
      if (result.error == EAGAIN) break;
      if (haveNewest) (void)queue(newest.index);
      fail(result.error);
      return Wait::Error;
    }
    if (buffer.index >= buffers_.size()) {
      fail(EIO);
      return Wait::Error;
    }
    if (haveNewest && !queue(newest.index)) return Wait::Error;
    newest = buffer;
    haveNewest = true;
  }
  if (!haveNewest) {
    // An error condition with nothing to take: uvcvideo reports a pulled
    // cable this way, and waiting again would only spin.
    if ((watched[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
      fail(ENODEV);
      return Wait::Error;
    }
    return Wait::TimedOut;
  }

  const MappedBuffer& mapped = buffers_[newest.index];
  const std::size_t used = newest.bytesused <= mapped.length ? newest.bytesused : mapped.length;
  const bool damaged = (newest.flags & V4L2_BUF_FLAG_ERROR) != 0 || used == 0;
  frame.bytes.resize(used);
  if (used > 0) std::memcpy(frame.bytes.data(), mapped.start, used);
  frame.fourcc = format_.fourcc;
  frame.width = format_.width;
  frame.height = format_.height;
  frame.bytesPerLine = format_.bytesPerLine;
  frame.sequence = newest.sequence;
  frame.timestampUs = microseconds(newest.timestamp);
  if (!queue(newest.index)) return Wait::Error;
  // A frame the driver marks as damaged is no frame; the caller waits again.
  return damaged ? Wait::TimedOut : Wait::Frame;
}
