#include "camera/simulated_camera.h"

#include <linux/videodev2.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>
#include <string_view>
#include <thread>
#include <utility>

namespace {

// Sizes a camera could plausibly deliver; anything else is refused.
constexpr int minimumSide = 16;
constexpr int maximumSide = 16384;

// Exposure in units of 100 µs, as UVC cameras count it: the default of 333 is
// one frame time at 30 per second.
constexpr std::int64_t defaultExposure = 333;
constexpr std::int64_t defaultGain = 0;

std::optional<std::int64_t> environmentNumber(const char* name) {
  const char* text = std::getenv(name);
  if (text == nullptr) return std::nullopt;
  const std::string_view view(text);
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value);
  if (error != std::errc() || end != view.data() + view.size() || value < 0) return std::nullopt;
  return value;
}

bool environmentFlag(const char* name) {
  return environmentNumber(name).value_or(0) != 0;
}

std::optional<int> frameSide(double value) {
  if (!(value >= minimumSide && value <= maximumSide)) return std::nullopt;
  return static_cast<int>(std::lround(value));
}

}  // namespace

SimulatedCameraOptions applySimulationEnvironment(SimulatedCameraOptions options) {
  if (const auto frames = environmentNumber("VARNIX_SIM_FAIL_AFTER")) options.failAfterFrames = *frames;
  if (environmentFlag("VARNIX_SIM_REFUSE_OPEN")) options.refuseOpen = true;
  if (environmentFlag("VARNIX_SIM_NO_PACING")) options.pacing = false;
  return options;
}

SimulatedControls::SimulatedControls() {
  reset();
}

namespace {

CameraControlInfo integerControl(std::uint32_t id, const char* name, std::int64_t minimum,
                                 std::int64_t maximum, std::int64_t defaultValue) {
  CameraControlInfo control;
  control.id = id;
  control.type = ControlType::Integer;
  control.name = name;
  control.minimum = minimum;
  control.maximum = maximum;
  control.step = 1;
  control.defaultValue = control.value = defaultValue;
  return control;
}

}  // namespace

void SimulatedControls::reset() {
  controls_ = {
      integerControl(V4L2_CID_EXPOSURE_ABSOLUTE, "Exposure Time, Absolute", 1, 2000, defaultExposure),
      integerControl(V4L2_CID_GAIN, "Gain", 0, 100, defaultGain)};
}

std::vector<CameraControlInfo> SimulatedControls::queryControls() {
  return controls_;
}

bool SimulatedControls::setControl(std::uint32_t id, std::int64_t value) {
  const auto control =
      std::find_if(controls_.begin(), controls_.end(), [id](const auto& c) { return c.id == id; });
  // Out-of-range values are refused, as the kernel's control framework does.
  if (control == controls_.end() || value < control->minimum || value > control->maximum) return false;
  control->value = value;
  return true;
}

double SimulatedControls::brightness() const {
  // Exposure is linear in light; each 25 steps of gain add the base level once.
  const double exposure = static_cast<double>(controls_[0].value) / defaultExposure;
  const double gain = (1.0 + static_cast<double>(controls_[1].value) / 25.0) / (1.0 + defaultGain / 25.0);
  return exposure * gain;
}

SimulatedCamera::SimulatedCamera(SimulatedCameraOptions options) : options_(std::move(options)) {}

SimulatedCamera::~SimulatedCamera() {
  release();
}

bool SimulatedCamera::open() {
  release();
  if (options_.refuseOpen) return false;
  if (!options_.sourcePath.empty()) {
    source_ = FileFrameSource::open(options_.sourcePath);
    if (!source_) {
      // The program then only says the camera did not open; this says why.
      std::fprintf(stderr, "varnix: cannot read the simulated camera's source '%s'\n",
                   options_.sourcePath.c_str());
      return false;
    }
  }
  // A camera plugged in again starts from its defaults.
  requestedWidth_.reset();
  requestedHeight_.reset();
  framesPerSecond_ = options_.framesPerSecond > 0 ? options_.framesPerSecond : 30.0;
  framesDelivered_ = 0;
  controls_.reset();
  nextFrameTime_ = std::chrono::steady_clock::now();
  opened_ = true;
  return true;
}

void SimulatedCamera::release() {
  ahead_.cancel();
  opened_ = false;
  source_.reset();
  sourceFrame_.release();
}

bool SimulatedCamera::set(int propertyId, double value) {
  if (!opened_) return false;
  switch (propertyId) {
    case cv::CAP_PROP_FRAME_WIDTH:
      if (const auto side = frameSide(value)) return (requestedWidth_ = side).has_value();
      return false;
    case cv::CAP_PROP_FRAME_HEIGHT:
      if (const auto side = frameSide(value)) return (requestedHeight_ = side).has_value();
      return false;
    case cv::CAP_PROP_FOURCC:
      // Motion JPEG is what the capture run asks for; the frames it hands on
      // are decoded BGR either way.
      return static_cast<int>(value) == cv::VideoWriter::fourcc('M', 'J', 'P', 'G');
    case cv::CAP_PROP_FPS:
      if (!(value > 0.0 && value <= 1000.0)) return false;
      framesPerSecond_ = value;
      return true;
    case cv::CAP_PROP_EXPOSURE: return controls_.setControl(V4L2_CID_EXPOSURE_ABSOLUTE, std::llround(value));
    case cv::CAP_PROP_GAIN: return controls_.setControl(V4L2_CID_GAIN, std::llround(value));
    default: return false;
  }
}

void SimulatedCamera::waitForNextFrame() {
  if (!options_.pacing) return;
  const auto now = std::chrono::steady_clock::now();
  if (now < nextFrameTime_) std::this_thread::sleep_until(nextFrameTime_);
  // A caller that fell behind gets the next frame at once, not a burst of
  // frames to catch up.
  const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
      std::chrono::duration<double>(1.0 / framesPerSecond_));
  nextFrameTime_ = std::max(now, nextFrameTime_) + period;
}

bool SimulatedCamera::makeFrame(cv::Mat& frame) {
  const double brightness = controls_.brightness();
  if (!source_) {
    makePictureFrame({{requestedWidth_.value_or(defaultWidth), requestedHeight_.value_or(defaultHeight)},
                      framesDelivered_,
                      brightness},
                     frame);
    return true;
  }
  if (!source_->next(sourceFrame_)) return false;
  const cv::Size size(requestedWidth_.value_or(sourceFrame_.cols),
                      requestedHeight_.value_or(sourceFrame_.rows));
  if (size != sourceFrame_.size()) cv::resize(sourceFrame_, sourceFrame_, size, 0, 0, cv::INTER_AREA);
  if (brightness != 1.0)
    sourceFrame_.convertTo(frame, CV_8U, brightness);
  else
    sourceFrame_.copyTo(frame);
  return true;
}

void SimulatedCamera::makePictureFrame(const FrameOrder& order, cv::Mat& frame) {
  // Usually made while the program worked on the last one; made here when a
  // setting changed since, or on the first read.
  cv::Mat made;
  if (!ahead_.take(order, made)) picture_.render(order.size, order.index, order.brightness, made);
  cv::Mat last = std::move(frame);
  frame = std::move(made);
  // The caller's last frame is replaced, so its pixels can take the next one,
  // unless someone still holds them.
  if (!isSoleOwner(last)) last.release();
  FrameOrder next = order;
  ++next.index;
  ahead_.start(next, std::move(last));
}

bool SimulatedCamera::read(cv::Mat& frame) {
  // Failed reads are paced too: an unplugged camera must not turn the
  // picture loop into a busy loop.
  waitForNextFrame();
  const bool unplugged = options_.failAfterFrames && framesDelivered_ >= *options_.failAfterFrames;
  if (!opened_ || unplugged || !makeFrame(frame)) {
    frame.release();
    return false;
  }
  ++framesDelivered_;
  return true;
}
