#pragma once

#include <memory>
#include <string>

#include "camera/camera_system.h"
#include "camera/frame_pipeline.h"
#include "camera/v4l2_controls.h"
#include "camera/v4l2_discovery.h"
#include "camera/v4l2_stream.h"

// A V4L2 camera opened by its node path, streaming through memory-mapped
// buffers with the frames decoded off the caller's thread (FramePipeline).
//
// Nothing is sent to the camera unless asked: it keeps the format and size it
// has, as a camera does on the platform this program comes from. Width,
// height and pixel format set through set() are sent together, once, before
// the next frame is read, so the camera sees one request, not three.
//
// Nodes are opened by path, not by a list position: node numbers skip
// metadata nodes and leave gaps, so a position would open the wrong device.
class V4l2Capture final : public CaptureDevice {
 public:
  explicit V4l2Capture(std::string devicePath);
  ~V4l2Capture() override;

  bool open() override;
  bool isOpened() const override;
  // Waits for a frame newer than the last one read, at most a second.
  bool read(cv::Mat& frame) override;
  // CAP_PROP_FRAME_WIDTH, CAP_PROP_FRAME_HEIGHT and CAP_PROP_FOURCC; the
  // camera may settle on something near what was asked.
  bool set(int propertyId, double value) override;
  void release() override;
  CameraControls* controls() override { return controls_.get(); }
  OpenFailure openFailure() const override { return openFailure_; }

  // The format the camera streams in now.
  V4l2Format format() const { return stream_.format(); }
  // When the frame last read was taken by the camera.
  FrameStamp lastFrameStamp() const;

 private:
  bool applyRequestedFormat();

  std::string devicePath_;
  V4l2Stream stream_;
  std::unique_ptr<FramePipeline> pipeline_;
  std::unique_ptr<V4l2Controls> controls_;
  V4l2Format requested_;
  bool formatRequested_ = false;
  OpenFailure openFailure_ = OpenFailure::None;
};

// The machine's V4L2 cameras.
class V4l2CameraSystem final : public CameraSystem {
 public:
  explicit V4l2CameraSystem(std::unique_ptr<V4l2NodeAccess> nodes = std::make_unique<SystemV4l2Nodes>());

  std::vector<CameraEntry> enumerateDevices() override;
  std::vector<CameraEntry> enumerateDeniedDevices() override;
  std::unique_ptr<CaptureDevice> createCapture(const CameraEntry& entry) override;

 private:
  std::unique_ptr<V4l2NodeAccess> nodes_;
};
