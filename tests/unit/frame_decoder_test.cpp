#include "camera/frame_decoder.h"

#include <gtest/gtest.h>
#include <linux/videodev2.h>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace {

// A picture with edges and colours, so a wrong channel order or a sheared
// row shows as a large difference.
cv::Mat testPicture(int width, int height) {
  cv::Mat picture(height, width, CV_8UC3, cv::Scalar(30, 60, 90));
  cv::rectangle(picture, {width / 8, height / 8, width / 3, height / 3}, cv::Scalar(255, 0, 0), cv::FILLED);
  cv::circle(picture, {width * 2 / 3, height / 2}, height / 4, cv::Scalar(0, 0, 255), cv::FILLED);
  return picture;
}

RawFrame jpegFrame(const cv::Mat& picture, int announcedWidth, int announcedHeight) {
  std::vector<std::uint8_t> bytes;
  cv::imencode(".jpg", picture, bytes, {cv::IMWRITE_JPEG_QUALITY, 95});
  RawFrame frame;
  frame.bytes = std::move(bytes);
  frame.fourcc = V4L2_PIX_FMT_MJPEG;
  frame.width = announcedWidth;
  frame.height = announcedHeight;
  return frame;
}

double meanDifference(const cv::Mat& a, const cv::Mat& b) {
  cv::Mat difference;
  cv::absdiff(a, b, difference);
  const cv::Scalar mean = cv::mean(difference);
  return (mean[0] + mean[1] + mean[2]) / 3.0;
}

}  // namespace

TEST(FrameDecoder, MotionJpegBecomesTheBgrPictureAtTheSizeThePictureHas) {
  const cv::Mat picture = testPicture(160, 120);
  FrameDecoder decoder;
  for (const cv::Size announced : {cv::Size(160, 120), cv::Size(640, 480)}) {
    cv::Mat bgr(7, 5, CV_8UC1);  // whatever the target held before
    ASSERT_TRUE(decoder.decode(jpegFrame(picture, announced.width, announced.height), bgr));
    EXPECT_EQ(bgr.size(), picture.size());
    EXPECT_EQ(bgr.type(), CV_8UC3);
    EXPECT_LT(meanDifference(bgr, picture), 3.0);
  }
}

TEST(FrameDecoder, DamagedOrUnknownFramesGiveNoPicture) {
  FrameDecoder decoder;
  cv::Mat bgr;
  RawFrame cut = jpegFrame(testPicture(64, 48), 64, 48);
  cut.bytes.resize(40);  // ends inside the header
  EXPECT_FALSE(decoder.decode(cut, bgr));

  RawFrame noise = cut;
  noise.bytes.assign(5000, 0x5a);
  EXPECT_FALSE(decoder.decode(noise, bgr));

  RawFrame empty = cut;
  empty.bytes.clear();
  EXPECT_FALSE(decoder.decode(empty, bgr));

  RawFrame unknown = jpegFrame(testPicture(64, 48), 64, 48);
  unknown.fourcc = V4L2_PIX_FMT_NV12;
  EXPECT_FALSE(decoder.decode(unknown, bgr));
  EXPECT_FALSE(FrameDecoder::canDecode(V4L2_PIX_FMT_NV12));

  // Packed YUV shorter than its rows says.
  RawFrame shortYuv;
  shortYuv.fourcc = V4L2_PIX_FMT_YUYV;
  shortYuv.width = 4;
  shortYuv.height = 2;
  shortYuv.bytesPerLine = 8;
  shortYuv.bytes.assign(15, 128);
  EXPECT_FALSE(decoder.decode(shortYuv, bgr));
}

TEST(FrameDecoder, PackedYuvRowsAreReadWithTheirOwnLineLength) {
  // Two rows of 4 pixels in rows of 12 bytes: a grey row and a bright row,
  // with padding that must not show up as pixels.
  RawFrame frame;
  frame.fourcc = V4L2_PIX_FMT_YUYV;
  frame.width = 4;
  frame.height = 2;
  frame.bytesPerLine = 12;
  frame.bytes = {128, 128, 128, 128, 128, 128, 128, 128, 0, 0, 0, 0,
                 235, 128, 235, 128, 235, 128, 235, 128, 0, 0, 0, 0};
  FrameDecoder decoder;
  cv::Mat bgr;
  ASSERT_TRUE(decoder.decode(frame, bgr));
  ASSERT_EQ(bgr.size(), cv::Size(4, 2));
  for (int x = 0; x < 4; ++x) {
    const cv::Vec3b grey = bgr.at<cv::Vec3b>(0, x);
    const cv::Vec3b bright = bgr.at<cv::Vec3b>(1, x);
    for (int c = 0; c < 3; ++c) {
      EXPECT_NEAR(grey[c], 128, 3) << x;
      EXPECT_GT(bright[c], 225) << x;
    }
  }
}
