#include "video/present_mat.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>
#include <QWidget>
#include <opencv2/core.hpp>

#include "platform/simple_controls.h"

namespace {

// A picture control of a fixed size inside a shown window.
class PresentMatTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_.resize(200, 200);
    picture_ = new PictureCtrl(&window_);
    picture_->setGeometry(10, 10, 120, 90);
    window_.show();
  }

  QColor shownAt(int x, int y) { return picture_->grab().toImage().pixelColor(x, y); }

  QWidget window_;
  PictureCtrl* picture_ = nullptr;
};

// Four quadrants of different colours, in blue-green-red order.
cv::Mat quadrants(int width, int height) {
  cv::Mat image(height, width, CV_8UC3, cv::Scalar(255, 0, 0));                                 // blue
  image(cv::Rect(width / 2, 0, width - width / 2, height / 2)).setTo(cv::Scalar(0, 0, 255));    // red
  image(cv::Rect(0, height / 2, width / 2, height - height / 2)).setTo(cv::Scalar(0, 255, 0));  // green
  image(cv::Rect(width / 2, height / 2, width - width / 2, height - height / 2))
      .setTo(cv::Scalar(255, 255, 255));
  return image;
}

}  // namespace

TEST_F(PresentMatTest, StretchesTheWholeImageUprightInItsColours) {
  presentMat(*picture_, quadrants(4000, 3000));
  EXPECT_EQ(shownAt(30, 20), QColor(0, 0, 255));      // top left: blue
  EXPECT_EQ(shownAt(90, 20), QColor(255, 0, 0));      // top right: red
  EXPECT_EQ(shownAt(30, 70), QColor(0, 255, 0));      // bottom left: green
  EXPECT_EQ(shownAt(90, 70), QColor(255, 255, 255));  // bottom right: white
  EXPECT_EQ(shownAt(0, 0), QColor(0, 0, 255));        // the picture covers the whole control
  EXPECT_EQ(shownAt(119, 89), QColor(255, 255, 255));
}

TEST_F(PresentMatTest, ShowsGreyImagesInGrey) {
  cv::Mat grey(30, 40, CV_8UC1, cv::Scalar(90));
  grey(cv::Rect(20, 0, 20, 30)).setTo(cv::Scalar(200));
  presentMat(*picture_, grey);
  EXPECT_EQ(shownAt(20, 45), QColor(90, 90, 90));
  EXPECT_EQ(shownAt(100, 45), QColor(200, 200, 200));
}

// 213 columns of three bytes are 639 bytes a row: not a multiple of four.
TEST_F(PresentMatTest, ShowsUnalignedRowsUnsheared) {
  cv::Mat frame(480, 640, CV_8UC3, cv::Scalar(0, 0, 0));
  frame.colRange(100, 110).setTo(cv::Scalar(255, 255, 255));  // a vertical stripe
  const cv::Mat region = frame(cv::Rect(100, 0, 213, 160));
  presentMat(*picture_, region);
  for (int y : {0, 45, 89}) {
    EXPECT_EQ(shownAt(2, y), QColor(255, 255, 255)) << y;
    EXPECT_EQ(shownAt(60, y), QColor(0, 0, 0)) << y;
  }
}

TEST_F(PresentMatTest, KeepsTheLastPictureForWhatCannotBeShown) {
  presentMat(*picture_, quadrants(400, 300));
  const QImage before = picture_->grab().toImage();
  for (const cv::Mat& image :
       {cv::Mat(), cv::Mat(30, 40, CV_16UC3, cv::Scalar::all(0)),
        cv::Mat(30, 40, CV_8UC4, cv::Scalar::all(0)), cv::Mat(30, 40, CV_32FC1, cv::Scalar(0))}) {
    presentMat(*picture_, image);
    EXPECT_EQ(picture_->grab().toImage(), before);
  }
}

TEST_F(PresentMatTest, RepaintsTheLastPictureAtANewSize) {
  presentMat(*picture_, quadrants(400, 300));
  picture_->resize(60, 40);
  EXPECT_EQ(shownAt(5, 5), QColor(0, 0, 255));
  EXPECT_EQ(shownAt(55, 35), QColor(255, 255, 255));
}

// Run once more with QT_SCALE_FACTOR=2, where the control has twice its size
// in device pixels.
TEST_F(PresentMatTest, SamplesTheFrameAtTheScreensOwnPixels) {
  const qreal ratio = picture_->devicePixelRatioF();
  if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
    ASSERT_EQ(ratio, qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
  }
  cv::Mat frame(300, 400, CV_8UC3);
  for (int y = 0; y < frame.rows; ++y)
    for (int x = 0; x < frame.cols; ++x)
      frame.at<cv::Vec3b>(y, x) = {static_cast<uchar>(x), static_cast<uchar>(y), static_cast<uchar>(x >> 8)};
  presentMat(*picture_, frame);

  const QImage& shown = picture_->picture();
  ASSERT_EQ(shown.size(), QSize(qRound(120 * ratio), qRound(90 * ratio)));
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x) {
      const cv::Vec3b pixel =
          frame.at<cv::Vec3b>(y * frame.rows / shown.height(), x * frame.cols / shown.width());
      ASSERT_EQ(shown.pixelColor(x, y), QColor(pixel[2], pixel[1], pixel[0])) << x << "," << y;
    }
}

// The frame is sampled when the control paints, in the loop's wait, and let
// go then: a camera may only reuse a frame's buffer that nobody holds. A
// control off screen samples at once, as it may not paint for a long time.
TEST_F(PresentMatTest, HoldsTheImageOnlyUntilItIsPainted) {
  const auto holders = [](const cv::Mat& image) { return image.u->refcount; };
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
  const cv::Mat frame = quadrants(400, 300);
  presentMat(*picture_, frame);
  EXPECT_EQ(holders(frame), 2);
  EXPECT_EQ(shownAt(30, 20), QColor(0, 0, 255));
  EXPECT_EQ(holders(frame), 1);

  window_.hide();
  const cv::Mat hidden = quadrants(40, 30);
  presentMat(*picture_, hidden);
  EXPECT_EQ(holders(hidden), 1);
  const QImage& shown = picture_->picture();
  EXPECT_EQ(shown.pixelColor(shown.width() - 1, shown.height() - 1), QColor(255, 255, 255));
}
