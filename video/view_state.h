#pragma once

#include <algorithm>
#include <cstdint>

#include "video/int_saturation.h"

// Zoom and pan state of the video window. The crop reads the level and the
// centre and writes back the size it cut; the zoom steps rescale the size.
struct ViewState {
  int zoomLevel = 1;
  int viewCenterX = 0;
  int viewCenterY = 0;
  int viewWidth = 0;
  int viewHeight = 0;
};

// A rectangle with exclusive right and bottom edges, as window client areas
// are reported: width = right - left.
struct IntRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  // Saturating, so an extreme rectangle cannot overflow into a wrong sign.
  int width() const { return saturateToInt(std::int64_t{right} - left); }
  int height() const { return saturateToInt(std::int64_t{bottom} - top); }

  friend bool operator==(const IntRect&, const IntRect&) = default;
};

// A level below 1 would divide by zero or flip signs everywhere the level is
// a divisor or factor; it never arises from the zoom steps, so read it as 1.
inline int effectiveZoomLevel(int zoomLevel) {
  return std::max(zoomLevel, 1);
}
