#pragma once

#include "camera/camera_system.h"

// A camera system with no devices: the program then tells the user that no
// hardware was found and ends.
class NoCameraSystem : public CameraSystem {
 public:
  std::vector<CameraEntry> enumerateDevices() override { return {}; }
  std::unique_ptr<CaptureDevice> createCapture(const CameraEntry&) override { return nullptr; }
};
