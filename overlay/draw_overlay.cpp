#include "overlay/draw_overlay.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>
#include <vector>

namespace {

// OpenCV's own upper limit for line thickness; beyond it the primitives assert.
constexpr int maxThickness = 32767;

// How far from the frame anything is drawn: 250 times the widest camera
// picture, so no real overlay gets near it. OpenCV's anti-aliased drawing
// takes time in proportion to the length of a line or the radius of a circle
// even where they miss the frame, and a line a billion pixels long takes
// seconds; this bound keeps any element to about a millisecond.
constexpr std::int64_t drawingReach = 1 << 20;

int roundHalfToEven(float value) {
  // Every float at or above 2^31 is out of range; -2^31 itself fits.
  constexpr float twoPow31 = 2147483648.0f;
  if (std::isnan(value) || value < -twoPow31) return INT_MIN;
  if (value >= twoPow31) return INT_MAX;
  // nearbyint follows the default rounding mode: nearest, ties to even.
  return static_cast<int>(std::nearbyint(value));
}

// Degrees to radians with the program's own value of pi, rounded to float on
// both sides: the crosshair end points depend on these exact steps.
float toRadians(double degrees) {
  const float narrowed = static_cast<float>(degrees);
  return static_cast<float>(static_cast<double>(narrowed) * 3.1415926 / 180.0);
}

// The frame comes from the camera in practice; anything else (no pixels, more
// than four channels, more than two dimensions) would make OpenCV assert.
bool canDrawInto(const cv::Mat& frame) {
  return !frame.empty() && frame.dims == 2 && frame.channels() <= 4;
}

// A thickness below 1 would fill a circle or make cv::line assert.
int drawableThickness(int thickness) {
  return std::clamp(thickness, 1, maxThickness);
}

// A ring larger than the reach could only cross the frame from a centre a
// million pixels away; such a circle is left out rather than drawn slowly.
bool isDrawn(const OverlayCircle& circle) {
  return circle.enabled == 1 && circle.radius >= 0 && circle.radius <= drawingReach;
}

void drawCircle(cv::Mat& frame, const OverlayCircle& circle, cv::Point center) {
  cv::circle(frame, center, circle.radius, circle.drawColor, drawableThickness(circle.thickness), cv::LINE_AA,
             0);
}

// How far from its radius a circle's drawing can reach: half the thickness,
// the anti-aliased edge, and the polygon OpenCV draws for a circle, whose
// sides fall short of the radius by up to a thousandth of it (with margin).
double ringReach(const OverlayCircle& circle) {
  return drawableThickness(circle.thickness) / 2.0 + 3.0 + circle.radius / 512.0;
}

// Concentric rings further apart than both reaches share no pixel, so they
// may be drawn at the same time with the same result as one after the other.
bool ringsApart(const std::vector<const OverlayCircle*>& rings) {
  for (std::size_t i = 0; i < rings.size(); ++i)
    for (std::size_t j = i + 1; j < rings.size(); ++j)
      if (std::abs(static_cast<double>(rings[i]->radius) - rings[j]->radius) <=
          ringReach(*rings[i]) + ringReach(*rings[j]))
        return false;
  return true;
}

// The circles in their order, the later covering the earlier. Thick
// anti-aliased rings of a large frame take most of a pass, so rings that
// cannot touch are drawn on two threads: the largest on one, the others in
// their order on the other.
void drawCircles(cv::Mat& frame, const std::vector<const OverlayCircle*>& rings, cv::Point center) {
  if (rings.size() < 2 || !ringsApart(rings)) {
    for (const OverlayCircle* ring : rings) drawCircle(frame, *ring, center);
    return;
  }
  const auto largest = std::max_element(rings.begin(), rings.end(),
                                        [](const auto* a, const auto* b) { return a->radius < b->radius; });
  cv::parallel_for_(cv::Range(0, 2), [&](const cv::Range& range) {
    for (int part = range.start; part < range.end; ++part)
      for (auto ring = rings.begin(); ring != rings.end(); ++ring)
        if ((ring == largest) == (part == 0)) drawCircle(frame, **ring, center);
  });
}

// Cuts the line to the frame grown by the reach on every side. Lines of a
// real overlay lie well inside and are left exactly as they are; false when
// nothing of the line is left.
bool clipToReach(const cv::Mat& frame, cv::Point& start, cv::Point& end) {
  const cv::Size2l area(frame.cols + 2 * drawingReach, frame.rows + 2 * drawingReach);
  cv::Point2l from(start.x + drawingReach, start.y + drawingReach);
  cv::Point2l to(end.x + drawingReach, end.y + drawingReach);
  if (!cv::clipLine(area, from, to)) return false;
  start = cv::Point(static_cast<int>(from.x - drawingReach), static_cast<int>(from.y - drawingReach));
  end = cv::Point(static_cast<int>(to.x - drawingReach), static_cast<int>(to.y - drawingReach));
  return true;
}

void drawLine(cv::Mat& frame, cv::Point start, cv::Point end, const Crosshair& crosshair) {
  if (!clipToReach(frame, start, end)) return;
  cv::line(frame, start, end, crosshair.drawColor, drawableThickness(crosshair.thickness), cv::LINE_AA, 0);
}

}  // namespace

OverlayCenter overlayCenter(const CenterOffset& offset, FocusPoint focusPoint) {
  if (offset.enabled != 1) return {focusPoint.x, focusPoint.y};
  return {static_cast<float>(offset.horizontal) + focusPoint.x,
          static_cast<float>(offset.vertical) + focusPoint.y};
}

cv::Point roundToPoint(float x, float y) {
  return {roundHalfToEven(x), roundHalfToEven(y)};
}

CrosshairLines crosshairLines(OverlayCenter center, int length, int angleTenths) {
  const double degrees = angleTenths / 10.0;
  const float theta1 = toRadians(degrees);
  const float theta2 = toRadians(degrees + 90.0);
  const float arm = static_cast<float>(length);
  const float s1 = std::sin(theta1);
  const float c1 = std::cos(theta1);
  const float s2 = std::sin(theta2);
  const float c2 = std::cos(theta2);
  const float cx = center.cx;
  const float cy = center.cy;
  return {
      roundToPoint(cx - arm * s1, cy - arm * c1),
      roundToPoint(cx + arm * s1, cy + arm * c1),
      roundToPoint(cx - arm * s2, cy - arm * c2),
      roundToPoint(cx + arm * s2, cy + arm * c2),
  };
}

void DrawOverlay(cv::Mat& frame, const OverlayRecords& records, FocusPoint focusPoint) {
  if (!canDrawInto(frame)) return;
  const OverlayCenter center = overlayCenter(records.centerOffset, focusPoint);
  const cv::Point circleCenter = roundToPoint(center.cx, center.cy);

  std::vector<const OverlayCircle*> rings;
  for (const OverlayCircle* circle : {&records.circle2, &records.circle1, &records.circle3})
    if (isDrawn(*circle)) rings.push_back(circle);
  drawCircles(frame, rings, circleCenter);

  const Crosshair& crosshair = records.crosshair;
  if (crosshair.enabled != 1) return;
  const CrosshairLines lines = crosshairLines(center, crosshair.length, crosshair.angle);
  drawLine(frame, lines.line1Start, lines.line1End, crosshair);
  drawLine(frame, lines.line2Start, lines.line2End, crosshair);
}
