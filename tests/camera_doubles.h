#pragma once

// The cameras of the tests: a camera system with a fixed device list whose
// captures deliver black frames and record what was done to them, and a
// wrapper that counts the frames another system's captures really deliver.
// Like every camera system, they never hand out a null capture.

#include <memory>
#include <opencv2/core.hpp>
#include <string>
#include <utility>
#include <vector>

#include "camera/camera_system.h"

// What was done to the captures of one camera system.
struct CameraLog {
  std::vector<std::string> createdFor;  // the device path of every capture made, in order
  std::vector<std::pair<int, double>> settings;
  int opens = 0;
  int reads = 0;
  int releases = 0;
};

// Black 400 x 300 frames while open: small frames keep the passes quick
// under the sanitizers.
class FakeCapture final : public CaptureDevice {
 public:
  static constexpr int frameWidth = 400;
  static constexpr int frameHeight = 300;

  // `log` must outlive the capture.
  explicit FakeCapture(CameraLog& log, bool refuseOpen = false) : log_(log), refuseOpen_(refuseOpen) {}

  bool open() override {
    ++log_.opens;
    opened_ = !refuseOpen_;
    return opened_;
  }
  bool isOpened() const override { return opened_; }
  bool read(cv::Mat& frame) override {
    ++log_.reads;
    if (!opened_) {
      frame.release();
      return false;
    }
    frame.create(frameHeight, frameWidth, CV_8UC3);
    frame.setTo(cv::Scalar::all(0));
    return true;
  }
  bool set(int propertyId, double value) override {
    log_.settings.emplace_back(propertyId, value);
    return true;
  }
  void release() override {
    opened_ = false;
    ++log_.releases;
  }

 private:
  CameraLog& log_;
  bool refuseOpen_ = false;
  bool opened_ = false;
};

// The devices a test lists; its captures are FakeCaptures writing to `log`.
class FakeCameraSystem final : public CameraSystem {
 public:
  explicit FakeCameraSystem(std::vector<CameraEntry> devices = {}) : devices(std::move(devices)) {}

  std::vector<CameraEntry> enumerateDevices() override { return devices; }
  std::unique_ptr<CaptureDevice> createCapture(const CameraEntry& entry) override {
    log.createdFor.push_back(entry.devicePath);
    return std::make_unique<FakeCapture>(log, refuseOpen);
  }

  std::vector<CameraEntry> devices;  // may change between two discoveries
  CameraLog log;
  bool refuseOpen = false;  // every capture made from now on fails to open
};

// Another camera system, whose captures count in `goodReads` the frames
// they really deliver.
class FrameCountingCameras final : public CameraSystem {
 public:
  explicit FrameCountingCameras(std::unique_ptr<CameraSystem> inner) : inner_(std::move(inner)) {}
  // Its captures keep a reference to `goodReads`.
  FrameCountingCameras(const FrameCountingCameras&) = delete;
  FrameCountingCameras& operator=(const FrameCountingCameras&) = delete;

  std::vector<CameraEntry> enumerateDevices() override { return inner_->enumerateDevices(); }
  std::vector<CameraEntry> enumerateDeniedDevices() override { return inner_->enumerateDeniedDevices(); }
  std::unique_ptr<CaptureDevice> createCapture(const CameraEntry& entry) override {
    return std::make_unique<CountingCapture>(inner_->createCapture(entry), goodReads);
  }

  int goodReads = 0;

 private:
  class CountingCapture final : public CaptureDevice {
   public:
    CountingCapture(std::unique_ptr<CaptureDevice> inner, int& goodReads)
        : inner_(std::move(inner)), goodReads_(goodReads) {}
    bool open() override { return inner_->open(); }
    bool isOpened() const override { return inner_->isOpened(); }
    bool read(cv::Mat& frame) override {
      const bool good = inner_->read(frame);
      if (good) ++goodReads_;
      return good;
    }
    bool set(int propertyId, double value) override { return inner_->set(propertyId, value); }
    void release() override { inner_->release(); }
    CameraControls* controls() override { return inner_->controls(); }
    OpenFailure openFailure() const override { return inner_->openFailure(); }

   private:
    std::unique_ptr<CaptureDevice> inner_;
    int& goodReads_;
  };

  std::unique_ptr<CameraSystem> inner_;
};
