#include "overlay/draw_overlay.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#include <utility>

namespace {

const cv::Scalar red(0, 0, 255, 0);
const cv::Scalar green(0, 255, 0, 0);
const cv::Scalar blue(255, 0, 0, 0);
const cv::Scalar magenta(255, 0, 255, 0);

cv::Mat blackFrame(int width = 200, int height = 200) {
  return cv::Mat(height, width, CV_8UC3, cv::Scalar::all(0));
}

bool identical(const cv::Mat& a, const cv::Mat& b) {
  return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0;
}

OverlayCircle circle(int radius, int thickness, const cv::Scalar& color) {
  OverlayCircle c;
  c.enabled = 1;
  c.radius = radius;
  c.thickness = thickness;
  c.drawColor = color;
  return c;
}

// Everything set up to draw but switched off by `enabled`.
OverlayRecords everyElementWithEnabled(int enabled) {
  OverlayRecords records;
  records.circle1 = circle(30, 2, green);
  records.circle2 = circle(40, 2, red);
  records.circle3 = circle(50, 2, blue);
  records.circle1.enabled = records.circle2.enabled = records.circle3.enabled = enabled;
  records.crosshair = {enabled, 60, 2, 300, magenta, "", "", ""};
  records.centerOffset = {enabled, 5, -5, "", ""};
  return records;
}

cv::Vec3b colorOf(const cv::Scalar& s) {
  return {static_cast<uchar>(s[0]), static_cast<uchar>(s[1]), static_cast<uchar>(s[2])};
}

}  // namespace

TEST(OverlayCenter, AddsTheOffsetOnlyWhenEnabled) {
  struct Case {
    CenterOffset offset;
    FocusPoint focus;
    float cx;
    float cy;
  };
  const Case cases[] = {
      {{1, 5, -20, "", ""}, {1000.0f, 750.0f}, 980.0f, 755.0f},
      {{0, 5, -20, "", ""}, {1000.0f, 750.0f}, 1000.0f, 750.0f},
      {{2, 5, -20, "", ""}, {1000.0f, 750.0f}, 1000.0f, 750.0f},  // only 1 switches it on
      {{1, 3, 2, "", ""}, {100.25f, 200.75f}, 102.25f, 203.75f},
  };
  for (const Case& c : cases) {
    const OverlayCenter center = overlayCenter(c.offset, c.focus);
    EXPECT_EQ(center.cx, c.cx) << c.offset.enabled;
    EXPECT_EQ(center.cy, c.cy) << c.offset.enabled;
  }
}

TEST(RoundToPoint, RoundsHalvesToEvenAndSaturates) {
  constexpr float nan = std::numeric_limits<float>::quiet_NaN();
  constexpr float inf = std::numeric_limits<float>::infinity();
  struct Case {
    float value;
    int expected;
  };
  const Case cases[] = {
      {100.5f, 100},
      {200.5f, 200},
      {101.5f, 102},
      {202.5f, 202},
      {-0.5f, 0},
      {-1.5f, -2},
      {-2.5f, -2},
      {0.49999997f, 0},
      {7.6f, 8},
      {-7.6f, -8},
      {2147483520.0f, 2147483520},
      {3e9f, INT_MAX},
      {inf, INT_MAX},
      {-2147483648.0f, INT_MIN},
      {-3e9f, INT_MIN},
      {-inf, INT_MIN},
      {nan, INT_MIN},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(roundToPoint(c.value, 0.0f), cv::Point(c.expected, 0)) << c.value;
    EXPECT_EQ(roundToPoint(0.0f, c.value), cv::Point(0, c.expected)) << c.value;
  }
}

TEST(CrosshairLines, EndPointsAtTheThreeKeyAngles) {
  struct Case {
    int angleTenths;
    CrosshairLines expected;
  };
  const Case cases[] = {
      {0, {{500, 300}, {500, 500}, {400, 400}, {600, 400}}},
      {450, {{429, 329}, {571, 471}, {429, 471}, {571, 329}}},
      {900, {{400, 400}, {600, 400}, {500, 500}, {500, 300}}},
  };
  for (const Case& c : cases) {
    const CrosshairLines lines = crosshairLines({500.0f, 400.0f}, 100, c.angleTenths);
    EXPECT_EQ(lines.line1Start, c.expected.line1Start) << c.angleTenths;
    EXPECT_EQ(lines.line1End, c.expected.line1End) << c.angleTenths;
    EXPECT_EQ(lines.line2Start, c.expected.line2Start) << c.angleTenths;
    EXPECT_EQ(lines.line2End, c.expected.line2End) << c.angleTenths;
  }
}

TEST(CrosshairLines, CrossAtTheUnroundedCentre) {
  // A centre on a half: both ends are rounded separately, each to even.
  const CrosshairLines lines = crosshairLines({100.5f, 50.5f}, 10, 0);
  EXPECT_EQ(lines.line1Start, cv::Point(100, 40));  // (100.5, 40.5)
  EXPECT_EQ(lines.line1End, cv::Point(100, 60));    // (100.5, 60.5)
  EXPECT_EQ(lines.line2Start, cv::Point(90, 50));   // (90.5, 50.5)
  EXPECT_EQ(lines.line2End, cv::Point(110, 50));    // (110.5, 50.5)
}

TEST(DrawOverlay, DisabledElementsLeaveTheFrameUnchanged) {
  // Only an enabled value of exactly 1 counts.
  for (int enabled : {0, 2, -1}) {
    cv::Mat frame = blackFrame();
    cv::randu(frame, cv::Scalar::all(0), cv::Scalar::all(256));
    const cv::Mat before = frame.clone();
    DrawOverlay(frame, everyElementWithEnabled(enabled), {100.0f, 100.0f});
    EXPECT_TRUE(identical(frame, before)) << enabled;
  }
}

TEST(DrawOverlay, CircleLiesAtItsRadiusInItsColour) {
  OverlayRecords records;
  records.circle1 = circle(50, 3, green);
  cv::Mat frame = blackFrame();
  DrawOverlay(frame, records, {100.5f, 99.5f});  // rounds to (100, 100)

  const cv::Vec3b black(0, 0, 0);
  for (const cv::Point onCircle :
       {cv::Point(150, 100), cv::Point(50, 100), cv::Point(100, 150), cv::Point(100, 50)})
    EXPECT_EQ(frame.at<cv::Vec3b>(onCircle), colorOf(green)) << onCircle;
  for (const cv::Point off :
       {cv::Point(100, 100), cv::Point(145, 100), cv::Point(155, 100), cv::Point(100, 45)})
    EXPECT_EQ(frame.at<cv::Vec3b>(off), black) << off;
}

TEST(DrawOverlay, LaterElementsCoverEarlierOnes) {
  // Circles go in the order 2, 1, 3, the crosshair last.
  struct Case {
    bool circle1;
    bool circle2;
    bool circle3;
    bool crosshair;
    cv::Scalar visible;
  };
  const Case cases[] = {
      {true, true, false, false, green}, {false, true, true, false, blue},  {true, false, true, false, blue},
      {true, true, true, false, blue},   {true, true, true, true, magenta},
  };
  for (const Case& c : cases) {
    OverlayRecords records;
    records.circle1 = circle(40, 3, green);
    records.circle2 = circle(40, 3, red);
    records.circle3 = circle(40, 3, blue);
    records.circle1.enabled = c.circle1;
    records.circle2.enabled = c.circle2;
    records.circle3.enabled = c.circle3;
    records.crosshair = {c.crosshair, 60, 3, 900, magenta, "", "", ""};  // line 1 horizontal
    cv::Mat frame = blackFrame();
    DrawOverlay(frame, records, {100.0f, 100.0f});
    EXPECT_EQ(frame.at<cv::Vec3b>(100, 140), colorOf(c.visible))
        << c.circle1 << c.circle2 << c.circle3 << c.crosshair;
  }
}

TEST(DrawOverlay, CrosshairFollowsTheOffsetCentre) {
  OverlayRecords records;
  records.crosshair = {1, 40, 3, 0, magenta, "", "", ""};
  records.centerOffset = {1, 5, -20, "", ""};
  cv::Mat frame = blackFrame();
  DrawOverlay(frame, records, {100.0f, 100.0f});
  // Vertical line 1 at column 80, horizontal line 2 on row 105.
  EXPECT_EQ(frame.at<cv::Vec3b>(70, 80), colorOf(magenta));
  EXPECT_EQ(frame.at<cv::Vec3b>(105, 110), colorOf(magenta));
  EXPECT_EQ(frame.at<cv::Vec3b>(70, 100), cv::Vec3b(0, 0, 0));
}

TEST(DrawOverlay, FramesThatCannotBeDrawnIntoAreLeftAlone) {
  const OverlayRecords records = everyElementWithEnabled(1);
  cv::Mat empty;
  DrawOverlay(empty, records, {10.0f, 10.0f});
  EXPECT_TRUE(empty.empty());

  cv::Mat fiveChannels(50, 50, CV_8UC(5), cv::Scalar::all(0));
  DrawOverlay(fiveChannels, records, {10.0f, 10.0f});
  EXPECT_EQ(cv::countNonZero(fiveChannels.reshape(1)), 0);

  const int sizes[] = {4, 4, 4};
  cv::Mat cube(3, sizes, CV_8UC1, cv::Scalar::all(0));
  DrawOverlay(cube, records, {1.0f, 1.0f});
  EXPECT_EQ(cv::countNonZero(cube.reshape(1, 16)), 0);

  // Other depths are drawable and get drawn into.
  cv::Mat wide(200, 200, CV_16UC3, cv::Scalar::all(0));
  DrawOverlay(wide, records, {100.0f, 100.0f});
  EXPECT_GT(cv::countNonZero(wide.reshape(1)), 0);
}

TEST(DrawOverlay, OutOfRangeCirclesNeitherCrashNorFill) {
  constexpr float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    const char* what;
    int radius;
    int thickness;
    FocusPoint focus;
    bool ringAtRadius40;
  };
  const Case cases[] = {
      {"negative thickness", 40, -1, {100.0f, 100.0f}, true},
      {"zero thickness", 40, 0, {100.0f, 100.0f}, true},
      {"thickness above OpenCV's limit", 40, 100000, {100.0f, 100.0f}, false},
      {"negative radius", -40, 2, {100.0f, 100.0f}, false},
      {"huge radius", INT_MAX, 2, {100.0f, 100.0f}, false},
      {"huge centre", 40, 2, {3e38f, -3e38f}, false},
      {"NaN centre", 40, 2, {nan, nan}, false},
  };
  for (const Case& c : cases) {
    OverlayRecords records;
    records.circle1 = circle(c.radius, c.thickness, green);
    cv::Mat frame = blackFrame(300, 200);
    DrawOverlay(frame, records, c.focus);
    if (c.ringAtRadius40) {
      // Thickness is kept at 1: a ring, never a filled disc.
      EXPECT_EQ(frame.at<cv::Vec3b>(110, 110), cv::Vec3b(0, 0, 0)) << c.what;
      EXPECT_GT(frame.at<cv::Vec3b>(100, 140)[1], 100) << c.what;
    }
  }
}

TEST(DrawOverlay, OutOfRangeCrosshairsNeitherCrashNorVanish) {
  struct Case {
    int length;
    int thickness;
    int angle;
  };
  const Case cases[] = {
      {INT_MAX, 2, INT_MIN}, {INT_MIN, 2, INT_MAX}, {-50, 2, -450}, {0, 2, 0}, {50, -5, 0}, {50, 0, 0},
      {50, 100000, 0},
  };
  for (const Case& c : cases) {
    OverlayRecords records;
    records.crosshair = {1, c.length, c.thickness, c.angle, magenta, "", "", ""};
    cv::Mat frame = blackFrame(300, 200);
    DrawOverlay(frame, records, {100.0f, 100.0f});
    // Every case passes through the centre, so something is always drawn there.
    double brightest = 0.0;
    cv::minMaxLoc(frame(cv::Rect(99, 99, 3, 3)).reshape(1), nullptr, &brightest);
    EXPECT_GT(brightest, 150.0) << c.length << " " << c.thickness << " " << c.angle;
  }
}

TEST(DrawOverlay, VeryLongLinesStillCrossTheWholeFrame) {
  OverlayRecords records;
  records.crosshair = {1, 2000000000, 3, 900, magenta, "", "", ""};  // line 1 horizontal, line 2 vertical
  cv::Mat frame = blackFrame(300, 200);
  DrawOverlay(frame, records, {150.0f, 100.0f});
  for (const cv::Point edge :
       {cv::Point(0, 100), cv::Point(299, 100), cv::Point(150, 0), cv::Point(150, 199)})
    EXPECT_EQ(frame.at<cv::Vec3b>(edge), colorOf(magenta)) << edge;
}

// Rings that cannot touch are drawn side by side; the frame must come out
// exactly as drawn one primitive after the other in the order of the panel,
// also for rings close enough to overlap, where the later must cover.
TEST(DrawOverlay, MatchesDrawingOneElementAfterTheOther) {
  cv::RNG rng(20261210);
  for (int trial = 0; trial < 60; ++trial) {
    OverlayRecords records;
    const cv::Scalar colours[] = {red, green, blue};
    OverlayCircle* circles[] = {&records.circle2, &records.circle1, &records.circle3};
    const int base = rng.uniform(1, 700);
    for (int i = 0; i < 3; ++i) {
      // Every third trial puts the rings a few pixels apart, so they overlap.
      const int radius = trial % 3 == 0 ? base + rng.uniform(0, 8) : rng.uniform(1, 700);
      *circles[i] = circle(radius, rng.uniform(1, 5), colours[i]);
      circles[i]->enabled = rng.uniform(0, 4) != 0;
    }
    records.crosshair = {
        rng.uniform(0, 2), rng.uniform(1, 700), rng.uniform(1, 5), rng.uniform(0, 901), magenta, "", "", ""};
    const FocusPoint focus{static_cast<float>(rng.uniform(-100.0, 700.0)),
                           static_cast<float>(rng.uniform(-100.0, 500.0))};

    cv::Mat expected(400, 600, CV_8UC3);
    rng.fill(expected, cv::RNG::UNIFORM, 0, 256);
    cv::Mat frame = expected.clone();
    DrawOverlay(frame, records, focus);

    const OverlayCenter center = overlayCenter(records.centerOffset, focus);
    const cv::Point at = roundToPoint(center.cx, center.cy);
    for (const OverlayCircle* c : circles)
      if (c->enabled == 1) cv::circle(expected, at, c->radius, c->drawColor, c->thickness, cv::LINE_AA, 0);
    if (records.crosshair.enabled == 1) {
      const CrosshairLines lines = crosshairLines(center, records.crosshair.length, records.crosshair.angle);
      for (const auto& [from, to] :
           {std::pair{lines.line1Start, lines.line1End}, {lines.line2Start, lines.line2End}})
        cv::line(expected, from, to, magenta, records.crosshair.thickness, cv::LINE_AA, 0);
    }
    ASSERT_TRUE(identical(frame, expected)) << "trial " << trial;
  }
}
