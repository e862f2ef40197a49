#pragma once

#include <optional>
#include <string>
#include <vector>

#include "overlay/draw_overlay.h"
#include "overlay/spot_measurement.h"

// The lines of the measurement box: the spot's offset from the overlay
// centre in frame pixels (dx, dy and the distance), its half-flux diameter
// and sharpness, or that no spot stands out; last the presented frames per
// second. Numbers are written the same way whatever the locale.
std::vector<std::string> measurementLines(const std::optional<SpotMeasurement>& spot, OverlayCenter center,
                                          double framesPerSecond);

// The short notices over the picture after a snapshot.
std::string snapshotSavedNotice(const std::string& picturePath);
std::string snapshotFailedNotice(const std::string& reason);
std::string snapshotBusyNotice();
