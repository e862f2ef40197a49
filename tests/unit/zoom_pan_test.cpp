#include "video/zoom_pan.h"

#include <gtest/gtest.h>

#include <limits>

#include "video/crop_viewport.h"

namespace {

// The video window's bars as it opens: range 0..127 covered by the page.
struct Bars {
  ScrollBarModel horizontal;
  ScrollBarModel vertical;
  Bars() {
    horizontal.setInfo({0, 127, 128, 0});
    vertical.setInfo({0, 127, 128, 0});
  }
};

// The view state right after the first frame: whole frame, centred.
ViewState wholeFrame(int width, int height) {
  return ViewState{1, width / 2, height / 2, width, height};
}

}  // namespace

TEST(ZoomPan, WalkThroughOnA3840x2160Frame) {
  // One-channel is enough for the geometry and keeps the frame small.
  const cv::Mat frame(2160, 3840, CV_8UC1, cv::Scalar(0));
  cv::Mat viewport;
  ViewState view = wholeFrame(3840, 2160);
  Bars bars;
  cropViewport(frame, view, viewport);
  ASSERT_EQ(view.viewWidth, 3840);

  // Wheel forward: level 2, half the size, centre kept, both bars in the middle.
  zoomIn(view, bars.horizontal, bars.vertical);
  EXPECT_EQ(view.zoomLevel, 2);
  EXPECT_EQ(view.viewWidth, 1920);
  EXPECT_EQ(view.viewHeight, 1080);
  EXPECT_EQ(view.viewCenterX, 1920);
  EXPECT_EQ(view.viewCenterY, 1080);
  for (const ScrollBarModel* bar : {&bars.horizontal, &bars.vertical}) {
    EXPECT_TRUE(bar->visible());
    EXPECT_EQ(bar->info().nPage, 64u);
    EXPECT_EQ(bar->info().nPos, 32);
  }
  cropViewport(frame, view, viewport);
  EXPECT_EQ(viewport.size(), cv::Size(1920, 1080));

  // Drag from (500, 400) to (400, 300): the centre moves the other way.
  DragState drag;
  beginDrag(drag, 500, 400);
  EXPECT_EQ(drag.dragActive, 1);
  EXPECT_TRUE(endDrag(drag, 400, 300, view, bars.horizontal, bars.vertical));
  EXPECT_EQ(drag.dragActive, 0);
  EXPECT_EQ(view.viewCenterX, 2020);
  EXPECT_EQ(view.viewCenterY, 1180);
  EXPECT_EQ(bars.horizontal.info().nPos, 35);
  EXPECT_EQ(bars.vertical.info().nPos, 37);
  cropViewport(frame, view, viewport);

  // Line step right: one position, 1920 / 63 = 30 frame pixels a position.
  EXPECT_TRUE(
      scrollView(ScrollCode::LineDown, 0, view.viewCenterX, view.viewWidth, view.zoomLevel, bars.horizontal));
  EXPECT_EQ(bars.horizontal.info().nPos, 36);
  EXPECT_EQ(view.viewCenterX, 2040);

  // Vertical thumb to the end: 64 x 17 + 540 overshoots the last valid
  // centre 1620; the crop still ends at the frame's bottom row.
  EXPECT_TRUE(scrollView(ScrollCode::ThumbTrack, 64, view.viewCenterY, view.viewHeight, view.zoomLevel,
                         bars.vertical));
  EXPECT_EQ(bars.vertical.info().nPos, 64);
  EXPECT_EQ(view.viewCenterY, 1628);
  EXPECT_EQ(viewportRect(3840, 2160, view.zoomLevel, view.viewCenterX, view.viewCenterY).y, 1080);
  cropViewport(frame, view, viewport);

  // Wheel back: whole frame again, centre pulled back, bars hidden at 0.
  zoomOut(view, bars.horizontal, bars.vertical);
  EXPECT_EQ(view.zoomLevel, 1);
  EXPECT_EQ(view.viewWidth, 3840);
  EXPECT_EQ(view.viewHeight, 2160);
  EXPECT_EQ(view.viewCenterX, 1920);
  EXPECT_EQ(view.viewCenterY, 1080);
  for (const ScrollBarModel* bar : {&bars.horizontal, &bars.vertical}) {
    EXPECT_FALSE(bar->visible());
    EXPECT_EQ(bar->info().nPos, 0);
  }
}

TEST(ZoomPan, LevelsSkipSevenStopAtTheEndsAndSetTheBarPages) {
  struct Step {
    int level;
    unsigned page;
    int highest;
  };
  const Step upward[] = {{2, 64, 64}, {3, 42, 86}, {4, 32, 96}, {5, 25, 103}, {6, 21, 107}, {8, 16, 112}};
  ViewState view = wholeFrame(3840, 2160);
  Bars bars;
  for (const auto& step : upward) {
    zoomIn(view, bars.horizontal, bars.vertical);
    ASSERT_EQ(view.zoomLevel, step.level);
    for (const ScrollBarModel* bar : {&bars.horizontal, &bars.vertical}) {
      EXPECT_EQ(bar->info().nMax, 127);
      EXPECT_EQ(bar->info().nPage, step.page) << "level " << step.level;
      EXPECT_EQ(bar->highestPosition(), step.highest) << "level " << step.level;
      EXPECT_TRUE(bar->visible());
    }
  }

  // Wheel forward at 8 changes nothing at all.
  const ViewState atEight = view;
  const ScrollInfo barAtEight = bars.horizontal.info();
  zoomIn(view, bars.horizontal, bars.vertical);
  EXPECT_EQ(view.zoomLevel, 8);
  EXPECT_EQ(view.viewWidth, atEight.viewWidth);
  EXPECT_EQ(bars.horizontal.info().nPage, barAtEight.nPage);

  zoomOut(view, bars.horizontal, bars.vertical);
  EXPECT_EQ(view.zoomLevel, 6);
  EXPECT_EQ(bars.horizontal.info().nPage, 21u);

  // Down to 1 and one more: nothing changes below 1.
  for (int i = 0; i < 5; ++i) zoomOut(view, bars.horizontal, bars.vertical);
  ASSERT_EQ(view.zoomLevel, 1);
  const ViewState atOne = view;
  zoomOut(view, bars.horizontal, bars.vertical);
  EXPECT_EQ(view.zoomLevel, 1);
  EXPECT_EQ(view.viewWidth, atOne.viewWidth);
  EXPECT_EQ(view.viewCenterX, atOne.viewCenterX);
  EXPECT_FALSE(bars.horizontal.visible());
}

TEST(ZoomPan, ZoomStepLeavesARescaledSizeThatTheNextCropReplaces) {
  const cv::Mat frame(3000, 4000, CV_8UC1, cv::Scalar(0));
  cv::Mat viewport;
  ViewState view = wholeFrame(4000, 3000);
  view.zoomLevel = 3;
  Bars bars;
  cropViewport(frame, view, viewport);
  ASSERT_EQ(view.viewWidth, 1332);
  ASSERT_EQ(view.viewHeight, 999);

  zoomIn(view, bars.horizontal, bars.vertical);
  EXPECT_EQ(view.zoomLevel, 4);
  EXPECT_EQ(view.viewWidth, 999);  // 1332 x 3 / 4
  EXPECT_EQ(view.viewHeight, 749);

  cropViewport(frame, view, viewport);
  EXPECT_EQ(view.viewWidth, 1000);
  EXPECT_EQ(view.viewHeight, 750);
}

TEST(ZoomPan, ClampViewCenterKeepsTheViewInsideTheFrame) {
  const int big = std::numeric_limits<int>::max();
  const int small = std::numeric_limits<int>::min();
  struct Case {
    int center, viewSize, level, expected;
  };
  const Case cases[] = {
      {2020, 1920, 2, 2020},                        // inside: unchanged
      {960, 1920, 2, 960},                          // both ends exactly reachable
      {2880, 1920, 2, 2880},  {959, 1920, 2, 960},  // below
      {2881, 1920, 2, 2880},                        // beyond
      {2040, 3840, 1, 1920},                        // level 1: only the frame centre
      {1628, 2160, 1, 1080},  {5, 3, 1, 1},         // odd size: 3 - 1.5 truncates
      {big, 2000, 8, 15000},                        // extremes do not overflow
      {small, 2000, 8, 1000}, {100, 0, 4, 0},       // no view yet
      {10, 100, 0, 50},                             // a level below 1 counts as 1
  };
  for (const auto& c : cases)
    EXPECT_EQ(clampViewCenter(c.center, c.viewSize, c.level), c.expected)
        << c.center << " size " << c.viewSize << " level " << c.level;
}

TEST(ZoomPan, DragAtLevelOneAlwaysEndsAtTheFrameCentre) {
  struct Move {
    int fromX, fromY, toX, toY;
  };
  const Move moves[] = {{0, 0, 0, 0}, {500, 400, 100, 50}, {10, 10, 900, 700}, {0, 0, 50000, -50000}};
  for (const auto& m : moves) {
    ViewState view = wholeFrame(3840, 2160);
    Bars bars;
    DragState drag;
    beginDrag(drag, m.fromX, m.fromY);
    EXPECT_TRUE(endDrag(drag, m.toX, m.toY, view, bars.horizontal, bars.vertical));
    EXPECT_EQ(view.viewCenterX, 1920);
    EXPECT_EQ(view.viewCenterY, 1080);
    EXPECT_EQ(bars.horizontal.info().nPos, 0);
    EXPECT_FALSE(bars.vertical.visible());
  }
}

TEST(ZoomPan, ReleaseWithoutPressDoesNothingAndANewPressStartsAfresh) {
  ViewState view = wholeFrame(3840, 2160);
  Bars bars;
  zoomIn(view, bars.horizontal, bars.vertical);
  view.viewCenterX = 2020;
  view.viewCenterY = 1180;
  DragState drag;

  EXPECT_FALSE(endDrag(drag, 0, 0, view, bars.horizontal, bars.vertical));
  EXPECT_EQ(view.viewCenterX, 2020);

  // Pressed and released outside (never seen), then clicked in place: the
  // second press replaces the start point, so the click pans by nothing.
  beginDrag(drag, 500, 400);
  beginDrag(drag, 300, 200);
  EXPECT_TRUE(endDrag(drag, 300, 200, view, bars.horizontal, bars.vertical));
  EXPECT_EQ(view.viewCenterX, 2020);
  EXPECT_EQ(view.viewCenterY, 1180);
  EXPECT_EQ(bars.horizontal.info().nPos, 35);  // the bars are set all the same
  EXPECT_FALSE(endDrag(drag, 0, 0, view, bars.horizontal, bars.vertical));
}

TEST(ZoomPan, LineStepsStopAtTheEndsAndOtherCodesChangeNothing) {
  ViewState view = wholeFrame(3840, 2160);
  Bars bars;
  zoomIn(view, bars.horizontal, bars.vertical);

  struct Case {
    int startPosition;
    ScrollCode code;
  };
  const Case cases[] = {
      {0, ScrollCode::LineUp},    {64, ScrollCode::LineDown},      {32, ScrollCode::PageUp},
      {32, ScrollCode::PageDown}, {32, ScrollCode::ThumbPosition}, {32, ScrollCode::Top},
      {32, ScrollCode::Bottom},   {32, ScrollCode::EndScroll},
  };
  for (const auto& c : cases) {
    bars.horizontal.setInfo({0, 127, 64, c.startPosition});
    int center = 1234;
    EXPECT_FALSE(scrollView(c.code, 50, center, view.viewWidth, view.zoomLevel, bars.horizontal))
        << static_cast<int>(c.code);
    EXPECT_EQ(center, 1234);
    EXPECT_EQ(bars.horizontal.info().nPos, c.startPosition);
  }

  // One step inside either end does move.
  bars.horizontal.setInfo({0, 127, 64, 1});
  int center = 0;
  EXPECT_TRUE(scrollView(ScrollCode::LineUp, 0, center, view.viewWidth, view.zoomLevel, bars.horizontal));
  EXPECT_EQ(bars.horizontal.info().nPos, 0);
  EXPECT_EQ(center, 960);
  bars.horizontal.setInfo({0, 127, 64, 63});
  EXPECT_TRUE(scrollView(ScrollCode::LineDown, 0, center, view.viewWidth, view.zoomLevel, bars.horizontal));
  EXPECT_EQ(bars.horizontal.info().nPos, 64);
  EXPECT_EQ(center, 64 * 30 + 960);
}

TEST(ZoomPan, ScrollingWithoutRoomToMoveIsSafe) {
  // Level 1: the bars are hidden and a line step has nowhere to go.
  Bars bars;
  for (ScrollCode code : {ScrollCode::LineUp, ScrollCode::LineDown}) {
    int center = 1920;
    EXPECT_FALSE(scrollView(code, 0, center, 3840, 1, bars.horizontal));
    EXPECT_EQ(center, 1920);
  }
  // Tracking a hidden bar: the divisor 127 - 128 wraps, the step is 0 and
  // the centre lands on the frame centre; the bar stays at 0.
  int center = 77;
  EXPECT_TRUE(scrollView(ScrollCode::ThumbTrack, 100, center, 3840, 1, bars.horizontal));
  EXPECT_EQ(center, 1920);
  EXPECT_EQ(bars.horizontal.info().nPos, 0);

  // No view size yet: everything maps to 0.
  ScrollBarModel bar;
  bar.setInfo({0, 127, 64, 10});
  center = 500;
  EXPECT_TRUE(scrollView(ScrollCode::ThumbTrack, 40, center, 0, 2, bar));
  EXPECT_EQ(center, 0);

  // A page of exactly nMax leaves no divisor: nothing happens.
  bar.setInfo({0, 127, 127, 0});
  center = 500;
  EXPECT_FALSE(scrollView(ScrollCode::ThumbTrack, 1, center, 1920, 2, bar));
  EXPECT_EQ(center, 500);
  EXPECT_EQ(bar.info().nPos, 0);

  // Extreme sizes and positions saturate instead of overflowing.
  bar.setInfo({0, 127, 16, 0});
  center = 0;
  EXPECT_TRUE(scrollView(ScrollCode::ThumbTrack, -1, center, std::numeric_limits<int>::max(), 8, bar));
  EXPECT_EQ(center, std::numeric_limits<int>::max());
  EXPECT_EQ(bar.info().nPos, 0);
}

TEST(ZoomPan, ExtremeViewStatesNeitherOverflowNorDivideByZero) {
  const int big = std::numeric_limits<int>::max();
  const int small = std::numeric_limits<int>::min();
  const ViewState states[] = {
      {0, 10, 10, 100, 100},  // a level below 1 counts as 1
      {-4, big, small, big, big},
      {2, small, big, big, big},
      {8, big, big, 0, 0},
  };
  for (const auto& start : states) {
    ViewState view = start;
    Bars bars;
    zoomIn(view, bars.horizontal, bars.vertical);
    EXPECT_GE(view.zoomLevel, 2);
    zoomOut(view, bars.horizontal, bars.vertical);
    DragState drag;
    beginDrag(drag, small, big);
    EXPECT_TRUE(endDrag(drag, big, small, view, bars.horizontal, bars.vertical));
    for (const ScrollBarModel* bar : {&bars.horizontal, &bars.vertical}) {
      EXPECT_GE(bar->info().nPos, 0);
      EXPECT_LE(bar->info().nPos, bar->highestPosition());
    }
  }
}
