#include "camera/v4l2_capture.h"

#include <linux/videodev2.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <opencv2/videoio.hpp>
#include <optional>
#include <utility>

#include "camera/frame_decoder.h"

namespace {

// A camera that sends nothing for this long is waited for again in the next
// pass, so the close button and the sliders stay usable.
constexpr std::chrono::milliseconds frameWait{1000};

OpenFailure openFailureOf(StreamError error) {
  switch (error) {
    case StreamError::None: return OpenFailure::None;
    case StreamError::Busy: return OpenFailure::InUse;
    case StreamError::NoAccess: return OpenFailure::NoAccess;
    default: return OpenFailure::Other;
  }
}

// A property value as a positive pixel count or FOURCC; nullopt for anything
// a camera could not be asked for.
std::optional<std::uint32_t> propertyValue(double value) {
  if (!std::isfinite(value) || value < 1.0 || value > 4294967295.0) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

}  // namespace

V4l2Capture::V4l2Capture(std::string devicePath) : devicePath_(std::move(devicePath)) {}

V4l2Capture::~V4l2Capture() {
  release();
}

bool V4l2Capture::open() {
  release();
  StreamError error = stream_.open(devicePath_);
  if (error == StreamError::None && !FrameDecoder::canDecode(stream_.format().fourcc)) {
    // A camera left in a format this program cannot show is asked for motion
    // JPEG at the size it has; what it settles on is checked below.
    const V4l2Format current = stream_.format();
    error = stream_.setFormat({V4L2_PIX_FMT_MJPEG, current.width, current.height, 0});
    if (error == StreamError::None && !FrameDecoder::canDecode(stream_.format().fourcc))
      error = StreamError::Unsupported;
  }
  if (error == StreamError::None) error = stream_.start();
  openFailure_ = openFailureOf(error);
  if (error != StreamError::None) {
    stream_.close();
    return false;
  }
  pipeline_ = std::make_unique<FramePipeline>(stream_);
  pipeline_->start();
  // Without controls the camera still shows its picture; the settings
  // window then has nothing to offer.
  controls_ = V4l2Controls::open(devicePath_);
  return true;
}

bool V4l2Capture::isOpened() const {
  return pipeline_ != nullptr;
}

bool V4l2Capture::set(int propertyId, double value) {
  if (!isOpened()) return false;
  const auto asked = propertyValue(value);
  if (!asked) return false;
  if (!formatRequested_) requested_ = stream_.format();
  switch (propertyId) {
    case cv::CAP_PROP_FRAME_WIDTH:
      requested_.width = static_cast<int>(std::min<std::uint32_t>(*asked, 1u << 16));
      break;
    case cv::CAP_PROP_FRAME_HEIGHT:
      requested_.height = static_cast<int>(std::min<std::uint32_t>(*asked, 1u << 16));
      break;
    case cv::CAP_PROP_FOURCC:
      if (!FrameDecoder::canDecode(*asked)) return false;
      requested_.fourcc = *asked;
      break;
    default: return false;
  }
  formatRequested_ = true;
  return true;
}

bool V4l2Capture::applyRequestedFormat() {
  formatRequested_ = false;
  if (requested_ == stream_.format()) return true;
  pipeline_->stop();
  stream_.stop();
  // A camera that refuses keeps streaming in its own format; the rest of the
  // program works with whatever size arrives.
  const V4l2Format before = stream_.format();
  if (stream_.setFormat(requested_) != StreamError::None || !FrameDecoder::canDecode(stream_.format().fourcc))
    (void)stream_.setFormat(before);
  const bool restarted = stream_.start() == StreamError::None;
  pipeline_->start();
  return restarted;
}

bool V4l2Capture::read(cv::Mat& frame) {
  if (!isOpened()) {
    frame.release();
    return false;
  }
  if (formatRequested_) (void)applyRequestedFormat();
  if (stream_.isStreaming() && pipeline_->take(frame, frameWait) == FramePipeline::Take::Frame) return true;
  // As with any capture: no frame leaves the target empty.
  frame.release();
  return false;
}

FrameStamp V4l2Capture::lastFrameStamp() const {
  return pipeline_ ? pipeline_->lastTaken() : FrameStamp{};
}

void V4l2Capture::release() {
  controls_.reset();
  if (pipeline_) pipeline_->stop();
  pipeline_.reset();
  stream_.close();
  formatRequested_ = false;
}

V4l2CameraSystem::V4l2CameraSystem(std::unique_ptr<V4l2NodeAccess> nodes) : nodes_(std::move(nodes)) {}

std::vector<CameraEntry> V4l2CameraSystem::enumerateDevices() {
  return discoverV4l2Cameras(*nodes_);
}

std::vector<CameraEntry> V4l2CameraSystem::enumerateDeniedDevices() {
  return discoverDeniedV4l2Nodes(*nodes_);
}

std::unique_ptr<CaptureDevice> V4l2CameraSystem::createCapture(const CameraEntry& entry) {
  return std::make_unique<V4l2Capture>(entry.devicePath);
}
