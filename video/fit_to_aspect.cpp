#include "video/fit_to_aspect.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// w / h in double, with the IEEE results spelled out for h == 0 so that no
// division by zero is ever executed: an empty rectangle gives NaN and is
// then fitted as a "too tall" one, which leaves it as it is.
double widthToHeight(std::int64_t width, std::int64_t height) {
  if (height != 0) return static_cast<double>(width) / static_cast<double>(height);
  if (width == 0) return std::numeric_limits<double>::quiet_NaN();
  return width > 0 ? std::numeric_limits<double>::infinity() : -std::numeric_limits<double>::infinity();
}

}  // namespace

IntRect fitToAspect(IntRect rect, float ratio) {
  if (!(ratio > 0.0f) || std::isinf(ratio)) return rect;

  const std::int64_t width = std::int64_t{rect.right} - rect.left;
  const std::int64_t height = std::int64_t{rect.bottom} - rect.top;
  const double shape = widthToHeight(width, height);
  if (shape == static_cast<double>(ratio)) return rect;

  const float widthF = static_cast<float>(width);
  const float heightF = static_cast<float>(height);
  if (shape > static_cast<double>(ratio)) {
    // Too wide: equal bars left and right.
    const float margin = (widthF - heightF * ratio) * 0.5f;
    rect.left = truncateToInt(static_cast<float>(rect.left) + margin);
    rect.right = truncateToInt(static_cast<float>(rect.right) - margin);
  } else {
    // Too tall (or empty): equal bars above and below.
    const float margin = (heightF - widthF / ratio) * 0.5f;
    rect.top = truncateToInt(static_cast<float>(rect.top) + margin);
    rect.bottom = truncateToInt(static_cast<float>(rect.bottom) - margin);
  }
  return rect;
}
