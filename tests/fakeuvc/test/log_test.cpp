// FAKEUVC_LOG: one line for each settled S_FMT and each dequeued frame.
#include <gtest/gtest.h>

#include <ctime>
#include <sstream>

#include "log_file.h"
#include "v4l2_client.h"

using client::fourcc;
using client::Node;

namespace {

std::int64_t monotonicMicroseconds() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return std::int64_t{now.tv_sec} * 1'000'000 + now.tv_nsec / 1000;
}

}  // namespace

TEST(Log, RecordsSettledFormatsAndDequeuedFramesWithTheirAge) {
  const LogTail log;
  ASSERT_TRUE(log.configured()) << "needs FAKEUVC_LOG";
  const Node camera;
  const Node other;

  v4l2_format tried{};
  tried.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  tried.fmt.pix.pixelformat = fourcc("YUYV");
  ASSERT_EQ(camera.call(VIDIOC_TRY_FMT, &tried), 0);
  ASSERT_EQ(camera.setFormat(fourcc("MJPG"), 1000, 1000), 0);
  ASSERT_EQ(other.setFormat(fourcc("MJPG"), 640, 480), EBUSY);
  // Only the format that was set, as it settled.
  EXPECT_EQ(log.lines("s_fmt"), std::vector<std::string>{"s_fmt MJPG 1280x720"});

  const client::MappedBuffers buffers(camera, 3);
  ASSERT_TRUE(buffers.ok());
  const std::int64_t started = monotonicMicroseconds();
  ASSERT_EQ(camera.streamOn(), 0);
  std::vector<std::uint32_t> sequences;
  for (int frame = 0; frame < 3; ++frame) {
    const auto buffer = client::nextFrame(camera);
    ASSERT_TRUE(buffer);
    sequences.push_back(buffer->sequence);
    ASSERT_EQ(camera.queue(buffer->index), 0);
  }
  const std::int64_t streamed = monotonicMicroseconds() - started;

  const auto dequeued = log.lines("dqbuf");
  ASSERT_EQ(dequeued.size(), sequences.size());
  for (std::size_t i = 0; i < dequeued.size(); ++i) {
    std::istringstream fields(dequeued[i]);
    std::string word;
    std::uint32_t sequence = 0;
    std::int64_t age = -1;
    fields >> word >> sequence >> age;
    ASSERT_FALSE(fields.fail()) << dequeued[i];
    EXPECT_EQ(sequence, sequences[i]);
    // A frame is never older than the stream it came from.
    EXPECT_GE(age, 0);
    EXPECT_LE(age, streamed);
  }
}
