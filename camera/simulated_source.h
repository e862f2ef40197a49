#pragma once

#include <memory>
#include <opencv2/core.hpp>
#include <opencv2/videoio.hpp>
#include <string>

// Frames of the simulated camera taken from a file instead of the built-in
// picture: a still image repeated, or a video played in a loop.
class FileFrameSource {
 public:
  // Null when the file is neither a readable image nor a video with a frame.
  static std::unique_ptr<FileFrameSource> open(const std::string& path);

  // The next frame, 8-bit BGR at the file's own size; false when the video
  // cannot be read even from its start again. A still image comes without a
  // copy, so `frame` may share the source's pixels: copy before drawing.
  bool next(cv::Mat& frame);

 private:
  explicit FileFrameSource(std::string path);
  bool openVideo();
  bool readVideoFrame(cv::Mat& frame);

  std::string path_;
  cv::Mat still_;
  cv::VideoCapture video_;
};
