#include "video/display_image.h"

#include <gtest/gtest.h>

#include <opencv2/core.hpp>

TEST(ScaleForDisplay, RepeatsPixelsWithoutBlending) {
  cv::Mat image(2, 2, CV_8UC3);
  image.at<cv::Vec3b>(0, 0) = {0, 0, 0};
  image.at<cv::Vec3b>(0, 1) = {255, 255, 255};
  image.at<cv::Vec3b>(1, 0) = {10, 20, 30};
  image.at<cv::Vec3b>(1, 1) = {200, 100, 50};
  cv::Mat display;
  ASSERT_TRUE(scaleForDisplay(image, cv::Size(4, 4), display));
  ASSERT_EQ(display.type(), CV_8UC3);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(display.at<cv::Vec3b>(y, x), image.at<cv::Vec3b>(y / 2, x / 2)) << x << "," << y;
}

TEST(ScaleForDisplay, KeepsGreyImagesGrey) {
  cv::Mat image(3, 5, CV_8UC1, cv::Scalar(77));
  cv::Mat display;
  ASSERT_TRUE(scaleForDisplay(image, cv::Size(10, 6), display));
  EXPECT_EQ(display.type(), CV_8UC1);
  EXPECT_EQ(cv::countNonZero(display != 77), 0);
}

// A region view whose rows are not a multiple of 4 bytes (213 columns of a
// 640-column frame) must come out unsheared: every output row starts with
// the region's own first column.
TEST(ScaleForDisplay, ShowsUnalignedRegionRowsUnsheared) {
  cv::Mat frame(480, 640, CV_8UC3);
  for (int y = 0; y < frame.rows; ++y)
    for (int x = 0; x < frame.cols; ++x)
      frame.at<cv::Vec3b>(y, x) = {static_cast<uchar>(x), static_cast<uchar>(y), static_cast<uchar>(x / 256)};
  const cv::Mat region = frame(cv::Rect(100, 50, 213, 160));
  cv::Mat display;
  ASSERT_TRUE(scaleForDisplay(region, region.size(), display));
  for (int y = 0; y < display.rows; ++y) {
    EXPECT_EQ(display.at<cv::Vec3b>(y, 0), frame.at<cv::Vec3b>(50 + y, 100)) << y;
    EXPECT_EQ(display.at<cv::Vec3b>(y, 212), frame.at<cv::Vec3b>(50 + y, 312)) << y;
  }
}

TEST(ScaleForDisplay, RefusesWhatCannotBeShownAndKeepsTheLastPicture) {
  cv::Mat display(2, 2, CV_8UC3, cv::Scalar(1, 2, 3));
  const uchar* before = display.data;
  const struct {
    cv::Mat image;
    cv::Size target;
  } cases[] = {
      {cv::Mat(), cv::Size(10, 10)},
      {cv::Mat(4, 4, CV_16UC3, cv::Scalar::all(0)), cv::Size(10, 10)},
      {cv::Mat(4, 4, CV_8UC4, cv::Scalar::all(0)), cv::Size(10, 10)},
      {cv::Mat(4, 4, CV_32FC1, cv::Scalar::all(0)), cv::Size(10, 10)},
      {cv::Mat(4, 4, CV_8UC3, cv::Scalar::all(0)), cv::Size(0, 10)},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(scaleForDisplay(c.image, c.target, display));
    EXPECT_EQ(display.data, before);
    EXPECT_EQ(display.at<cv::Vec3b>(0, 0), cv::Vec3b(1, 2, 3));
  }
}
