// Fuzzes the calibration file reader through a real file.
//
// Besides crashes and sanitizer reports it checks what must hold for any
// file: the optical centre stays finite (nan, inf and out-of-range values are
// refused, never stored), and blank space in front of the file changes
// nothing, also when the numbers then straddle a refill of the read buffer.

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "params/parameter_files.h"
#include "tests/fuzz/fuzz_input_file.h"

namespace {

// Equal values with equal signs: -0 and 0 must not pass for one another.
bool sameBits(float a, float b) {
  return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static FuzzInputFile input("focus");

  FocusPoint plain{0.0f, 0.0f};
  loadFocusPoint(input.write(data, size), plain);
  if (!std::isfinite(plain.x) || !std::isfinite(plain.y)) std::abort();

  FocusPoint padded{0.0f, 0.0f};
  loadFocusPoint(input.write(data, size, paddingBeforeBoundary(data, size)), padded);
  if (!sameBits(plain.x, padded.x) || !sameBits(plain.y, padded.y)) std::abort();
  return 0;
}
