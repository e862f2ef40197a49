#pragma once

// A camera system with a fixed device list whose captures record what was
// done to them.

#include <memory>
#include <utility>
#include <vector>

#include "camera/camera_system.h"

class FakeCapture : public CaptureDevice {
 public:
  bool open() override { return opened = true; }
  bool isOpened() const override { return opened; }
  bool read(cv::Mat& frame) override {
    frame.release();
    return false;
  }
  bool set(int, double) override { return true; }
  void release() override {
    opened = false;
    ++releaseCount;
  }

  bool opened = false;
  int releaseCount = 0;
};

class FakeCameraSystem : public CameraSystem {
 public:
  explicit FakeCameraSystem(std::vector<CameraEntry> devices) : devices_(std::move(devices)) {}
  std::vector<CameraEntry> enumerateDevices() override { return devices_; }
  std::unique_ptr<CaptureDevice> createCapture(const CameraEntry&) override {
    return std::make_unique<FakeCapture>();
  }

 private:
  std::vector<CameraEntry> devices_;
};
