#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

// The view arithmetic works in 32-bit ints like the window state it updates.
// Intermediate results are formed wider and brought back through these, so
// extreme centres or sizes saturate instead of overflowing.

inline int saturateToInt(std::int64_t value) {
  if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

// Truncates toward zero like a C cast, but defined for every input:
// out-of-range values saturate and NaN gives 0.
inline int truncateToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<int>::max();
  if (value <= -2147483648.0) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}
