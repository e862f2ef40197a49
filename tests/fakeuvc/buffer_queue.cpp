#include "buffer_queue.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>

#include "libc_next.h"

namespace fakeuvc {

namespace {

std::size_t pageAligned(std::size_t bytes) {
  const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  return (bytes + page - 1) / page * page;
}

}  // namespace

BufferQueue::~BufferQueue() {
  release();
}

std::size_t BufferQueue::stride() const {
  return pageAligned(length_);
}

int BufferQueue::allocate(std::uint32_t count, std::uint32_t length) {
  release();
  length_ = length;
  const std::size_t total = stride() * count;
  memfd_ = ::memfd_create("fakeuvc-buffers", MFD_CLOEXEC);
  if (memfd_ < 0 || ::ftruncate(memfd_, static_cast<off_t>(total)) != 0) {
    release();
    return ENOMEM;
  }
  void* mapped = libc::mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_SHARED, memfd_, 0);
  if (mapped == MAP_FAILED) {
    release();
    return ENOMEM;
  }
  memory_ = static_cast<std::uint8_t*>(mapped);
  buffers_.assign(count, Buffer{});
  return 0;
}

void BufferQueue::release() {
  if (memory_ != nullptr) libc::munmap(memory_, stride() * buffers_.size());
  if (memfd_ >= 0) libc::close(memfd_);
  memory_ = nullptr;
  memfd_ = -1;
  buffers_.clear();
  queued_.clear();
  done_.clear();
  length_ = 0;
}

int BufferQueue::queue(std::uint32_t index) {
  if (index >= buffers_.size() || buffers_[index].state != State::Dequeued) return EINVAL;
  buffers_[index].state = State::Queued;
  buffers_[index].bytesUsed = 0;
  queued_.push_back(index);
  return 0;
}

bool BufferQueue::fill(const FrameImage& frame, std::uint32_t sequence, const timespec& timestamp) {
  if (queued_.empty()) return false;
  const std::uint32_t index = queued_.front();
  queued_.pop_front();
  Buffer& buffer = buffers_[index];
  buffer.bytesUsed =
      static_cast<std::uint32_t>(writeFrame(frame, sequence, memory_ + stride() * index, length_));
  buffer.sequence = sequence;
  buffer.timestamp = timestamp;
  buffer.state = State::Done;
  done_.push_back(index);
  return true;
}

std::optional<std::uint32_t> BufferQueue::takeDone() {
  if (done_.empty()) return std::nullopt;
  const std::uint32_t index = done_.front();
  done_.pop_front();
  buffers_[index].state = State::Dequeued;
  return index;
}

void BufferQueue::cancel() {
  for (Buffer& buffer : buffers_) buffer.state = State::Dequeued;
  queued_.clear();
  done_.clear();
}

void BufferQueue::describe(std::uint32_t index, v4l2_buffer& out) const {
  const Buffer& buffer = buffers_[index];
  out = v4l2_buffer{};
  out.index = index;
  out.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  out.memory = V4L2_MEMORY_MMAP;
  out.field = V4L2_FIELD_NONE;
  out.length = length_;
  out.m.offset = static_cast<std::uint32_t>(stride() * index);
  out.flags = V4L2_BUF_FLAG_TIMESTAMP_MONOTONIC | V4L2_BUF_FLAG_TSTAMP_SRC_SOE;
  if (buffer.state == State::Queued) out.flags |= V4L2_BUF_FLAG_QUEUED;
  if (buffer.state == State::Done) out.flags |= V4L2_BUF_FLAG_DONE;
  out.bytesused = buffer.bytesUsed;
  out.sequence = buffer.sequence;
  out.timestamp.tv_sec = buffer.timestamp.tv_sec;
  out.timestamp.tv_usec = buffer.timestamp.tv_nsec / 1000;
}

std::optional<std::uint32_t> BufferQueue::bufferAt(off_t offset, std::size_t length) const {
  if (buffers_.empty() || offset < 0 || length == 0 || length > stride()) return std::nullopt;
  const auto position = static_cast<std::size_t>(offset);
  if (position % stride() != 0 || position / stride() >= buffers_.size()) return std::nullopt;
  return static_cast<std::uint32_t>(position / stride());
}

}  // namespace fakeuvc
