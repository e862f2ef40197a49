// The frame clock follows FAKEUVC_FPS (10 here) and VIDIOC_S_PARM. A frame
// of sequence s falls due one frame time T after frame s - 1, and is stamped
// within T of falling due (later ones are counted as dropped), so frames i
// and j are between (j - i - 1) T and (j - i + 1) T apart, however slowly
// the test runs.
#include <gtest/gtest.h>

#include "v4l2_client.h"

using client::fourcc;
using client::Node;

namespace {

std::int64_t microseconds(const timeval& time) {
  return std::int64_t{time.tv_sec} * 1'000'000 + time.tv_usec;
}

// Streams `frames` frames in the current format and checks their spacing
// against `periodUs`.
void expectFramesSpacedBy(const Node& camera, std::int64_t periodUs, int frames) {
  const client::MappedBuffers buffers(camera, 3);
  ASSERT_TRUE(buffers.ok());
  ASSERT_EQ(camera.streamOn(), 0);
  const auto first = client::nextFrame(camera);
  ASSERT_TRUE(first);
  ASSERT_EQ(camera.queue(first->index), 0);
  std::optional<v4l2_buffer> last;
  for (int frame = 1; frame < frames; ++frame) {
    last = client::nextFrame(camera);
    ASSERT_TRUE(last);
    ASSERT_EQ(camera.queue(last->index), 0);
  }
  const std::int64_t frameTimes = last->sequence - first->sequence;
  const std::int64_t apart = microseconds(last->timestamp) - microseconds(first->timestamp);
  // Timestamps are whole microseconds: one of slack each way.
  EXPECT_GE(apart, (frameTimes - 1) * periodUs - 1) << frameTimes << " frame times";
  EXPECT_LE(apart, (frameTimes + 1) * periodUs + 1) << frameTimes << " frame times";
  ASSERT_EQ(camera.streamOff(), 0);
  ASSERT_EQ(camera.requestBuffers(0), 0);
}

}  // namespace

TEST(FrameRate, FollowsTheConfiguredRateAndTheRequestedInterval) {
  const Node camera;
  ASSERT_EQ(camera.setFormat(fourcc("MJPG"), 640, 480), 0);
  v4l2_frmivalenum interval{};
  interval.pixel_format = fourcc("MJPG");
  interval.width = 640;
  interval.height = 480;
  ASSERT_EQ(camera.call(VIDIOC_ENUM_FRAMEINTERVALS, &interval), 0);
  EXPECT_EQ(interval.discrete.denominator, 10u) << "the fastest interval offered is 1/FAKEUVC_FPS";

  v4l2_streamparm parameters{};
  parameters.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  ASSERT_EQ(camera.call(VIDIOC_G_PARM, &parameters), 0);
  EXPECT_EQ(parameters.parm.capture.timeperframe.denominator, 10u);
  expectFramesSpacedBy(camera, 100'000, 8);

  parameters.parm.capture.timeperframe = {1, 5};
  ASSERT_EQ(camera.call(VIDIOC_S_PARM, &parameters), 0);
  EXPECT_EQ(parameters.parm.capture.timeperframe.denominator, 5u);
  expectFramesSpacedBy(camera, 200'000, 5);

  // As on the driver, a new format starts at its default rate.
  ASSERT_EQ(camera.setFormat(fourcc("MJPG"), 640, 480), 0);
  ASSERT_EQ(camera.call(VIDIOC_G_PARM, &parameters), 0);
  EXPECT_EQ(parameters.parm.capture.timeperframe.denominator, 10u);
}
