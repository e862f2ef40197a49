#pragma once

#include <linux/videodev2.h>
#include <poll.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "buffer_queue.h"
#include "controls.h"
#include "formats.h"

namespace fakeuvc {

// One open of the node. Its descriptor is an eventfd that is readable
// exactly while poll on the node would report something, so poll, select
// and epoll can wait on it natively.
struct OpenFile {
  int fd = -1;
  bool signalled = false;  // the eventfd counter is 1
  bool closed = false;
  std::uint32_t priority = V4L2_PRIORITY_DEFAULT;
};

// The camera and its driver, shared by every open in the process (format,
// controls and buffers are the device's, not a descriptor's). One mutex
// guards it all; a blocking DQBUF waits without holding it.
class Device {
 public:
  static Device& instance();

  // Opens the node: the new file, or nullptr with `error` set.
  std::shared_ptr<OpenFile> open(int flags, int& error);
  // The last close of `file`'s descriptor.
  void release(const std::shared_ptr<OpenFile>& file);
  // 0 or the errno the driver would return.
  int ioctl(const std::shared_ptr<OpenFile>& file, unsigned long request, void* argument);
  // mmap of a buffer: the address, or MAP_FAILED with `error` set.
  void* map(void* hint, std::size_t length, int protection, int flags, off_t offset, int& error);
  // What poll reports for `requested` events.
  short pollEvents(short requested);
  // read() and write(): the driver has neither.
  int readWriteError();

 private:
  struct StreamSession {
    Mode mode;
    std::chrono::nanoseconds period{};
    bool stopped = false;
  };

  Device();
  int dispatch(OpenFile& file, unsigned long request, void* argument, std::unique_lock<std::mutex>& lock);

  // Privileges, as the driver hands them out: the first open that sets the
  // format, frame rate or input, or requests buffers, owns the stream until
  // it frees the buffers or closes.
  int acquire(OpenFile& file);
  bool owns(const OpenFile& file) const;

  int setFormat(OpenFile& file, v4l2_format& format);
  int setParameters(OpenFile& file, v4l2_streamparm& parameters);
  void describeParameters(v4l2_streamparm& parameters) const;
  int requestBuffers(OpenFile& file, v4l2_requestbuffers& request);
  int queueBuffer(OpenFile& file, v4l2_buffer& buffer);
  int dequeueBuffer(OpenFile& file, v4l2_buffer& buffer, std::unique_lock<std::mutex>& lock);
  int streamOn(OpenFile& file, const int* type);
  int streamOff(OpenFile& file, const int* type);
  int priority(OpenFile& file, unsigned long request, std::uint32_t* value);

  void startStream();
  void stopStream();
  void unplug();
  void produce(std::shared_ptr<StreamSession> session);
  // Sets each open's eventfd to what poll would report now.
  void updateReadiness();
  short pollEventsLocked(short requested) const;

  std::mutex mutex_;
  std::condition_variable bufferDone_;  // DQBUF waiters
  std::condition_variable clockWake_;   // the producer, when stopped
  std::vector<std::shared_ptr<OpenFile>> files_;
  OpenFile* owner_ = nullptr;
  Mode mode_;
  std::vector<v4l2_fract> intervals_;
  v4l2_fract interval_{};
  ControlSet controls_;
  BufferQueue buffers_;
  bool streaming_ = false;
  bool waitingForBuffers_ = true;
  std::shared_ptr<StreamSession> session_;
  std::thread producer_;
  std::vector<std::thread> retired_;  // producers to join once the lock is released
  std::uint64_t dequeued_ = 0;
  bool unplugged_ = false;
};

}  // namespace fakeuvc
