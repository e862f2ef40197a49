#include "platform/dialog_units.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

int averageCharWidth(int advanceOfLetters) {
  // Half-pixel rounding of advance / 52, done in integers.
  return (advanceOfLetters / 26 + 1) / 2;
}

int mulDivRounded(int value, int numerator, int denominator) {
  if (denominator == 0) return 0;
  const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
  const std::int64_t half = std::llabs(static_cast<std::int64_t>(denominator)) / 2;
  const bool negative = (product < 0) != (denominator < 0);
  const std::int64_t magnitude =
      (std::llabs(product) + half) / std::llabs(static_cast<std::int64_t>(denominator));
  const std::int64_t result = negative ? -magnitude : magnitude;
  if (result > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (result < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(result);
}

int dialogUnitsToPixelsX(int dialogUnits, const DialogBaseUnits& base) {
  return mulDivRounded(dialogUnits, base.averageCharWidth, 4);
}

int dialogUnitsToPixelsY(int dialogUnits, const DialogBaseUnits& base) {
  return mulDivRounded(dialogUnits, base.charHeight, 8);
}

PixelRect dialogRectToPixels(const DialogRect& rect, const DialogBaseUnits& base) {
  return {dialogUnitsToPixelsX(rect.x, base), dialogUnitsToPixelsY(rect.y, base),
          dialogUnitsToPixelsX(rect.width, base), dialogUnitsToPixelsY(rect.height, base)};
}
