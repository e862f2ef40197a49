#include "app/make_camera_system.h"

#include "app/no_camera_system.h"

std::unique_ptr<CameraSystem> makeCameraSystem(int /*argc*/, char** /*argv*/) {
  // No device back end is wired in yet, so no camera is ever found.
  return std::make_unique<NoCameraSystem>();
}
