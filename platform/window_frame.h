#pragma once

#include "platform/dialog_units.h"

// The window manager's frame around a top-level window, in pixels on each
// side; all 0 where there is no window manager or it draws no frame.
struct FrameExtents {
  int left = 0;
  int right = 0;
  int top = 0;
  int bottom = 0;

  friend bool operator==(const FrameExtents&, const FrameExtents&) = default;
};

// The window's own rectangle (frame excluded) whose frame fills `outer`
// exactly: windows are placed and sized by their outer frame. Never of
// negative size.
PixelRect rectInsideFrame(const PixelRect& outer, const FrameExtents& frame);
