#pragma once

#include <filesystem>
#include <string>

#include "overlay/overlay_records.h"

// The calibration file and the overlay parameter file, both looked up in the
// working directory by these bare names.
inline constexpr const char* focusFileName = "focus.txt";
inline constexpr const char* overlayParameterFileName = "config4k.txt";

// Reads up to four floats into x, y, x, y. Reading stops at the first value
// that cannot be read; what was not read keeps its value, so a missing or
// broken file changes nothing.
void loadFocusPoint(const std::filesystem::path& file, FocusPoint& focusPoint);

// Reads up to eleven integers into the numeric values, in the order of
// numericValueTable(), stopping like loadFocusPoint. Values are stored as read,
// without a range check; the texts are not touched.
void loadOverlayParameters(const std::filesystem::path& file, OverlayRecords& records);

// The eleven values as "%d", one blank between them, nothing after the last.
std::string formatOverlayParameters(const OverlayRecords& records);

// Writes formatOverlayParameters() to `file`. On failure returns false and
// leaves an existing file as it was.
bool saveOverlayParameters(const std::filesystem::path& file, const OverlayRecords& records);
