#pragma once

#include <memory>
#include <string>

#include "camera/camera_controls.h"
#include "camera/v4l2_device.h"

// The controls of one V4L2 node, listed the way the kernel's own tools list
// them: walk with V4L2_CTRL_FLAG_NEXT_CTRL, skip disabled controls and class
// headings, name menu entries with VIDIOC_QUERYMENU. Holds its own descriptor
// on the node (OpenCV keeps a separate one for streaming, which V4L2 allows).
class V4l2Controls final : public CameraControls {
 public:
  explicit V4l2Controls(std::unique_ptr<V4l2Port> port);

  // Null when the node cannot be opened.
  static std::unique_ptr<V4l2Controls> open(const std::string& devicePath);

  std::vector<CameraControlInfo> queryControls() override;
  bool setControl(std::uint32_t id, std::int64_t value) override;

 private:
  std::unique_ptr<V4l2Port> port_;
};
