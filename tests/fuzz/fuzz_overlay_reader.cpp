// Fuzzes the overlay parameter file reader through a real file.
//
// Besides crashes and sanitizer reports it checks that blank space in front
// of the file changes nothing (also across a refill of the read buffer), and
// that whatever was read survives a save and a second reading unchanged: the
// reader and the writer agree on every value they can hold.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "params/parameter_files.h"
#include "tests/fuzz/fuzz_input_file.h"

namespace {

OverlayRecords startValues() {
  OverlayRecords records;
  for (const NumericValueInfo& row : numericValueTable()) numericValue(records, row.value) = row.startValue;
  return records;
}

bool sameValues(const OverlayRecords& a, const OverlayRecords& b) {
  for (const NumericValueInfo& row : numericValueTable())
    if (numericValue(a, row.value) != numericValue(b, row.value)) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static FuzzInputFile input("config");
  static FuzzInputFile saved("config-saved");

  OverlayRecords plain = startValues();
  loadOverlayParameters(input.write(data, size), plain);

  OverlayRecords padded = startValues();
  loadOverlayParameters(input.write(data, size, paddingBeforeBoundary(data, size)), padded);
  if (!sameValues(plain, padded)) std::abort();

  const std::string text = formatOverlayParameters(plain);
  OverlayRecords reread;  // all zero: every value must come from the file
  loadOverlayParameters(saved.write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), reread);
  if (!sameValues(plain, reread)) std::abort();
  return 0;
}
