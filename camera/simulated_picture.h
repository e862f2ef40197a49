#pragma once

#include <cstdint>
#include <opencv2/core.hpp>
#include <vector>

// The built-in picture of the simulated camera: what a user aligning optics
// sees through a real one. A dark field with faint stars and one bright,
// slightly defocused star ring near the centre (not on it, so an overlay
// centred on the frame visibly misses it), with mild noise and a slow drift.
//
// Frames must come cheaply at 4000 x 3000 and the picture must not cost a
// frame's worth of memory, so only the small parts are drawn ahead, once per
// size and brightness: a noisy background tile, the ring with the field
// around it, and the list of faint stars. A frame is the tiled background,
// the stars and the ring, all moved by the drift.
class SimulatedPicture {
 public:
  // Writes frame `frameIndex` of `size` into `frame` (8-bit BGR, continuous;
  // its pixels are reused when it already has that size and type).
  // `brightness` scales the light (1 = as drawn), as exposure and gain do.
  void render(cv::Size size, std::int64_t frameIndex, double brightness, cv::Mat& frame);

  // Offset of frame `frameIndex` from the undrifted position, in pixels.
  static cv::Point drift(cv::Size size, std::int64_t frameIndex);

 private:
  struct Star {
    cv::Point at;  // on the undrifted field
    int radius;
    cv::Scalar color;
  };

  void prepare(cv::Size size, double brightness);

  cv::Size size_;
  double brightness_ = -1.0;
  cv::Mat noise_;            // small tile; frames read windows of it at varying offsets
  cv::Mat noisyBackground_;  // the empty field plus that noise, twice the block size
  cv::Mat ring_;             // the ring and the field around it, without noise
  cv::Point ringAt_;         // top-left corner of ring_ on the undrifted field
  std::vector<Star> stars_;
};
