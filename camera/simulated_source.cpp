#include "camera/simulated_source.h"

#include <filesystem>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <system_error>
#include <utility>

#include "camera/quiet_opencv_log.h"

namespace {

// Videos may decode to grey or with alpha; the camera delivers BGR only.
void toBgr(cv::Mat& frame) {
  if (frame.depth() != CV_8U) frame.convertTo(frame, CV_8U);
  if (frame.channels() == 1) cv::cvtColor(frame, frame, cv::COLOR_GRAY2BGR);
  if (frame.channels() == 4) cv::cvtColor(frame, frame, cv::COLOR_BGRA2BGR);
}

}  // namespace

FileFrameSource::FileFrameSource(std::string path) : path_(std::move(path)) {}

std::unique_ptr<FileFrameSource> FileFrameSource::open(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return nullptr;
  // Each video back end in turn tries a file that none can read, and reports
  // its own failure; the caller reports ours.
  const QuietOpenCvLog quiet(cv::utils::logging::LOG_LEVEL_SILENT);
  std::unique_ptr<FileFrameSource> source(new FileFrameSource(path));
  if (cv::haveImageReader(path)) {
    source->still_ = cv::imread(path, cv::IMREAD_COLOR);
    if (source->still_.empty()) return nullptr;
    return source;
  }
  cv::Mat first;
  if (!source->openVideo() || !source->readVideoFrame(first)) return nullptr;
  // Start the loop from the first frame, not the second.
  source->video_.release();
  return source;
}

bool FileFrameSource::openVideo() {
  // Only back ends that read files: left to choose, OpenCV also offers the
  // name to camera back ends (gPhoto2 then scans the USB bus) and to image
  // sequences.
  for (const int backEnd : {cv::CAP_FFMPEG, cv::CAP_GSTREAMER, cv::CAP_OPENCV_MJPEG})
    if (video_.open(path_, backEnd)) return true;
  return false;
}

bool FileFrameSource::readVideoFrame(cv::Mat& frame) {
  if (!video_.isOpened() || !video_.read(frame) || frame.empty()) return false;
  toBgr(frame);
  return true;
}

bool FileFrameSource::next(cv::Mat& frame) {
  if (!still_.empty()) {
    frame = still_;
    return true;
  }
  if (readVideoFrame(frame)) return true;
  // At the end (or before the first frame): start the file again. Reopening
  // works for every container, where seeking to frame 0 does not.
  video_.release();
  return openVideo() && readVideoFrame(frame);
}
