// Fuzzes the calibration file reader through a real file.
//
// Besides crashes and sanitizer reports it checks what must hold for any
// file: the optical centre stays finite (nan, inf and out-of-range values are
// refused, never stored), and blank space in front of the file changes
// nothing, also when the numbers then straddle a refill of the read buffer.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "params/parameter_files.h"
#include "tests/fuzz/fuzz_input_file.h"

namespace {

bool sameBits(float a, float b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
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
