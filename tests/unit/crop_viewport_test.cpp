#include "video/crop_viewport.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

namespace {

cv::Mat patternedFrame(int width, int height) {
  cv::Mat frame(height, width, CV_8UC3);
  cv::randu(frame, cv::Scalar::all(0), cv::Scalar::all(256));
  return frame;
}

bool insideFrame(const cv::Rect& r, int width, int height) {
  return r.x >= 0 && r.y >= 0 && r.width >= 1 && r.height >= 1 && r.x + r.width <= width &&
         r.y + r.height <= height;
}

}  // namespace

TEST(ViewportRect, CropSizesForTheCameraFramesAtEveryLevel) {
  struct Row {
    int frameWidth;
    int frameHeight;
    cv::Size sizes[7];
  };
  const int levels[7] = {1, 2, 3, 4, 5, 6, 8};
  const Row rows[] = {
      {4000,
       3000,
       {{4000, 3000}, {2000, 1500}, {1332, 999}, {1000, 750}, {800, 600}, {668, 501}, {500, 375}}},
      {3840, 2160, {{3840, 2160}, {1920, 1080}, {1280, 720}, {960, 540}, {768, 432}, {640, 360}, {480, 270}}},
      {3264, 2448, {{3264, 2448}, {1632, 1224}, {1088, 816}, {816, 612}, {652, 489}, {544, 408}, {408, 306}}},
  };
  for (const auto& row : rows) {
    for (int i = 0; i < 7; ++i) {
      const cv::Rect r =
          viewportRect(row.frameWidth, row.frameHeight, levels[i], row.frameWidth / 2, row.frameHeight / 2);
      EXPECT_EQ(r.size(), row.sizes[i]) << row.frameWidth << "x" << row.frameHeight << " level " << levels[i];
      EXPECT_TRUE(insideFrame(r, row.frameWidth, row.frameHeight));
      // The picture is blitted without row padding: three bytes a pixel
      // must make whole 4-byte words.
      EXPECT_EQ(r.width * 3 % 4, 0) << row.frameWidth << " level " << levels[i];
    }
  }
}

TEST(ViewportRect, OriginCentresOnTheViewAndStaysInsideTheFrame) {
  struct Case {
    int width, height, level, centerX, centerY;
    cv::Rect expected;
  };
  const int big = std::numeric_limits<int>::max();
  const int small = std::numeric_limits<int>::min();
  const Case cases[] = {
      // Level 1 is the whole frame wherever the centre was left.
      {3840, 2160, 1, 0, 0, {0, 0, 3840, 2160}},
      {3840, 2160, 1, 5000, -300, {0, 0, 3840, 2160}},
      // Pushed in from the top-left and the bottom-right corners.
      {3840, 2160, 2, 0, 0, {0, 0, 1920, 1080}},
      {3840, 2160, 2, 3800, 2100, {1920, 1080, 1920, 1080}},
      {3840, 2160, 2, big, small, {1920, 0, 1920, 1080}},
      // Centred, halves truncating.
      {4000, 3000, 3, 2000, 1500, {1334, 1001, 1332, 999}},
      {4000, 3000, 6, 2000, 1500, {1666, 1250, 668, 501}},
      {3264, 2448, 5, 1632, 1224, {1306, 980, 652, 489}},
      // Only 4000-column frames have the fixed sizes.
      {4002, 3000, 3, 2001, 1500, {1334, 1000, 1334, 1000}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(viewportRect(c.width, c.height, c.level, c.centerX, c.centerY), c.expected)
        << c.width << "x" << c.height << " level " << c.level << " at " << c.centerX << "," << c.centerY;
}

TEST(ViewportRect, LimitsTheRegionToShortFramesAndOddLevels) {
  struct Case {
    int width, height, level;
    cv::Rect expected;  // centred on the frame centre
  };
  const Case cases[] = {
      // The fixed 4000-column sizes are taller than these frames.
      {4000, 800, 3, {1334, 0, 1332, 800}},
      {4000, 400, 6, {1666, 0, 668, 400}},
      {4000, 600, 6, {1666, 50, 668, 501}},
      // Levels below 1 read as 1; a level beyond the frame leaves one pixel.
      {640, 480, 0, {0, 0, 640, 480}},
      {640, 480, -5, {0, 0, 640, 480}},
      {640, 480, std::numeric_limits<int>::max(), {320, 240, 1, 1}},
      // A frame narrower than the level.
      {3, 2, 8, {1, 1, 1, 1}},
      // No frame at all: empty at the origin.
      {0, 0, 2, {0, 0, 0, 0}},
      {4000, 0, 3, {0, 0, 0, 0}},
      {-1, -1, 1, {0, 0, 0, 0}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(viewportRect(c.width, c.height, c.level, c.width / 2, c.height / 2), c.expected)
        << c.width << "x" << c.height << " level " << c.level;
}

TEST(ViewportRect, SweepOfSizesLevelsAndCentresNeverLeavesTheFrame) {
  std::mt19937 random(20240611u);
  std::uniform_int_distribution<int> side(1, 5000);
  std::uniform_int_distribution<int> level(-3, 20);
  std::uniform_int_distribution<int> anyInt(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
  std::uniform_int_distribution<int> nearFrame(-6000, 12000);
  for (int i = 0; i < 20000; ++i) {
    // Include the 4000-column width that has fixed sizes.
    const int width = i % 4 == 0 ? 4000 : side(random);
    const int height = side(random);
    const int zoom = i % 50 == 0 ? anyInt(random) : level(random);
    const bool wild = i % 3 == 0;
    const int cx = wild ? anyInt(random) : nearFrame(random);
    const int cy = wild ? anyInt(random) : nearFrame(random);
    const cv::Rect r = viewportRect(width, height, zoom, cx, cy);
    ASSERT_TRUE(insideFrame(r, width, height))
        << width << "x" << height << " level " << zoom << " at " << cx << "," << cy << " gave " << r;
  }
}

TEST(CropViewport, CopiesTheRegionAndWritesTheSizeBack) {
  const cv::Mat frame = patternedFrame(64, 48);
  ViewState view;
  view.zoomLevel = 2;
  view.viewCenterX = 60;  // near the right edge: the crop is pushed inside
  view.viewCenterY = 10;
  cv::Mat viewport;
  cropViewport(frame, view, viewport);

  ASSERT_EQ(viewport.size(), cv::Size(32, 24));
  EXPECT_EQ(viewport.type(), frame.type());
  EXPECT_TRUE(viewport.isContinuous());
  EXPECT_EQ(cv::norm(viewport, frame(cv::Rect(32, 0, 32, 24)), cv::NORM_INF), 0.0);
  EXPECT_EQ(view.viewWidth, 32);
  EXPECT_EQ(view.viewHeight, 24);
  // The centre is not moved to where the crop ended up.
  EXPECT_EQ(view.viewCenterX, 60);
  EXPECT_EQ(view.viewCenterY, 10);

  // The crop is a copy: drawing into the frame later does not reach it.
  cv::Mat drawnOn = frame.clone();
  cropViewport(drawnOn, view, viewport);
  drawnOn.setTo(cv::Scalar::all(7));
  EXPECT_EQ(cv::norm(viewport, frame(cv::Rect(32, 0, 32, 24)), cv::NORM_INF), 0.0);
}

TEST(CropViewport, ReusesTheViewportBufferForTheSameSize) {
  const cv::Mat first = patternedFrame(320, 240);
  const cv::Mat second = patternedFrame(320, 240);
  ViewState view;
  view.zoomLevel = 4;
  view.viewCenterX = 100;
  view.viewCenterY = 100;
  cv::Mat viewport;
  cropViewport(first, view, viewport);
  const uchar* buffer = viewport.data;
  ASSERT_NE(buffer, nullptr);

  view.viewCenterX = 200;
  cropViewport(second, view, viewport);
  EXPECT_EQ(viewport.data, buffer);
  EXPECT_EQ(cv::norm(viewport, second(viewportRect(320, 240, 4, 200, 100)), cv::NORM_INF), 0.0);
}

TEST(CropViewport, ReplacesAStridedViewportWithAContinuousOne) {
  // A viewport that is a view into a larger image has padded rows; the
  // blit reads rows back to back, so it must not be written into in place.
  cv::Mat larger = patternedFrame(200, 100);
  cv::Mat viewport = larger(cv::Rect(0, 0, 160, 60));
  ASSERT_FALSE(viewport.isContinuous());
  const cv::Mat before = larger.clone();

  const cv::Mat frame = patternedFrame(320, 120);
  ViewState view;
  view.zoomLevel = 2;
  cropViewport(frame, view, viewport);
  EXPECT_TRUE(viewport.isContinuous());
  EXPECT_EQ(viewport.size(), cv::Size(160, 60));
  EXPECT_EQ(cv::norm(larger, before, cv::NORM_INF), 0.0);
}

TEST(CropViewport, EmptyFrameEmptiesTheViewport) {
  const cv::Mat frames[] = {cv::Mat(), cv::Mat(0, 4000, CV_8UC3)};
  for (const auto& frame : frames) {
    cv::Mat viewport = patternedFrame(16, 16);
    ViewState view{3, 2000, 1500, 1332, 999};
    cropViewport(frame, view, viewport);
    EXPECT_TRUE(viewport.empty());
    EXPECT_EQ(view.viewWidth, 0);
    EXPECT_EQ(view.viewHeight, 0);
    EXPECT_EQ(view.zoomLevel, 3);
    EXPECT_EQ(view.viewCenterX, 2000);
  }
}

TEST(ViewportView, SharesTheFramesPixelsAndWritesTheSizeBack) {
  cv::Mat frame(2160, 3840, CV_8UC3, cv::Scalar(1, 2, 3));
  ViewState view;
  view.zoomLevel = 2;
  view.viewCenterX = 3800;
  view.viewCenterY = 2100;
  const cv::Mat region = viewportView(frame, view);
  EXPECT_EQ(region.size(), cv::Size(1920, 1080));
  EXPECT_EQ(region.data, frame.ptr(1080, 1920));  // no copy: flush with the bottom-right corner
  EXPECT_EQ(view.viewWidth, 1920);
  EXPECT_EQ(view.viewHeight, 1080);

  EXPECT_TRUE(viewportView(cv::Mat(), view).empty());
  EXPECT_EQ(view.viewWidth, 0);
  EXPECT_EQ(view.viewHeight, 0);
}
