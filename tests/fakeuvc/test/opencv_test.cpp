// OpenCV's own V4L2 back end captures from the fake node, the way the
// program opens its camera: by path, then width, height and MJPG.
#include <gtest/gtest.h>

#include <iostream>
#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>

#include "log_file.h"
#include "v4l2_client.h"

namespace {

struct Case {
  int width;  // 0: leave OpenCV's own choice
  int height;
  int expectedWidth;
  int expectedHeight;
};

class OpenCvCapture : public testing::TestWithParam<Case> {};

std::string caseName(const testing::TestParamInfo<Case>& info) {
  return info.param.width == 0 ? "Unset"
                               : std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
}

}  // namespace

TEST_P(OpenCvCapture, ReadsFramesOfTheRequestedSize) {
  const Case c = GetParam();
  const LogTail log;
  cv::VideoCapture capture(client::nodePath(), cv::CAP_V4L2);
  ASSERT_TRUE(capture.isOpened());
  if (c.width != 0) {
    capture.set(cv::CAP_PROP_FRAME_WIDTH, c.width);
    capture.set(cv::CAP_PROP_FRAME_HEIGHT, c.height);
    capture.set(cv::CAP_PROP_FOURCC, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'));
  }
  cv::Mat frame;
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(capture.read(frame)) << "read " << i;
    ASSERT_EQ(frame.cols, c.expectedWidth);
    ASSERT_EQ(frame.rows, c.expectedHeight);
  }
  double brightest = 0;
  cv::minMaxLoc(frame.reshape(1), nullptr, &brightest);
  EXPECT_GT(brightest, 200) << "the picture came through";
  capture.release();

  // What OpenCV asked of the driver, for whoever reads the test output.
  const auto formats = log.lines("s_fmt");
  for (const std::string& line : formats) std::cout << "OpenCV: " << line << '\n';
  ASSERT_FALSE(formats.empty());
  const std::string size = std::to_string(c.expectedWidth) + "x" + std::to_string(c.expectedHeight);
  EXPECT_EQ(formats.back().substr(formats.back().size() - size.size()), size);
  if (c.width != 0) {
    EXPECT_EQ(formats.back(), "s_fmt MJPG " + size);
  }
}

INSTANTIATE_TEST_SUITE_P(OpenCv, OpenCvCapture,
                         testing::Values(Case{0, 0, 640, 480}, Case{4000, 3000, 4000, 3000},
                                         Case{3840, 2160, 3840, 2160}, Case{1920, 1080, 1920, 1080}),
                         caseName);
