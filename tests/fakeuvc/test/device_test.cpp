// What a client learns from the node before it streams: the listing, the
// capabilities, the formats and how requests for them settle, and who may
// change them. Run with FAKEUVC_CARD=" vexa4.0" and FAKEUVC_NODE=/dev/video5.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "v4l2_client.h"

using client::fourcc;
using client::Node;

namespace {

std::string text(const std::uint8_t* field, std::size_t size) {
  const auto* chars = reinterpret_cast<const char*>(field);
  return std::string(chars, ::strnlen(chars, size));
}

}  // namespace

TEST(Device, IsListedInItsDirectoryAsACaptureNode) {
  // The way the program's discovery walks /dev.
  const std::filesystem::path node = client::nodePath();
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(node.parent_path()))
    names.push_back(entry.path().filename().string());
  EXPECT_EQ(std::count(names.begin(), names.end(), node.filename().string()), 1);

  struct stat status {};
  ASSERT_EQ(::stat(node.c_str(), &status), 0);
  EXPECT_TRUE(S_ISCHR(status.st_mode));
  EXPECT_EQ(major(status.st_rdev), 81u);
  EXPECT_EQ(minor(status.st_rdev), 5u);

  const Node camera;
  ASSERT_TRUE(camera.isOpen()) << std::strerror(camera.openError());
  struct stat opened {};
  ASSERT_EQ(::fstat(camera.fd(), &opened), 0);
  EXPECT_EQ(opened.st_rdev, status.st_rdev);
}

TEST(Device, QueryCapReportsTheCardNameVerbatim) {
  const Node camera;
  v4l2_capability capability{};
  ASSERT_EQ(camera.call(VIDIOC_QUERYCAP, &capability), 0);
  EXPECT_EQ(text(capability.card, sizeof capability.card), " vexa4.0");
  EXPECT_EQ(text(capability.driver, sizeof capability.driver), "uvcvideo");
  EXPECT_NE(capability.capabilities & V4L2_CAP_DEVICE_CAPS, 0u);
  EXPECT_EQ(capability.device_caps & (V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING),
            V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING);
  EXPECT_EQ(capability.device_caps & (V4L2_CAP_READWRITE | V4L2_CAP_VIDEO_OUTPUT), 0u);
}

TEST(Device, EnumeratesFormatsSizesAndIntervals) {
  const Node camera;
  struct Expected {
    std::uint32_t fourcc;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> sizes;
  };
  const std::vector<Expected> expected{
      {fourcc("MJPG"), {{4000, 3000}, {3840, 2160}, {3264, 2448}, {1920, 1080}, {1280, 720}, {640, 480}}},
      {fourcc("YUYV"), {{640, 480}, {320, 240}}},
  };
  for (std::uint32_t index = 0;; ++index) {
    v4l2_fmtdesc description{};
    description.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    description.index = index;
    const int error = camera.call(VIDIOC_ENUM_FMT, &description);
    if (index == expected.size()) {
      EXPECT_EQ(error, EINVAL);
      break;
    }
    ASSERT_EQ(error, 0);
    const Expected& format = expected[index];
    EXPECT_EQ(description.pixelformat, format.fourcc);
    EXPECT_EQ((description.flags & V4L2_FMT_FLAG_COMPRESSED) != 0, format.fourcc == fourcc("MJPG"));

    std::vector<std::pair<std::uint32_t, std::uint32_t>> sizes;
    v4l2_frmsizeenum size{};
    size.pixel_format = format.fourcc;
    for (; camera.call(VIDIOC_ENUM_FRAMESIZES, &size) == 0; ++size.index) {
      ASSERT_EQ(size.type, V4L2_FRMSIZE_TYPE_DISCRETE);
      sizes.emplace_back(size.discrete.width, size.discrete.height);

      v4l2_frmivalenum interval{};
      interval.pixel_format = format.fourcc;
      interval.width = size.discrete.width;
      interval.height = size.discrete.height;
      ASSERT_EQ(camera.call(VIDIOC_ENUM_FRAMEINTERVALS, &interval), 0);
      EXPECT_EQ(interval.type, V4L2_FRMIVAL_TYPE_DISCRETE);
      EXPECT_EQ(interval.discrete.numerator, 1u);
      EXPECT_EQ(interval.discrete.denominator, 30u);
    }
    EXPECT_EQ(sizes, format.sizes) << client::fourccText(format.fourcc);
  }

  v4l2_frmivalenum offSize{};
  offSize.pixel_format = fourcc("YUYV");
  offSize.width = 1920;
  offSize.height = 1080;
  EXPECT_EQ(camera.call(VIDIOC_ENUM_FRAMEINTERVALS, &offSize), EINVAL);
  v4l2_frmsizeenum unknown{};
  unknown.pixel_format = fourcc("BGR3");
  EXPECT_EQ(camera.call(VIDIOC_ENUM_FRAMESIZES, &unknown), EINVAL);
}

TEST(Device, FormatRequestsSettleOnTheNearestSupportedSize) {
  struct Case {
    std::uint32_t requested;
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t settled;
    std::uint32_t settledWidth;
    std::uint32_t settledHeight;
  };
  const Case cases[] = {
      {fourcc("MJPG"), 4000, 3000, fourcc("MJPG"), 4000, 3000},
      {fourcc("MJPG"), 3000, 2000, fourcc("MJPG"), 3264, 2448},
      {fourcc("MJPG"), 1920, 1200, fourcc("MJPG"), 1920, 1080},
      {fourcc("MJPG"), 1000, 1000, fourcc("MJPG"), 1280, 720},
      {fourcc("MJPG"), 0, 0, fourcc("MJPG"), 640, 480},
      {fourcc("MJPG"), 100000, 100000, fourcc("MJPG"), 4000, 3000},
      {fourcc("YUYV"), 1920, 1080, fourcc("YUYV"), 640, 480},
      {fourcc("YUYV"), 100, 100, fourcc("YUYV"), 320, 240},
      // A format the camera does not have gets its first one.
      {fourcc("BGR3"), 1280, 720, fourcc("MJPG"), 1280, 720},
      {fourcc("YU12"), 330, 250, fourcc("MJPG"), 640, 480},
  };
  const Node camera;
  for (const Case& c : cases) {
    SCOPED_TRACE(client::fourccText(c.requested) + " " + std::to_string(c.width) + "x" +
                 std::to_string(c.height));
    v4l2_format tried{};
    tried.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    tried.fmt.pix.pixelformat = c.requested;
    tried.fmt.pix.width = c.width;
    tried.fmt.pix.height = c.height;
    ASSERT_EQ(camera.call(VIDIOC_TRY_FMT, &tried), 0);
    v4l2_format set{};
    ASSERT_EQ(camera.setFormat(c.requested, c.width, c.height, &set), 0);
    const v4l2_format current = camera.format();

    for (const v4l2_pix_format& pix : {tried.fmt.pix, set.fmt.pix, current.fmt.pix}) {
      EXPECT_EQ(client::fourccText(pix.pixelformat), client::fourccText(c.settled));
      EXPECT_EQ(pix.width, c.settledWidth);
      EXPECT_EQ(pix.height, c.settledHeight);
      EXPECT_EQ(pix.field, V4L2_FIELD_NONE);
      // As the driver reports them: no line length for compressed frames,
      // and a worst case of two bytes a pixel for either format.
      EXPECT_EQ(pix.bytesperline, c.settled == fourcc("YUYV") ? c.settledWidth * 2 : 0u);
      EXPECT_EQ(pix.sizeimage, c.settledWidth * c.settledHeight * 2);
    }
  }
}

TEST(Device, TheFormatStaysForLaterOpens) {
  {
    const Node first;
    ASSERT_EQ(first.setFormat(fourcc("YUYV"), 320, 240), 0);
  }
  {
    const Node second;
    const v4l2_format format = second.format();
    EXPECT_EQ(client::fourccText(format.fmt.pix.pixelformat), "YUYV");
    EXPECT_EQ(format.fmt.pix.width, 320u);
    ASSERT_EQ(second.setFormat(fourcc("MJPG"), 3840, 2160), 0);
  }
  const Node third;
  const v4l2_format format = third.format();
  EXPECT_EQ(client::fourccText(format.fmt.pix.pixelformat), "MJPG");
  EXPECT_EQ(format.fmt.pix.width, 3840u);
  EXPECT_EQ(format.fmt.pix.height, 2160u);
}

TEST(Device, OnlyTheOpenThatOwnsTheStreamMayChangeIt) {
  auto first = std::make_unique<Node>();
  auto second = std::make_unique<Node>();
  ASSERT_EQ(first->setFormat(fourcc("MJPG"), 640, 480), 0);
  ASSERT_EQ(first->requestBuffers(2), 0);

  // The second open still reads the format and the controls...
  EXPECT_EQ(second->format().fmt.pix.width, 640u);
  v4l2_control brightness{V4L2_CID_BRIGHTNESS, 0};
  EXPECT_EQ(second->call(VIDIOC_G_CTRL, &brightness), 0);
  // ...but cannot change the format, take the buffers or stream.
  EXPECT_EQ(second->setFormat(fourcc("MJPG"), 1280, 720), EBUSY);
  EXPECT_EQ(second->requestBuffers(2), EBUSY);
  EXPECT_EQ(second->streamOn(), EBUSY);
  // The owner cannot change the format while it has buffers either.
  EXPECT_EQ(first->setFormat(fourcc("MJPG"), 1280, 720), EBUSY);

  // Freeing the buffers gives the stream up...
  ASSERT_EQ(first->requestBuffers(0), 0);
  EXPECT_EQ(second->setFormat(fourcc("MJPG"), 1280, 720), 0);
  EXPECT_EQ(first->setFormat(fourcc("MJPG"), 640, 480), EBUSY);
  ASSERT_EQ(second->requestBuffers(2), 0);

  // ...and so does closing, but only the owner's close.
  const Node third;
  first.reset();
  EXPECT_EQ(third.requestBuffers(2), EBUSY);
  second.reset();
  EXPECT_EQ(third.requestBuffers(2), 0);
}

TEST(Device, AnswersTheQueriesOfAnOpeningClientLikeTheDriver) {
  const Node camera;
  ASSERT_EQ(camera.setFormat(fourcc("MJPG"), 1920, 1080), 0);

  v4l2_input input{};
  ASSERT_EQ(camera.call(VIDIOC_ENUMINPUT, &input), 0);
  EXPECT_EQ(input.type, static_cast<std::uint32_t>(V4L2_INPUT_TYPE_CAMERA));
  int current = -1;
  ASSERT_EQ(camera.call(VIDIOC_G_INPUT, &current), 0);
  EXPECT_EQ(current, 0);

  v4l2_streamparm parameters{};
  parameters.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  ASSERT_EQ(camera.call(VIDIOC_G_PARM, &parameters), 0);
  EXPECT_NE(parameters.parm.capture.capability & V4L2_CAP_TIMEPERFRAME, 0u);
  EXPECT_EQ(parameters.parm.capture.timeperframe.denominator, 30u);
  // S_PARM settles on the nearest offered interval.
  parameters.parm.capture.timeperframe = {1, 14};
  ASSERT_EQ(camera.call(VIDIOC_S_PARM, &parameters), 0);
  EXPECT_EQ(parameters.parm.capture.timeperframe.numerator, 1u);
  EXPECT_EQ(parameters.parm.capture.timeperframe.denominator, 15u);
  parameters.parm.capture.timeperframe = {1, 1000};
  ASSERT_EQ(camera.call(VIDIOC_S_PARM, &parameters), 0);
  EXPECT_EQ(parameters.parm.capture.timeperframe.denominator, 30u);

  v4l2_cropcap crop{};
  crop.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  ASSERT_EQ(camera.call(VIDIOC_CROPCAP, &crop), 0);
  EXPECT_EQ(crop.bounds.width, 1920u);
  EXPECT_EQ(crop.defrect.height, 1080u);

  // What the driver refuses, and how.
  v4l2_crop currentCrop{};
  currentCrop.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  v4l2_standard standard{};
  v4l2_tuner tuner{};
  v4l2_format metadata{};
  metadata.type = V4L2_BUF_TYPE_META_CAPTURE;
  v4l2_input second{};
  second.index = 1;
  int secondInput = 1;
  v4l2_event_subscription eos{};
  eos.type = V4L2_EVENT_EOS;
  v4l2_requestbuffers userPointers{};
  userPointers.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  userPointers.memory = V4L2_MEMORY_USERPTR;
  userPointers.count = 2;
  const struct Refusal {
    const char* name;
    unsigned long request;
    void* argument;
    int error;
  } refusals[] = {
      {"G_CROP", VIDIOC_G_CROP, &currentCrop, EINVAL},
      {"S_CROP", VIDIOC_S_CROP, &currentCrop, ENOTTY},
      {"ENUMSTD", VIDIOC_ENUMSTD, &standard, ENOTTY},
      {"G_TUNER", VIDIOC_G_TUNER, &tuner, ENOTTY},
      {"G_FMT of metadata", VIDIOC_G_FMT, &metadata, EINVAL},
      {"ENUMINPUT 1", VIDIOC_ENUMINPUT, &second, EINVAL},
      {"S_INPUT 1", VIDIOC_S_INPUT, &secondInput, EINVAL},
      {"SUBSCRIBE_EVENT eos", VIDIOC_SUBSCRIBE_EVENT, &eos, EINVAL},
      {"REQBUFS user pointers", VIDIOC_REQBUFS, &userPointers, EINVAL},
      {"G_FMT without a structure", VIDIOC_G_FMT, nullptr, EFAULT},
  };
  for (const Refusal& refusal : refusals)
    EXPECT_EQ(camera.call(refusal.request, refusal.argument), refusal.error) << refusal.name;
}
