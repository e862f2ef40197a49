#pragma once

#include <opencv2/core/mat.hpp>
#include <opencv2/core/types.hpp>

#include "overlay/overlay_records.h"

// The overlay centre before rounding, in full-frame pixels.
struct OverlayCenter {
  float cx = 0.0f;
  float cy = 0.0f;
};

// `focusPoint`, moved by the offset when the offset is enabled (== 1). The
// sums are single precision, as the calibration values are.
OverlayCenter overlayCenter(const CenterOffset& offset, FocusPoint focusPoint);

// Rounds to the nearest integer with halves going to the even neighbour.
// Values beyond the int range saturate; NaN gives INT_MIN, which is what the
// processor's own conversion yields, so such a point lies far outside any frame.
cv::Point roundToPoint(float x, float y);

struct CrosshairLines {
  cv::Point line1Start;
  cv::Point line1End;
  cv::Point line2Start;
  cv::Point line2End;
};

// The two crosshair lines through `center`, each 2 * `length` long; at angle 0
// line 1 is vertical, and a growing angle (tenths of a degree) turns the
// crosshair anticlockwise on screen.
CrosshairLines crosshairLines(OverlayCenter center, int length, int angleTenths);

// Draws the enabled circles (circle2, circle1, circle3, so a later one covers
// an earlier one) and then the crosshair into `frame`, anti-aliased.
// Never fails and never stalls: an empty frame or one OpenCV cannot draw into
// is left alone, a circle with a negative radius or one above 2^20 pixels is
// skipped, lines are cut 2^20 pixels beyond the frame, and thicknesses are
// kept within 1..32767 so nothing is ever filled. Values within the panel's
// ranges are drawn exactly as given.
void DrawOverlay(cv::Mat& frame, const OverlayRecords& records, FocusPoint focusPoint);
