#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <opencv2/core.hpp>
#include <optional>
#include <string>

#include "camera/camera_controls.h"
#include "camera/camera_system.h"
#include "camera/frame_ahead.h"
#include "camera/simulated_picture.h"
#include "camera/simulated_source.h"

// How the simulated camera behaves. Besides code, the environment can set the
// failure and pacing knobs, for tests and soak runs of the whole program:
//   VARNIX_SIM_FAIL_AFTER=N   every read after the first N frames fails, as
//                             when the camera is unplugged; opening again
//                             (plugging back in) starts over
//   VARNIX_SIM_REFUSE_OPEN=1  opening fails
//   VARNIX_SIM_NO_PACING=1    frames come as fast as they can be made
struct SimulatedCameraOptions {
  std::string sourcePath;  // image or video file; empty for the built-in picture
  double framesPerSecond = 30.0;
  bool pacing = true;
  bool refuseOpen = false;
  std::optional<std::int64_t> failAfterFrames;
};

// `options` with the VARNIX_SIM_* variables of the environment applied;
// malformed values are ignored.
SimulatedCameraOptions applySimulationEnvironment(SimulatedCameraOptions options);

// Exposure time and gain; both scale the picture's brightness.
// Offered under the V4L2 ids a UVC camera uses for them.
class SimulatedControls final : public CameraControls {
 public:
  SimulatedControls();

  std::vector<CameraControlInfo> queryControls() override;
  bool setControl(std::uint32_t id, std::int64_t value) override;

  // 1 at the default settings.
  double brightness() const;
  // Back to the defaults, as a camera starts after being plugged in.
  void reset();

 private:
  std::vector<CameraControlInfo> controls_;
};

// A camera without hardware, for demonstrations, tests and benchmarks.
class SimulatedCamera final : public CaptureDevice {
 public:
  static constexpr int defaultWidth = 4000;
  static constexpr int defaultHeight = 3000;

  explicit SimulatedCamera(SimulatedCameraOptions options = {});
  ~SimulatedCamera() override;
  SimulatedCamera(const SimulatedCamera&) = delete;
  SimulatedCamera& operator=(const SimulatedCamera&) = delete;

  bool open() override;
  bool isOpened() const override { return opened_; }
  bool read(cv::Mat& frame) override;
  // Frame width and height, MJPG as FOURCC, frame rate, exposure and gain;
  // like a camera, nothing while closed.
  bool set(int propertyId, double value) override;
  void release() override;
  CameraControls* controls() override { return opened_ ? &controls_ : nullptr; }

 private:
  void waitForNextFrame();
  bool makeFrame(cv::Mat& frame);
  void makePictureFrame(const FrameOrder& order, cv::Mat& frame);

  SimulatedCameraOptions options_;
  bool opened_ = false;
  std::optional<int> requestedWidth_;
  std::optional<int> requestedHeight_;
  double framesPerSecond_ = 30.0;
  std::int64_t framesDelivered_ = 0;
  std::chrono::steady_clock::time_point nextFrameTime_;
  SimulatedControls controls_;
  SimulatedPicture picture_;
  std::unique_ptr<FileFrameSource> source_;
  cv::Mat sourceFrame_;
  // Last, so its thread has stopped before the picture it draws goes.
  FrameAhead ahead_{[this](const FrameOrder& order, cv::Mat& frame) {
    picture_.render(order.size, order.index, order.brightness, frame);
  }};
};
