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

// The same for a stream of frames, at a fraction of the cost: once a spot
// is found, the next few frames are measured in its neighbourhood only
// (which follows the spot), and then the whole frame is searched again. A
// brighter spot appearing elsewhere is therefore reported a few frames
// late; a spot that fades or leaves its neighbourhood is searched for at once.
// The working images are kept from frame to frame.
class SpotMeter {
 public:
  std::optional<SpotMeasurement> measure(const cv::Mat& frame);

 private:
  struct Tracked {
    cv::Size frameSize;
    cv::Rect area;
    double noiseDeviation = 0.0;
    double detection = 0.0;
    int passesSinceSearch = 0;
  };
  std::optional<Tracked> tracked_;
  cv::Mat sample_;
  cv::Mat smooth_;
  cv::Mat region_;
};
