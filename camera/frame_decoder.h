#pragma once

#include <opencv2/core/mat.hpp>

#include "camera/v4l2_stream.h"

// Turns a camera's raw frame into the 8-bit BGR picture the overlay is drawn
// on: motion JPEG through libjpeg-turbo, packed YUV through OpenCV. One
// decoder per thread; it keeps its JPEG state between frames.
class FrameDecoder {
 public:
  FrameDecoder();
  ~FrameDecoder();
  FrameDecoder(const FrameDecoder&) = delete;
  FrameDecoder& operator=(const FrameDecoder&) = delete;

  // Decodes into `bgr`, reusing its pixels when the size fits. False for a
  // damaged frame or a format this program does not read; `bgr` is then
  // undefined.
  bool decode(const RawFrame& frame, cv::Mat& bgr);

  static bool canDecode(std::uint32_t fourcc);

 private:
  bool decodeJpeg(const RawFrame& frame, cv::Mat& bgr);

  void* jpeg_ = nullptr;  // tjhandle
};
