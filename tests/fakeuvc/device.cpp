#include "device.h"

#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/mman.h>
#include <sys/utsname.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "event_log.h"
#include "libc_next.h"
#include "node_path.h"
#include "settings.h"

namespace fakeuvc {

namespace {

constexpr std::uint32_t captureType = V4L2_BUF_TYPE_VIDEO_CAPTURE;

template <std::size_t N>
void copyText(std::uint8_t (&field)[N], const std::string& text) {
  // Like the kernel's strscpy: cut to the field, always terminated.
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), std::min(text.size(), N - 1));
}

// The running kernel's version, as the V4L2 core reports it.
std::uint32_t kernelVersion() {
  utsname name{};
  unsigned major = 0;
  unsigned minor = 0;
  unsigned patch = 0;
  if (::uname(&name) == 0) std::sscanf(name.release, "%u.%u.%u", &major, &minor, &patch);
  return (major << 16) | (std::min(minor, 255u) << 8) | std::min(patch, 255u);
}

// Requests the V4L2 core refuses with EBUSY while another open holds a
// higher priority.
bool checksPriority(unsigned long request) {
  switch (request) {
    case VIDIOC_S_FMT:
    case VIDIOC_S_PARM:
    case VIDIOC_S_INPUT:
    case VIDIOC_REQBUFS:
    case VIDIOC_STREAMON:
    case VIDIOC_STREAMOFF:
    case VIDIOC_S_CTRL:
    case VIDIOC_S_EXT_CTRLS:
    case VIDIOC_S_PRIORITY: return true;
    default: return false;
  }
}

std::int64_t microseconds(const timespec& time) {
  return std::int64_t{time.tv_sec} * 1'000'000 + time.tv_nsec / 1000;
}

}  // namespace

Device& Device::instance() {
  // Never destroyed: a stream may still run while the process exits.
  static Device* const device = new Device();
  return *device;
}

Device::Device() {
  const Settings& config = settings();
  mode_ = settle(config.startFourcc, config.startWidth, config.startHeight);
  intervals_ = frameIntervals(config.framesPerSecond);
  interval_ = intervals_.front();
}

std::shared_ptr<OpenFile> Device::open(int flags, int& error) {
  if (!node::present()) {
    error = ENOENT;
    return nullptr;
  }
  if (settings().openFailsWithEacces) {
    error = EACCES;
    return nullptr;
  }
  if ((flags & O_DIRECTORY) != 0) {
    error = ENOTDIR;
    return nullptr;
  }
  if ((flags & O_CREAT) != 0 && (flags & O_EXCL) != 0) {
    error = EEXIST;
    return nullptr;
  }
  int eventFlags = 0;
  if ((flags & O_CLOEXEC) != 0) eventFlags |= EFD_CLOEXEC;
  if ((flags & O_NONBLOCK) != 0) eventFlags |= EFD_NONBLOCK;
  const int fd = ::eventfd(0, eventFlags);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  auto file = std::make_shared<OpenFile>();
  file->fd = fd;
  const std::lock_guard lock(mutex_);
  files_.push_back(file);
  updateReadiness();
  return file;
}

void Device::release(const std::shared_ptr<OpenFile>& file) {
  std::unique_lock lock(mutex_);
  file->closed = true;
  files_.erase(std::remove(files_.begin(), files_.end(), file), files_.end());
  if (owner_ == file.get()) {
    // Closing the owner stops the stream and frees its buffers.
    stopStream();
    buffers_.release();
    owner_ = nullptr;
  }
  bufferDone_.notify_all();
  updateReadiness();
  std::vector<std::thread> retired = std::move(retired_);
  retired_.clear();
  lock.unlock();
  for (std::thread& thread : retired) thread.join();
}

int Device::ioctl(const std::shared_ptr<OpenFile>& file, unsigned long request, void* argument) {
  std::unique_lock lock(mutex_);
  int result = 0;
  if (unplugged_)
    result = ENODEV;
  else if (file->closed)
    result = EBADF;
  else if (argument == nullptr && _IOC_SIZE(request) > 0)
    result = EFAULT;
  else
    result = dispatch(*file, request, argument, lock);
  std::vector<std::thread> retired = std::move(retired_);
  retired_.clear();
  lock.unlock();
  for (std::thread& thread : retired) thread.join();
  return result;
}

int Device::dispatch(OpenFile& file, unsigned long request, void* argument,
                     std::unique_lock<std::mutex>& lock) {
  if (checksPriority(request)) {
    for (const auto& other : files_)
      if (other.get() != &file && other->priority > file.priority) return EBUSY;
  }

  switch (request) {
    case VIDIOC_QUERYCAP: {
      auto& capability = *static_cast<v4l2_capability*>(argument);
      capability = v4l2_capability{};
      copyText(capability.driver, "uvcvideo");
      copyText(capability.card, settings().card);
      copyText(capability.bus_info, "usb-0000:00:14.0-1");
      capability.version = kernelVersion();
      capability.device_caps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING | V4L2_CAP_EXT_PIX_FORMAT;
      capability.capabilities = capability.device_caps | V4L2_CAP_DEVICE_CAPS;
      return 0;
    }
    case VIDIOC_ENUM_FMT: {
      auto& description = *static_cast<v4l2_fmtdesc*>(argument);
      const auto formats = supportedFormats();
      if (description.type != captureType || description.index >= formats.size()) return EINVAL;
      const FormatInfo& format = formats[description.index];
      const std::uint32_t index = description.index;
      description = v4l2_fmtdesc{};
      description.index = index;
      description.type = captureType;
      description.flags = format.flags;
      copyText(description.description, format.description);
      description.pixelformat = format.fourcc;
      return 0;
    }
    case VIDIOC_G_FMT: {
      auto& format = *static_cast<v4l2_format*>(argument);
      if (format.type != captureType) return EINVAL;
      std::memset(&format.fmt, 0, sizeof format.fmt);
      describe(mode_, format.fmt.pix);
      return 0;
    }
    case VIDIOC_TRY_FMT: {
      auto& format = *static_cast<v4l2_format*>(argument);
      if (format.type != captureType) return EINVAL;
      const Mode mode = settle(format.fmt.pix.pixelformat, format.fmt.pix.width, format.fmt.pix.height);
      describe(mode, format.fmt.pix);
      return 0;
    }
    case VIDIOC_S_FMT: return setFormat(file, *static_cast<v4l2_format*>(argument));
    case VIDIOC_ENUM_FRAMESIZES: {
      auto& size = *static_cast<v4l2_frmsizeenum*>(argument);
      const FormatInfo* format = findFormat(size.pixel_format);
      if (format == nullptr || size.index >= format->sizes.size()) return EINVAL;
      size.type = V4L2_FRMSIZE_TYPE_DISCRETE;
      size.discrete = {format->sizes[size.index].width, format->sizes[size.index].height};
      std::memset(size.reserved, 0, sizeof size.reserved);
      return 0;
    }
    case VIDIOC_ENUM_FRAMEINTERVALS: {
      auto& interval = *static_cast<v4l2_frmivalenum*>(argument);
      const FormatInfo* format = findFormat(interval.pixel_format);
      if (format == nullptr || interval.index >= intervals_.size()) return EINVAL;
      const bool offered =
          std::any_of(format->sizes.begin(), format->sizes.end(), [&](const FrameSize& size) {
            return size.width == interval.width && size.height == interval.height;
          });
      if (!offered) return EINVAL;
      interval.type = V4L2_FRMIVAL_TYPE_DISCRETE;
      interval.discrete = intervals_[interval.index];
      std::memset(interval.reserved, 0, sizeof interval.reserved);
      return 0;
    }
    case VIDIOC_G_PARM: {
      auto& parameters = *static_cast<v4l2_streamparm*>(argument);
      if (parameters.type != captureType) return EINVAL;
      describeParameters(parameters);
      return 0;
    }
    case VIDIOC_S_PARM: return setParameters(file, *static_cast<v4l2_streamparm*>(argument));
    case VIDIOC_ENUMINPUT: {
      auto& input = *static_cast<v4l2_input*>(argument);
      if (input.index != 0) return EINVAL;
      input = v4l2_input{};
      copyText(input.name, "Camera 1");
      input.type = V4L2_INPUT_TYPE_CAMERA;
      return 0;
    }
    case VIDIOC_G_INPUT: *static_cast<int*>(argument) = 0; return 0;
    case VIDIOC_S_INPUT: {
      if (const int error = acquire(file)) return error;
      return *static_cast<int*>(argument) == 0 ? 0 : EINVAL;
    }
    case VIDIOC_QUERYCTRL: return controls_.query(*static_cast<v4l2_queryctrl*>(argument));
    case VIDIOC_QUERY_EXT_CTRL: return controls_.queryExtended(*static_cast<v4l2_query_ext_ctrl*>(argument));
    case VIDIOC_QUERYMENU: return controls_.queryMenu(*static_cast<v4l2_querymenu*>(argument));
    case VIDIOC_G_CTRL: return controls_.get(*static_cast<v4l2_control*>(argument));
    case VIDIOC_S_CTRL: return controls_.set(*static_cast<v4l2_control*>(argument));
    case VIDIOC_G_EXT_CTRLS:
    case VIDIOC_S_EXT_CTRLS:
    case VIDIOC_TRY_EXT_CTRLS: return controls_.extended(request, *static_cast<v4l2_ext_controls*>(argument));
    case VIDIOC_CROPCAP: {
      // The V4L2 core answers this from the selection bounds: no cropping.
      auto& crop = *static_cast<v4l2_cropcap*>(argument);
      if (crop.type != captureType) return EINVAL;
      const v4l2_rect full{0, 0, mode_.width, mode_.height};
      crop.bounds = full;
      crop.defrect = full;
      crop.pixelaspect = {1, 1};
      return 0;
    }
    case VIDIOC_G_SELECTION: {
      auto& selection = *static_cast<v4l2_selection*>(argument);
      if (selection.type != captureType) return EINVAL;
      if (selection.target != V4L2_SEL_TGT_CROP_DEFAULT && selection.target != V4L2_SEL_TGT_CROP_BOUNDS)
        return EINVAL;
      selection.r = {0, 0, mode_.width, mode_.height};
      return 0;
    }
    // The current crop rectangle is not a selection target the driver has.
    case VIDIOC_G_CROP: return EINVAL;
    case VIDIOC_G_PRIORITY:
    case VIDIOC_S_PRIORITY: return priority(file, request, static_cast<std::uint32_t*>(argument));
    case VIDIOC_REQBUFS: return requestBuffers(file, *static_cast<v4l2_requestbuffers*>(argument));
    case VIDIOC_QUERYBUF: {
      auto& buffer = *static_cast<v4l2_buffer*>(argument);
      if (!owns(file)) return EBUSY;
      if (buffer.type != captureType || buffer.index >= buffers_.count()) return EINVAL;
      buffers_.describe(buffer.index, buffer);
      return 0;
    }
    case VIDIOC_QBUF: return queueBuffer(file, *static_cast<v4l2_buffer*>(argument));
    case VIDIOC_DQBUF: return dequeueBuffer(file, *static_cast<v4l2_buffer*>(argument), lock);
    case VIDIOC_STREAMON: return streamOn(file, static_cast<const int*>(argument));
    case VIDIOC_STREAMOFF: return streamOff(file, static_cast<const int*>(argument));
    // The driver sends control-change events only, which this camera does
    // not emulate; no event is ever pending.
    case VIDIOC_SUBSCRIBE_EVENT: return EINVAL;
    case VIDIOC_UNSUBSCRIBE_EVENT: return 0;
    case VIDIOC_DQEVENT: return ENOENT;
    default: return ENOTTY;
  }
}

int Device::acquire(OpenFile& file) {
  if (settings().heldByAnotherProgram) return EBUSY;
  if (owner_ == &file) return 0;
  if (owner_ != nullptr) return EBUSY;
  owner_ = &file;
  return 0;
}

bool Device::owns(const OpenFile& file) const {
  return !settings().heldByAnotherProgram && owner_ == &file;
}

int Device::setFormat(OpenFile& file, v4l2_format& format) {
  if (format.type != captureType) return EINVAL;
  if (const int error = acquire(file)) return error;
  const Mode mode = settle(format.fmt.pix.pixelformat, format.fmt.pix.width, format.fmt.pix.height);
  describe(mode, format.fmt.pix);
  if (buffers_.allocated()) return EBUSY;
  mode_ = mode;
  // A new format starts at its size's default rate.
  interval_ = intervals_.front();
  logEvent("s_fmt " + fourccText(mode.fourcc) + " " + std::to_string(mode.width) + "x" +
           std::to_string(mode.height));
  return 0;
}

void Device::describeParameters(v4l2_streamparm& parameters) const {
  parameters = v4l2_streamparm{};
  parameters.type = captureType;
  parameters.parm.capture.capability = V4L2_CAP_TIMEPERFRAME;
  parameters.parm.capture.timeperframe = interval_;
}

int Device::setParameters(OpenFile& file, v4l2_streamparm& parameters) {
  if (parameters.type != captureType) return EINVAL;
  if (const int error = acquire(file)) return error;
  if (streaming_) return EBUSY;
  interval_ = nearestInterval(intervals_, parameters.parm.capture.timeperframe);
  describeParameters(parameters);
  return 0;
}

int Device::priority(OpenFile& file, unsigned long request, std::uint32_t* value) {
  if (request == VIDIOC_G_PRIORITY) {
    std::uint32_t highest = V4L2_PRIORITY_UNSET;
    for (const auto& other : files_) highest = std::max(highest, other->priority);
    *value = highest;
    return 0;
  }
  if (*value != V4L2_PRIORITY_BACKGROUND && *value != V4L2_PRIORITY_INTERACTIVE &&
      *value != V4L2_PRIORITY_RECORD)
    return EINVAL;
  file.priority = *value;
  return 0;
}

int Device::requestBuffers(OpenFile& file, v4l2_requestbuffers& request) {
  if (const int error = acquire(file)) return error;
  if (request.type != captureType || request.memory != V4L2_MEMORY_MMAP) return EINVAL;
  if (streaming_) return EBUSY;
  buffers_.release();
  waitingForBuffers_ = true;
  const std::uint32_t count = std::min(request.count, BufferQueue::maxBuffers);
  if (count > 0) {
    if (const int error = buffers_.allocate(count, frameBufferSize(mode_))) return error;
  } else {
    owner_ = nullptr;  // freeing the buffers gives the stream up
  }
  request.count = count;
  request.capabilities = V4L2_BUF_CAP_SUPPORTS_MMAP | V4L2_BUF_CAP_SUPPORTS_ORPHANED_BUFS;
  request.flags = 0;
  std::memset(request.reserved, 0, sizeof request.reserved);
  updateReadiness();
  return 0;
}

int Device::queueBuffer(OpenFile& file, v4l2_buffer& buffer) {
  if (!owns(file)) return EBUSY;
  if (buffer.type != captureType || buffer.memory != V4L2_MEMORY_MMAP) return EINVAL;
  const std::uint32_t index = buffer.index;
  if (const int error = buffers_.queue(index)) return error;
  waitingForBuffers_ = false;
  buffers_.describe(index, buffer);
  updateReadiness();
  return 0;
}

int Device::dequeueBuffer(OpenFile& file, v4l2_buffer& buffer, std::unique_lock<std::mutex>& lock) {
  if (!owns(file)) return EBUSY;
  if (buffer.type != captureType) return EINVAL;
  const auto& unplugAfter = settings().unplugAfter;
  if (unplugAfter && dequeued_ >= *unplugAfter) {
    unplug();
    return ENODEV;
  }
  while (!buffers_.hasDone()) {
    if (!streaming_) return EINVAL;
    if ((::fcntl(file.fd, F_GETFL) & O_NONBLOCK) != 0) return EAGAIN;
    bufferDone_.wait(lock);
    if (file.closed) return EBADF;
    if (unplugged_) return ENODEV;
  }
  const std::uint32_t index = *buffers_.takeDone();
  buffers_.describe(index, buffer);
  ++dequeued_;

  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  const timespec stamp{buffer.timestamp.tv_sec, buffer.timestamp.tv_usec * 1000};
  logEvent("dqbuf " + std::to_string(buffer.sequence) + " " +
           std::to_string(microseconds(now) - microseconds(stamp)));

  if (unplugAfter && dequeued_ >= *unplugAfter) unplug();
  updateReadiness();
  return 0;
}

int Device::streamOn(OpenFile& file, const int* type) {
  if (!owns(file)) return EBUSY;
  if (*type != static_cast<int>(captureType)) return EINVAL;
  if (streaming_) return 0;
  if (!buffers_.allocated()) return EINVAL;
  try {
    startStream();
  } catch (const std::exception&) {
    streaming_ = false;
    return ENOMEM;
  }
  updateReadiness();
  return 0;
}

int Device::streamOff(OpenFile& file, const int* type) {
  if (!owns(file)) return EBUSY;
  if (*type != static_cast<int>(captureType)) return EINVAL;
  stopStream();
  updateReadiness();
  return 0;
}

void Device::startStream() {
  auto session = std::make_shared<StreamSession>();
  session->mode = mode_;
  session->period = std::chrono::nanoseconds(std::int64_t{1'000'000'000} * interval_.numerator /
                                             std::max<std::uint32_t>(interval_.denominator, 1));
  producer_ = std::thread(&Device::produce, this, session);
  session_ = std::move(session);
  streaming_ = true;
}

void Device::stopStream() {
  if (session_) session_->stopped = true;
  session_.reset();
  if (producer_.joinable()) retired_.push_back(std::move(producer_));
  clockWake_.notify_all();
  streaming_ = false;
  waitingForBuffers_ = true;
  buffers_.cancel();
  bufferDone_.notify_all();
}

void Device::unplug() {
  unplugged_ = true;
  node::unplug();
  stopStream();
  updateReadiness();
}

void Device::produce(std::shared_ptr<StreamSession> session) {
  // Made before the clock starts, so a large first encode shows up as a
  // slow stream start rather than as lost frames.
  std::shared_ptr<const FrameImage> frame;
  try {
    frame = frameImage(session->mode);
  } catch (const std::exception& error) {
    warn(std::string("cannot make frames: ") + error.what());
    return;
  }

  using Clock = std::chrono::steady_clock;  // CLOCK_MONOTONIC, like the buffer timestamps
  std::unique_lock lock(mutex_);
  std::uint32_t sequence = 0;
  Clock::time_point due = Clock::now() + session->period;
  while (true) {
    if (clockWake_.wait_until(lock, due, [&session] { return session->stopped; })) return;
    // Frames that fell due while this thread was held up had no buffer to
    // go to; the sequence counts them all the same.
    const auto late = Clock::now() - due;
    if (late >= session->period) {
      const auto missed = late / session->period;
      sequence += static_cast<std::uint32_t>(missed);
      due += missed * session->period;
    }
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    // With no buffer queued the frame is dropped, as on the camera.
    if (buffers_.fill(*frame, sequence, now)) {
      bufferDone_.notify_all();
      updateReadiness();
    }
    ++sequence;
    due += session->period;
  }
}

short Device::pollEventsLocked(short requested) const {
  short events = 0;
  if (unplugged_)
    events = POLLERR | POLLHUP | POLLPRI;
  else if ((requested & (POLLIN | POLLRDNORM)) == 0)
    events = 0;
  else if (!streaming_ || waitingForBuffers_)
    events = POLLERR;  // nothing to wait for
  else if (buffers_.hasDone())
    events = POLLIN | POLLRDNORM;
  return static_cast<short>(events & (requested | POLLERR | POLLHUP));
}

short Device::pollEvents(short requested) {
  const std::lock_guard lock(mutex_);
  return pollEventsLocked(requested);
}

int Device::readWriteError() {
  const std::lock_guard lock(mutex_);
  return unplugged_ ? ENODEV : EINVAL;
}

void* Device::map(void* hint, std::size_t length, int protection, int flags, off_t offset, int& error) {
  const std::lock_guard lock(mutex_);
  if (unplugged_) {
    error = ENODEV;
    return MAP_FAILED;
  }
  const int sharing = flags & MAP_TYPE;
  if ((sharing != MAP_SHARED && sharing != MAP_SHARED_VALIDATE) || (protection & PROT_READ) == 0 ||
      !buffers_.bufferAt(offset, length)) {
    error = EINVAL;
    return MAP_FAILED;
  }
  void* address = libc::mmap(hint, length, protection, flags, buffers_.memoryFd(), offset);
  if (address == MAP_FAILED) error = errno;
  return address;
}

void Device::updateReadiness() {
  const bool ready = pollEventsLocked(POLLIN | POLLRDNORM) != 0;
  for (const auto& file : files_) {
    if (file->signalled == ready) continue;
    std::uint64_t counter = 1;
    const ssize_t done = ready ? libc::write(file->fd, &counter, sizeof counter)
                               : libc::read(file->fd, &counter, sizeof counter);
    if (done == static_cast<ssize_t>(sizeof counter)) file->signalled = ready;
  }
}

}  // namespace fakeuvc
