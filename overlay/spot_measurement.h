#pragma once

#include <opencv2/core/mat.hpp>
#include <optional>

// The brightest compact spot or ring of a frame, in full-frame pixels with
// pixel centres at whole numbers (as the overlay draws).
struct SpotMeasurement {
  // Intensity-weighted centroid, background subtracted.
  double x = 0.0;
  double y = 0.0;
  // Diameter of the circle around the centroid that holds half the spot's light.
  double halfFluxDiameter = 0.0;
  // Variance of the Laplacian over the spot's neighbourhood: grows as the spot sharpens.
  double sharpness = 0.0;
};

// Finds the spot on a reduced sample of `frame` and measures it on the
// full-resolution neighbourhood. The brightness of a pixel is its brightest
// channel, so a coloured laser spot counts as fully as a white one. Frames of
// 8 bits with 1, 3 or 4 channels; anything else, and a frame where nothing
// stands out from the background noise, gives nullopt. `frame` is only read.
std::optional<SpotMeasurement> measureSpot(const cv::Mat& frame);
