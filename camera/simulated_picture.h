#pragma once

#include <cstdint>
#include <opencv2/core.hpp>

// The built-in picture of the simulated camera: what a user aligning optics
// sees through a real one. A dark field with faint stars and one bright,
// slightly defocused star ring near the centre (not on it, so an overlay
// centred on the frame visibly misses it), with mild noise and a slow drift.
//
// Frames must come cheaply at 4000 x 3000, so all drawing happens once per
// size and brightness into a picture a little larger than the frame; a frame
// is then a window into it moved by the drift, plus noise from a small tile,
// in a single pass over the pixels.
class SimulatedPicture {
 public:
  // Writes frame `frameIndex` of `size` into `frame` (8-bit BGR, continuous).
  // `brightness` scales the light (1 = as drawn), as exposure and gain do.
  void render(cv::Size size, std::int64_t frameIndex, double brightness, cv::Mat& frame);

  // Offset of frame `frameIndex` from the undrifted position, in pixels.
  static cv::Point drift(cv::Size size, std::int64_t frameIndex);

 private:
  void prepare(cv::Size size, double brightness);

  cv::Size size_;
  double brightness_ = -1.0;
  int margin_ = 0;
  cv::Mat exposed_;  // at brightness_, frame plus margin on every side
  cv::Mat noise_;    // small tile; frames read windows of it at varying offsets
};
