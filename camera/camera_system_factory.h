#pragma once

#include <memory>
#include <optional>
#include <string>

#include "camera/camera_system.h"

// Device path of the simulated camera's entry: no /dev node can have it.
inline constexpr const char* simulatedDevicePath = "simulated:camera";

// What the camera system is made of besides the machine's cameras.
struct CameraSystemOptions {
  // A simulated camera of this name is listed after the real ones.
  std::optional<std::string> simulatedCameraName;
  // An image or video file (looped) it shows instead of its built-in picture.
  std::optional<std::string> simulatedSource;
};

// The machine's V4L2 cameras, then the simulated one when the options ask for
// it (its failure and pacing knobs come from the environment, see
// simulated_camera.h).
std::unique_ptr<CameraSystem> makeCameraSystem(const CameraSystemOptions& options);

// The same with other real devices in place of V4L2, for tests.
std::unique_ptr<CameraSystem> makeCameraSystem(const CameraSystemOptions& options,
                                               std::unique_ptr<CameraSystem> realDevices);
