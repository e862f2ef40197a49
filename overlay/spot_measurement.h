#pragma once

#include <cstddef>
#include <opencv2/core/mat.hpp>
#include <optional>
#include <vector>

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

// What a SpotMeter reads of one frame: the brightness of the neighbourhoods
// it follows and, when a search is due, of a reduced sample of the whole
// frame. Small next to the frame, and kept from frame to frame so that
// taking it reuses its buffers.
struct SpotSample {
  struct Area {
    cv::Rect area;       // in the frame
    int step = 1;        // every step-th pixel of every step-th row
    cv::Mat brightness;  // 8 bits, one channel
  };
  cv::Size frameSize;  // empty when the frame is none the meter can measure
  std::vector<Area> areas;
  std::size_t areaCount = 0;  // areas in use; the rest keep their buffers
  int searchStep = 0;         // 0: no search this frame
  cv::Mat search;
};

// The same for a stream of frames, at a fraction of the cost: once a spot
// is found, the next few frames are measured in its neighbourhood only
// (which follows the spot), and then the whole frame is searched again. A
// brighter spot appearing elsewhere is therefore reported a few frames
// late; a spot that fades or leaves its neighbourhood is searched for at
// once, and while nothing stands out the frame is searched every few frames.
//
// The work comes in two steps, so that another thread may do the larger one:
// take() reads what the frame's measurement needs (a small part of the cost)
// and measureSample() does the rest from that sample alone, after which the
// frame may have changed. The two must not run at the same time. A spot
// found by a search that way is measured from the next frame's sample on;
// measure() does both steps, as often as the frame needs, on the frame itself.
class SpotMeter {
 public:
  std::optional<SpotMeasurement> measure(const cv::Mat& frame);

  void take(const cv::Mat& frame, SpotSample& sample) const;
  std::optional<SpotMeasurement> measureSample(const SpotSample& sample);
  // After measureSample(): the frame has more to measure than its sample
  // held (a search found places, or lost the spot followed).
  bool wantsMoreOfThisFrame() const { return moreOnThisFrame_; }

 private:
  // Up to a few places in the whole-frame sample, brightest first.
  std::vector<cv::Rect> searchSample(const SpotSample& sample, double backgroundLevel, double detection);

  // The neighbourhoods to measure next, best first: the one followed, or
  // the places a search found.
  std::vector<cv::Rect> areas_;
  cv::Size frameSize_;
  double noiseDeviation_ = 0.0;
  double detection_ = 0.0;
  int passesSinceSearch_ = 0;
  bool searchNow_ = true;
  bool following_ = false;  // areas_ holds a spot measured before
  // After measureSample(): the same frame has more to measure (its search
  // found places not yet measured on it).
  bool moreOnThisFrame_ = false;
  cv::Mat smooth_;
  cv::Mat region_;
};
