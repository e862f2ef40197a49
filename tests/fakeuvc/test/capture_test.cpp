// Streaming from the node the standard way: buffers, mmap, QBUF, STREAMON,
// poll or select, DQBUF. Runs at the default 30 frames a second.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>
#include <numeric>
#include <thread>

#include "v4l2_client.h"

using client::fourcc;
using client::MappedBuffers;
using client::Mode;
using client::Node;

namespace {

std::string modeName(const testing::TestParamInfo<Mode>& info) {
  return client::fourccText(info.param.fourcc) + "_" + std::to_string(info.param.width) + "x" +
         std::to_string(info.param.height);
}

std::int64_t microseconds(const timeval& time) {
  return std::int64_t{time.tv_sec} * 1'000'000 + time.tv_usec;
}

class CaptureModes : public testing::TestWithParam<Mode> {};

}  // namespace

TEST_P(CaptureModes, DeliversWholeFramesInSequence) {
  const Mode mode = GetParam();
  const Node camera;
  const auto buffers = client::startStream(camera, mode.fourcc, mode.width, mode.height, 4);
  ASSERT_TRUE(buffers);

  std::int64_t lastSequence = -1;
  std::int64_t lastTimestamp = 0;
  for (int frame = 0; frame < 5; ++frame) {
    const auto buffer = client::nextFrame(camera);
    ASSERT_TRUE(buffer);
    EXPECT_GT(static_cast<std::int64_t>(buffer->sequence), lastSequence);
    EXPECT_GT(microseconds(buffer->timestamp), lastTimestamp);
    EXPECT_EQ(buffer->flags & V4L2_BUF_FLAG_TIMESTAMP_MASK, V4L2_BUF_FLAG_TIMESTAMP_MONOTONIC);
    EXPECT_LE(buffer->bytesused, buffer->length);
    lastSequence = buffer->sequence;
    lastTimestamp = microseconds(buffer->timestamp);

    const auto bytes = buffers->bytes(*buffer);
    if (mode.fourcc == fourcc("YUYV")) {
      EXPECT_EQ(buffer->bytesused, mode.width * mode.height * 2);
    } else {
      // Every buffer holds the frame it was filled with.
      EXPECT_EQ(client::jpegComment(bytes), "fakeuvc frame " + std::to_string(buffer->sequence));
    }
    if (frame == 0) {
      const auto picture = client::decodeFrame(bytes, mode);
      ASSERT_TRUE(picture) << "the frame does not decode";
      EXPECT_EQ(picture->width, static_cast<int>(mode.width));
      EXPECT_EQ(picture->height, static_cast<int>(mode.height));
      // The built-in scene: a dark field with something bright on it.
      const double mean =
          std::accumulate(picture->rgb.begin(), picture->rgb.end(), 0.0) / picture->rgb.size();
      EXPECT_LT(mean, 60.0);
      EXPECT_GT(*std::max_element(picture->rgb.begin(), picture->rgb.end()), 200);
    }
    ASSERT_EQ(camera.queue(buffer->index), 0);
  }
  EXPECT_EQ(camera.streamOff(), 0);
}

INSTANTIATE_TEST_SUITE_P(Capture, CaptureModes,
                         testing::Values(Mode{fourcc("MJPG"), 4000, 3000}, Mode{fourcc("MJPG"), 640, 480},
                                         Mode{fourcc("YUYV"), 640, 480}, Mode{fourcc("YUYV"), 320, 240}),
                         modeName);

TEST(Capture, AFullQueueDropsFramesAndTheSequenceSkipsThem) {
  const Node camera;
  const auto buffers = client::startStream(camera, fourcc("MJPG"), 640, 480, 2);
  ASSERT_TRUE(buffers);

  // Keep both buffers: the camera has nowhere to put its frames.
  const auto first = client::nextFrame(camera);
  const auto second = client::nextFrame(camera);
  ASSERT_TRUE(first && second);
  // Nothing to read while no buffer is queued, however long one waits
  // (several frame times here).
  EXPECT_EQ(camera.poll(300), 0);

  ASSERT_EQ(camera.queue(first->index), 0);
  const auto third = client::nextFrame(camera);
  ASSERT_TRUE(third);
  EXPECT_GT(third->sequence, second->sequence + 1) << "the frames sent meanwhile were not counted";
}

TEST(Capture, PollAndSelectReportAFrameOnlyWhileOneWaits) {
  const Node camera;
  ASSERT_EQ(camera.setFormat(fourcc("YUYV"), 320, 240), 0);
  // Before streaming there is nothing to wait for: an error, as the driver
  // reports it.
  EXPECT_EQ(camera.poll(0), POLLERR);

  const MappedBuffers buffers(camera, 2);
  ASSERT_TRUE(buffers.ok());
  ASSERT_EQ(camera.streamOn(), 0);
  const short ready = camera.poll(10000);
  EXPECT_EQ(ready, POLLIN | POLLRDNORM);

  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(camera.fd(), &readable);
  timeval wait{10, 0};
  ASSERT_EQ(::select(camera.fd() + 1, &readable, nullptr, nullptr, &wait), 1);
  EXPECT_TRUE(FD_ISSET(camera.fd(), &readable));

  // Take every filled buffer and keep them: nothing waits any more.
  v4l2_buffer buffer{};
  ASSERT_EQ(camera.dequeue(buffer), 0);
  const auto other = client::nextFrame(camera);
  ASSERT_TRUE(other);
  EXPECT_EQ(camera.poll(0), 0);
  EXPECT_EQ(camera.dequeue(buffer), EAGAIN);
  FD_ZERO(&readable);
  FD_SET(camera.fd(), &readable);
  wait = {0, 100'000};
  EXPECT_EQ(::select(camera.fd() + 1, &readable, nullptr, nullptr, &wait), 0);
}

TEST(Capture, ABlockingDequeueWaitsForAFrameWithoutHoldingUpOtherCalls) {
  const Node camera(O_RDWR);
  const Node controls;
  const auto buffers = client::startStream(camera, fourcc("MJPG"), 640, 480, 2);
  ASSERT_TRUE(buffers);

  v4l2_buffer buffer{};
  ASSERT_EQ(camera.dequeue(buffer), 0) << "a blocking DQBUF returns the next frame";
  ASSERT_EQ(camera.dequeue(buffer), 0);

  // No buffer queued: this one waits until the stream stops.
  auto waiting = std::async(std::launch::async, [&camera] {
    v4l2_buffer none{};
    return camera.dequeue(none);
  });
  ASSERT_EQ(waiting.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
  // Meanwhile the controls answer, as the program's settings window needs.
  v4l2_control gain{V4L2_CID_GAIN, 0};
  EXPECT_EQ(controls.call(VIDIOC_G_CTRL, &gain), 0);
  ASSERT_EQ(camera.streamOff(), 0);
  ASSERT_EQ(waiting.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_EQ(waiting.get(), EINVAL);
}

TEST(Capture, StreamOffHandsEveryBufferBack) {
  const Node camera;
  const auto buffers = client::startStream(camera, fourcc("MJPG"), 640, 480, 3);
  ASSERT_TRUE(buffers);
  ASSERT_TRUE(client::nextFrame(camera));
  // One buffer with the client, the others queued or filled.
  ASSERT_EQ(camera.streamOff(), 0);

  for (std::uint32_t index = 0; index < buffers->count(); ++index) {
    v4l2_buffer buffer{};
    buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    buffer.memory = V4L2_MEMORY_MMAP;
    buffer.index = index;
    ASSERT_EQ(camera.call(VIDIOC_QUERYBUF, &buffer), 0);
    EXPECT_EQ(buffer.flags & (V4L2_BUF_FLAG_QUEUED | V4L2_BUF_FLAG_DONE), 0u) << "buffer " << index;
    EXPECT_EQ(camera.queue(index), 0);
  }
  v4l2_buffer buffer{};
  EXPECT_EQ(camera.dequeue(buffer), EINVAL) << "no frames once the stream is off";
  ASSERT_EQ(camera.streamOn(), 0);
  EXPECT_TRUE(client::nextFrame(camera)) << "the stream starts again";
}

TEST(Capture, BuffersAreGrantedWithinTheDriversLimitAndMappedOnlyAsBuffers) {
  const Node camera;
  ASSERT_EQ(camera.setFormat(fourcc("YUYV"), 320, 240), 0);
  std::uint32_t granted = 0;
  ASSERT_EQ(camera.requestBuffers(100, &granted), 0);
  EXPECT_EQ(granted, 32u);

  v4l2_buffer first{};
  first.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  first.memory = V4L2_MEMORY_MMAP;
  ASSERT_EQ(camera.call(VIDIOC_QUERYBUF, &first), 0);
  EXPECT_EQ(first.length, 320u * 240 * 2);
  first.index = 32;
  EXPECT_EQ(camera.call(VIDIOC_QUERYBUF, &first), EINVAL);

  const auto length = 320u * 240 * 2;
  EXPECT_EQ(::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, camera.fd(), 0), MAP_FAILED) << "private";
  EXPECT_EQ(::mmap(nullptr, length, PROT_READ, MAP_SHARED, camera.fd(), 4096 * 1000), MAP_FAILED) << "offset";
  EXPECT_EQ(::mmap(nullptr, length * 2, PROT_READ, MAP_SHARED, camera.fd(), 0), MAP_FAILED) << "length";

  // A mapping outlives the buffers it maps: freeing them leaves it readable.
  void* mapped = ::mmap(nullptr, length, PROT_READ, MAP_SHARED, camera.fd(), 0);
  ASSERT_NE(mapped, MAP_FAILED);
  ASSERT_EQ(camera.requestBuffers(0, &granted), 0);
  EXPECT_EQ(granted, 0u);
  volatile const std::uint8_t* byte = static_cast<const std::uint8_t*>(mapped);
  EXPECT_EQ(byte[length - 1], 0);
  ::munmap(mapped, length);
}

TEST(Capture, AForkedChildHasACameraOfItsOwn) {
  const Node camera;
  const auto buffers = client::startStream(camera, fourcc("MJPG"), 640, 480, 2);
  ASSERT_TRUE(buffers);
  ASSERT_TRUE(client::nextFrame(camera));

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The parent's stream and its thread stay the parent's: closing the
    // inherited descriptor leaves them alone, and a new open streams anew.
    if (::close(camera.fd()) != 0) ::_exit(1);
    const Node own;
    if (own.setFormat(fourcc("YUYV"), 320, 240) != 0 || own.requestBuffers(1) != 0 || own.queue(0) != 0 ||
        own.streamOn() != 0)
      ::_exit(2);
    pollfd entry{own.fd(), POLLIN, 0};
    if (::poll(&entry, 1, 10000) != 1) ::_exit(3);
    v4l2_buffer buffer{};
    ::_exit(own.dequeue(buffer) == 0 && buffer.bytesused == 320u * 240 * 2 ? 0 : 4);
  }

  int status = 0;
  pid_t done = 0;
  for (int waited = 0; waited < 300 && done == 0; ++waited) {
    done = ::waitpid(child, &status, WNOHANG);
    if (done == 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  if (done == 0) {
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    FAIL() << "the child hung";
  }
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  // And the parent streams on.
  ASSERT_TRUE(client::nextFrame(camera));
}
