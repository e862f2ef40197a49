#pragma once

#include <memory>
#include <opencv2/videoio.hpp>
#include <string>

#include "camera/camera_system.h"
#include "camera/v4l2_controls.h"
#include "camera/v4l2_discovery.h"

// A V4L2 camera opened by its node path through OpenCV's V4L2 back end. Nodes
// are opened by path, not by a list position: node numbers skip metadata
// nodes and leave gaps, so a position would open the wrong device.
class V4l2Capture final : public CaptureDevice {
 public:
  explicit V4l2Capture(std::string devicePath);

  bool open() override;
  bool isOpened() const override;
  bool read(cv::Mat& frame) override;
  bool set(int propertyId, double value) override;
  void release() override;
  CameraControls* controls() override { return controls_.get(); }

 private:
  std::string devicePath_;
  cv::VideoCapture capture_;
  std::unique_ptr<V4l2Controls> controls_;
  int failedReadsInARow_ = 0;
};

// The machine's V4L2 cameras.
class V4l2CameraSystem final : public CameraSystem {
 public:
  explicit V4l2CameraSystem(std::unique_ptr<V4l2NodeAccess> nodes = std::make_unique<SystemV4l2Nodes>());

  std::vector<CameraEntry> enumerateDevices() override;
  std::unique_ptr<CaptureDevice> createCapture(const CameraEntry& entry) override;

 private:
  std::unique_ptr<V4l2NodeAccess> nodes_;
};
