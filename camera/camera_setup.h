#pragma once

#include <memory>

#include "app/command_line.h"
#include "camera/camera_system.h"

// Device path of the simulated camera's entry: no /dev node can have it.
inline constexpr const char* simulatedDevicePath = "simulated:camera";

// The machine's V4L2 cameras, then the simulated one when the command line
// asks for it (its failure and pacing knobs come from the environment, see
// simulated_camera.h).
std::unique_ptr<CameraSystem> makeCameraSystem(const CommandLineOptions& options);

// The same with other real devices in place of V4L2, for tests.
std::unique_ptr<CameraSystem> makeCameraSystem(const CommandLineOptions& options,
                                               std::unique_ptr<CameraSystem> realDevices);
