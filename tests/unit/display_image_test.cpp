#include "video/display_image.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <opencv2/core.hpp>

namespace {

// The displayed colour of an image pixel: blue, green, red and an opaque 255.
cv::Vec4b shown(const cv::Vec3b& pixel) {
  return {pixel[0], pixel[1], pixel[2], 255};
}

// A colour frame whose pixel buffer ends exactly where an unreadable page
// begins, so reading one byte past its last pixel faults in every build.
class FrameBeforeAGuardPage {
 public:
  FrameBeforeAGuardPage(int rows, int cols) {
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t bytes = static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols) * 3;
    pages_ = (bytes + page - 1) / page * page + page;
    void* base = ::mmap(nullptr, pages_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED) return;
    base_ = static_cast<uchar*>(base);
    if (::mprotect(base_ + pages_ - page, page, PROT_NONE) != 0) return;
    frame = cv::Mat(rows, cols, CV_8UC3, base_ + pages_ - page - bytes);
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < cols; ++x)
        frame.at<cv::Vec3b>(y, x) = {static_cast<uchar>(x), static_cast<uchar>(y), static_cast<uchar>(x + y)};
  }
  FrameBeforeAGuardPage(const FrameBeforeAGuardPage&) = delete;
  FrameBeforeAGuardPage& operator=(const FrameBeforeAGuardPage&) = delete;
  ~FrameBeforeAGuardPage() {
    if (base_ != nullptr) ::munmap(base_, pages_);
  }

  cv::Mat frame;  // empty when the guarded buffer could not be made

 private:
  uchar* base_ = nullptr;
  std::size_t pages_ = 0;
};

}  // namespace

TEST(ScaleForDisplay, RepeatsAndDropsPixelsWithoutBlending) {
  cv::Mat image(2, 3, CV_8UC3);
  const cv::Vec3b colours[] = {{0, 0, 0},      {255, 255, 255}, {10, 20, 30},
                               {200, 100, 50}, {1, 2, 3},       {9, 8, 7}};
  for (int i = 0; i < 6; ++i) image.at<cv::Vec3b>(i / 3, i % 3) = colours[i];

  cv::Mat display(4, 6, CV_8UC4, cv::Scalar::all(0));  // twice the size: each pixel shown 2 x 2 times
  ASSERT_TRUE(scaleForDisplay(image, display));
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(display.at<cv::Vec4b>(y, x), shown(image.at<cv::Vec3b>(y / 2, x / 2))) << x << "," << y;

  cv::Mat smaller(1, 2, CV_8UC4, cv::Scalar::all(0));  // columns 0 and 1 of row 0, by x * 3 / 2
  ASSERT_TRUE(scaleForDisplay(image, smaller));
  EXPECT_EQ(smaller.at<cv::Vec4b>(0, 0), shown(colours[0]));
  EXPECT_EQ(smaller.at<cv::Vec4b>(0, 1), shown(colours[1]));
}

TEST(ScaleForDisplay, KeepsGreyImagesGrey) {
  cv::Mat image(3, 5, CV_8UC1, cv::Scalar(77));
  image.at<uchar>(2, 4) = 200;
  cv::Mat display(6, 10, CV_8UC1, cv::Scalar(0));
  ASSERT_TRUE(scaleForDisplay(image, display));
  EXPECT_EQ(cv::countNonZero(display == 77), 60 - 4);
  EXPECT_EQ(cv::countNonZero(display(cv::Rect(8, 4, 2, 2)) == 200), 4);
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
  cv::Mat display(region.size(), CV_8UC4);
  ASSERT_TRUE(scaleForDisplay(region, display));
  for (int y = 0; y < display.rows; ++y) {
    EXPECT_EQ(display.at<cv::Vec4b>(y, 0), shown(frame.at<cv::Vec3b>(50 + y, 100))) << y;
    EXPECT_EQ(display.at<cv::Vec4b>(y, 212), shown(frame.at<cv::Vec3b>(50 + y, 312))) << y;
  }
}

TEST(ScaleForDisplay, RefusesWhatCannotBeShownAndKeepsTheLastPicture) {
  const cv::Mat colourDisplay(2, 2, CV_8UC4, cv::Scalar(1, 2, 3, 4));
  const cv::Mat colour(4, 4, CV_8UC3, cv::Scalar::all(0));
  const struct {
    cv::Mat image;
    cv::Mat display;
  } cases[] = {
      {cv::Mat(), colourDisplay.clone()},
      {cv::Mat(4, 4, CV_16UC3, cv::Scalar::all(0)), colourDisplay.clone()},
      {cv::Mat(4, 4, CV_8UC4, cv::Scalar::all(0)), colourDisplay.clone()},
      {cv::Mat(4, 4, CV_32FC1, cv::Scalar::all(0)), colourDisplay.clone()},
      {colour, cv::Mat()},                                             // no display
      {colour, cv::Mat(2, 2, CV_8UC1, cv::Scalar(1))},                 // grey display for a colour image
      {cv::Mat(4, 4, CV_8UC1, cv::Scalar(0)), colourDisplay.clone()},  // and the other way round
  };
  for (const auto& c : cases) {
    cv::Mat display = c.display;
    const cv::Mat before = display.clone();
    EXPECT_FALSE(scaleForDisplay(c.image, display));
    EXPECT_EQ(display.size(), before.size());
    if (!before.empty()) {
      EXPECT_EQ(cv::norm(display, before, cv::NORM_INF), 0.0);
    }
  }
}

// Zoomed in far, several output columns show the image's last column; when
// the view ends at the last pixel of the frame's buffer, none of them may
// read past it.
TEST(ScaleForDisplay, AnEnlargedViewEndingTheFrameBufferReadsNothingBeyondIt) {
  const struct {
    cv::Size frame;
    cv::Rect view;
    cv::Size display;
  } cases[] = {
      {{1, 1}, {0, 0, 1, 1}, {7, 3}},                // one pixel shown many times
      {{2, 1}, {0, 0, 2, 1}, {8, 1}},                // the last column four times
      {{640, 480}, {560, 420, 80, 60}, {900, 675}},  // the bottom-right corner of a frame, zoomed in
      {{641, 3}, {0, 0, 641, 3}, {1282, 6}},         // an odd row length, twice the size
  };
  for (const auto& c : cases) {
    FrameBeforeAGuardPage guarded(c.frame.height, c.frame.width);
    ASSERT_FALSE(guarded.frame.empty()) << "no guarded buffer";
    const cv::Mat view = guarded.frame(c.view);
    cv::Mat display(c.display, CV_8UC4, cv::Scalar::all(0));
    ASSERT_TRUE(scaleForDisplay(view, display));
    for (int y = 0; y < display.rows; ++y)
      for (int x = 0; x < display.cols; ++x)
        ASSERT_EQ(display.at<cv::Vec4b>(y, x),
                  shown(view.at<cv::Vec3b>(y * view.rows / display.rows, x * view.cols / display.cols)))
            << c.frame << " at " << x << "," << y;
  }
}
