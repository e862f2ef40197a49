#include "v4l2_client.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace client {

std::string nodePath() {
  const char* node = std::getenv("FAKEUVC_NODE");
  return node != nullptr ? node : "/dev/video0";
}

Node::Node(int flags) {
  fd_ = ::open(nodePath().c_str(), flags);
  openError_ = fd_ < 0 ? errno : 0;
}

Node::~Node() {
  if (fd_ >= 0) ::close(fd_);
}

int Node::call(unsigned long request, void* argument) const {
  int result = -1;
  do {
    result = ::ioctl(fd_, request, argument);
  } while (result == -1 && errno == EINTR);
  return result == 0 ? 0 : errno;
}

int Node::setFormat(std::uint32_t fourcc, std::uint32_t width, std::uint32_t height,
                    v4l2_format* result) const {
  v4l2_format format{};
  format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  format.fmt.pix.pixelformat = fourcc;
  format.fmt.pix.width = width;
  format.fmt.pix.height = height;
  format.fmt.pix.field = V4L2_FIELD_ANY;
  const int error = call(VIDIOC_S_FMT, &format);
  if (result != nullptr) *result = format;
  return error;
}

v4l2_format Node::format() const {
  v4l2_format format{};
  format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  EXPECT_EQ(call(VIDIOC_G_FMT, &format), 0);
  return format;
}

int Node::requestBuffers(std::uint32_t count, std::uint32_t* granted) const {
  v4l2_requestbuffers request{};
  request.count = count;
  request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  request.memory = V4L2_MEMORY_MMAP;
  const int error = call(VIDIOC_REQBUFS, &request);
  if (granted != nullptr) *granted = request.count;
  return error;
}

int Node::queue(std::uint32_t index) const {
  v4l2_buffer buffer{};
  buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  buffer.memory = V4L2_MEMORY_MMAP;
  buffer.index = index;
  return call(VIDIOC_QBUF, &buffer);
}

int Node::dequeue(v4l2_buffer& buffer) const {
  buffer = v4l2_buffer{};
  buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  buffer.memory = V4L2_MEMORY_MMAP;
  return call(VIDIOC_DQBUF, &buffer);
}

int Node::streamOn() const {
  int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  return call(VIDIOC_STREAMON, &type);
}

int Node::streamOff() const {
  int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  return call(VIDIOC_STREAMOFF, &type);
}

short Node::poll(int timeoutMs) const {
  pollfd entry{fd_, POLLIN | POLLRDNORM, 0};
  const int ready = ::poll(&entry, 1, timeoutMs);
  EXPECT_GE(ready, 0) << std::strerror(errno);
  return ready > 0 ? entry.revents : 0;
}

MappedBuffers::MappedBuffers(const Node& node, std::uint32_t count) {
  std::uint32_t granted = 0;
  if (node.requestBuffers(count, &granted) != 0 || granted == 0) {
    ADD_FAILURE() << "REQBUFS failed";
    return;
  }
  for (std::uint32_t index = 0; index < granted; ++index) {
    v4l2_buffer buffer{};
    buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    buffer.memory = V4L2_MEMORY_MMAP;
    buffer.index = index;
    if (node.call(VIDIOC_QUERYBUF, &buffer) != 0) {
      ADD_FAILURE() << "QUERYBUF " << index << " failed";
      return;
    }
    void* address =
        ::mmap(nullptr, buffer.length, PROT_READ | PROT_WRITE, MAP_SHARED, node.fd(), buffer.m.offset);
    if (address == MAP_FAILED) {
      ADD_FAILURE() << "mmap of buffer " << index << ": " << std::strerror(errno);
      return;
    }
    maps_.push_back({address, buffer.length});
    if (node.queue(index) != 0) {
      ADD_FAILURE() << "QBUF " << index << " failed";
      return;
    }
  }
  ok_ = true;
}

MappedBuffers::~MappedBuffers() {
  for (const Map& map : maps_) ::munmap(map.address, map.length);
}

std::span<const std::uint8_t> MappedBuffers::bytes(const v4l2_buffer& buffer) const {
  if (buffer.index >= maps_.size()) return {};
  const Map& map = maps_[buffer.index];
  return {static_cast<const std::uint8_t*>(map.address), std::min<std::size_t>(buffer.bytesused, map.length)};
}

std::unique_ptr<MappedBuffers> startStream(const Node& node, std::uint32_t fourcc, std::uint32_t width,
                                           std::uint32_t height, std::uint32_t count) {
  if (const int error = node.setFormat(fourcc, width, height)) {
    ADD_FAILURE() << "S_FMT: " << std::strerror(error);
    return nullptr;
  }
  auto buffers = std::make_unique<MappedBuffers>(node, count);
  if (!buffers->ok()) return nullptr;
  if (const int error = node.streamOn()) {
    ADD_FAILURE() << "STREAMON: " << std::strerror(error);
    return nullptr;
  }
  return buffers;
}

std::optional<v4l2_buffer> nextFrame(const Node& node, int timeoutMs) {
  const short events = node.poll(timeoutMs);
  if ((events & POLLIN) == 0) {
    ADD_FAILURE() << "no frame within " << timeoutMs << " ms (poll events " << events << ")";
    return std::nullopt;
  }
  v4l2_buffer buffer{};
  const int error = node.dequeue(buffer);
  if (error != 0) {
    ADD_FAILURE() << "DQBUF after POLLIN: " << std::strerror(error);
    return std::nullopt;
  }
  return buffer;
}

std::optional<Picture> decodeJpeg(std::span<const std::uint8_t> jpeg) {
  tjhandle decoder = tjInitDecompress();
  Picture picture;
  int subsampling = 0;
  int colourspace = 0;
  bool ok = decoder != nullptr && tjDecompressHeader3(decoder, jpeg.data(), jpeg.size(), &picture.width,
                                                      &picture.height, &subsampling, &colourspace) == 0;
  if (ok) {
    picture.rgb.resize(std::size_t(picture.width) * picture.height * 3);
    ok = tjDecompress2(decoder, jpeg.data(), jpeg.size(), picture.rgb.data(), picture.width, 0,
                       picture.height, TJPF_RGB, 0) == 0;
  }
  if (decoder != nullptr) tjDestroy(decoder);
  if (!ok) return std::nullopt;
  return picture;
}

std::string jpegComment(std::span<const std::uint8_t> jpeg) {
  // Segments follow the start-of-image marker until the scan starts.
  std::size_t at = 2;
  while (at + 4 <= jpeg.size() && jpeg[at] == 0xff && jpeg[at + 1] != 0xda) {
    const std::size_t length = (std::size_t{jpeg[at + 2]} << 8) | jpeg[at + 3];
    if (length < 2 || at + 2 + length > jpeg.size()) break;
    if (jpeg[at + 1] == 0xfe) return std::string(reinterpret_cast<const char*>(&jpeg[at + 4]), length - 2);
    at += 2 + length;
  }
  return {};
}

Picture fromYuyv(std::span<const std::uint8_t> yuyv, int width, int height) {
  const std::size_t pixels = std::size_t(width) * height;
  if (yuyv.size() < pixels * 2) {
    ADD_FAILURE() << "a " << width << "x" << height << " YUYV frame needs " << pixels * 2 << " bytes, got "
                  << yuyv.size();
    return {};
  }
  Picture picture{width, height, std::vector<std::uint8_t>(pixels * 3)};
  auto clamp = [](double value) { return static_cast<std::uint8_t>(std::clamp(value, 0.0, 255.0)); };
  for (std::size_t pixel = 0; pixel < pixels; ++pixel) {
    const std::size_t pair = pixel / 2 * 4;
    const double y = 1.164 * (yuyv[pair + (pixel % 2) * 2] - 16);
    const double u = yuyv[pair + 1] - 128.0;
    const double v = yuyv[pair + 3] - 128.0;
    picture.rgb[pixel * 3] = clamp(y + 1.596 * v);
    picture.rgb[pixel * 3 + 1] = clamp(y - 0.392 * u - 0.813 * v);
    picture.rgb[pixel * 3 + 2] = clamp(y + 2.017 * u);
  }
  return picture;
}

std::optional<Picture> decodeFrame(std::span<const std::uint8_t> frame, const Mode& mode) {
  if (mode.fourcc == fourcc("YUYV"))
    return fromYuyv(frame, static_cast<int>(mode.width), static_cast<int>(mode.height));
  return decodeJpeg(frame);
}

std::string fourccText(std::uint32_t fourcc) {
  std::string text;
  for (int shift = 0; shift < 32; shift += 8) text += static_cast<char>((fourcc >> shift) & 0xff);
  return text;
}

std::uint32_t fourcc(const char (&code)[5]) {
  return v4l2_fourcc(code[0], code[1], code[2], code[3]);
}

}  // namespace client
