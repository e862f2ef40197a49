#pragma once

#include <linux/videodev2.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "frames.h"

namespace fakeuvc {

// The capture buffers of one REQBUFS: memory shared with the client through
// mmap, and the order in which buffers go to the camera and come back.
// Buffer memory is one memfd, so a client mapping outlives a REQBUFS that
// frees the buffers (the driver calls such buffers orphaned) without
// pointing at freed memory.
class BufferQueue {
 public:
  // The driver's upper bound for one REQBUFS.
  static constexpr std::uint32_t maxBuffers = 32;

  BufferQueue() = default;
  ~BufferQueue();
  BufferQueue(const BufferQueue&) = delete;
  BufferQueue& operator=(const BufferQueue&) = delete;

  // Replaces the buffers by `count` of `length` bytes each; 0 or an errno.
  int allocate(std::uint32_t count, std::uint32_t length);
  void release();

  bool allocated() const { return !buffers_.empty(); }
  std::uint32_t count() const { return static_cast<std::uint32_t>(buffers_.size()); }

  // 0 or EINVAL when the buffer is not one the client holds.
  int queue(std::uint32_t index);
  bool hasQueued() const { return !queued_.empty(); }
  bool hasDone() const { return !done_.empty(); }
  // Fills the oldest queued buffer with `frame`; false when none is queued.
  bool fill(const FrameImage& frame, std::uint32_t sequence, const timespec& timestamp);
  // The oldest filled buffer, now back with the client.
  std::optional<std::uint32_t> takeDone();
  // Every buffer back with the client, filled or not (STREAMOFF).
  void cancel();

  // QUERYBUF, QBUF and DQBUF answers.
  void describe(std::uint32_t index, v4l2_buffer& out) const;
  // The buffer that `offset` and `length` of an mmap call name, if any.
  std::optional<std::uint32_t> bufferAt(off_t offset, std::size_t length) const;
  int memoryFd() const { return memfd_; }

 private:
  enum class State { Dequeued, Queued, Done };
  struct Buffer {
    State state = State::Dequeued;
    std::uint32_t bytesUsed = 0;
    std::uint32_t sequence = 0;
    timespec timestamp{};
  };

  std::size_t stride() const;

  std::vector<Buffer> buffers_;
  std::deque<std::uint32_t> queued_;
  std::deque<std::uint32_t> done_;
  std::uint32_t length_ = 0;
  int memfd_ = -1;
  std::uint8_t* memory_ = nullptr;  // our own mapping of all buffers
};

}  // namespace fakeuvc
