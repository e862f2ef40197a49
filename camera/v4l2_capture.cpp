#include "camera/v4l2_capture.h"

#include <cstdlib>
#include <optional>
#include <utility>

#include "camera/quiet_opencv_log.h"

namespace {

// OpenCV's V4L2 back end waits 10 s for a frame by default, which freezes the
// whole program when a camera is unplugged or stalls. One second (its
// smallest step) keeps the picture loop and the close button responsive. The
// value is read once, at the first wait, so it is set before any capture
// opens; a value the user set in the environment wins.
void limitFrameWait() {
  ::setenv("OPENCV_VIDEOIO_V4L_SELECT_TIMEOUT", "1", /*overwrite=*/0);
}

}  // namespace

V4l2Capture::V4l2Capture(std::string devicePath) : devicePath_(std::move(devicePath)) {}

bool V4l2Capture::open() {
  release();
  limitFrameWait();
  if (!capture_.open(devicePath_, cv::CAP_V4L2)) return false;
  // Without controls the camera still shows its picture; the settings
  // window then has nothing to offer.
  controls_ = V4l2Controls::open(devicePath_);
  failedReadsInARow_ = 0;
  return true;
}

bool V4l2Capture::isOpened() const {
  return capture_.isOpened();
}

bool V4l2Capture::read(cv::Mat& frame) {
  // An unplugged camera fails every read, and OpenCV warns about each one.
  // The first warning of a run of failures is kept; the rest would only
  // flood the terminal at the frame rate.
  std::optional<QuietOpenCvLog> quiet;
  if (failedReadsInARow_ > 0) quiet.emplace();
  bool delivered = false;
  try {
    delivered = capture_.read(frame) && !frame.empty();
  } catch (const cv::Exception&) {
    // The back end asserts on buffers a failing driver hands back; for the
    // picture loop that is one more lost frame, not the end of the program.
    delivered = false;
  }
  if (delivered) {
    failedReadsInARow_ = 0;
    return true;
  }
  frame.release();
  ++failedReadsInARow_;
  return false;
}

bool V4l2Capture::set(int propertyId, double value) {
  return capture_.set(propertyId, value);
}

void V4l2Capture::release() {
  controls_.reset();
  capture_.release();
}

V4l2CameraSystem::V4l2CameraSystem(std::unique_ptr<V4l2NodeAccess> nodes) : nodes_(std::move(nodes)) {}

std::vector<CameraEntry> V4l2CameraSystem::enumerateDevices() {
  return discoverV4l2Cameras(*nodes_);
}

std::unique_ptr<CaptureDevice> V4l2CameraSystem::createCapture(const CameraEntry& entry) {
  return std::make_unique<V4l2Capture>(entry.devicePath);
}
