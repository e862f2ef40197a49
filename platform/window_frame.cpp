#include "platform/window_frame.h"

#include <algorithm>

PixelRect rectInsideFrame(const PixelRect& outer, const FrameExtents& frame) {
  return {outer.x + frame.left, outer.y + frame.top, std::max(0, outer.width - frame.left - frame.right),
          std::max(0, outer.height - frame.top - frame.bottom)};
}
