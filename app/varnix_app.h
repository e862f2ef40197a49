#pragma once

#include "camera/camera_system.h"

// The application: runs the main dialog modally; when it ends, so does the
// program. There is no event loop of the application's own.
class CVarnixApp {
 public:
  explicit CVarnixApp(CameraSystem& cameraSystem) : cameraSystem_(cameraSystem) {}

  // Runs the main dialog to its end. Always false: nothing follows it.
  bool InitInstance();

 private:
  CameraSystem& cameraSystem_;
};
