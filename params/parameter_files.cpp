#include "params/parameter_files.h"

#include <array>

#include "params/atomic_file.h"
#include "params/number_reader.h"

void loadFocusPoint(const std::filesystem::path& file, FocusPoint& focusPoint) {
  std::optional<NumberReader> reader = NumberReader::open(file);
  if (!reader) return;
  // A second pair, when present, replaces the first.
  const std::array<float*, 4> destinations = {&focusPoint.x, &focusPoint.y, &focusPoint.x, &focusPoint.y};
  for (float* destination : destinations) {
    const std::optional<float> value = reader->readFloat();
    if (!value) return;
    *destination = *value;
  }
}

void loadOverlayParameters(const std::filesystem::path& file, OverlayRecords& records) {
  std::optional<NumberReader> reader = NumberReader::open(file);
  if (!reader) return;
  for (const NumericValueInfo& row : numericValueTable()) {
    const std::optional<int> value = reader->readInt();
    if (!value) return;
    numericValue(records, row.value) = *value;
  }
}

std::string formatOverlayParameters(const OverlayRecords& records) {
  std::string text;
  for (const NumericValueInfo& row : numericValueTable()) {
    if (!text.empty()) text += ' ';
    text += std::to_string(numericValue(records, row.value));
  }
  return text;
}

bool saveOverlayParameters(const std::filesystem::path& file, const OverlayRecords& records) {
  return replaceFileContents(file, formatOverlayParameters(records));
}
