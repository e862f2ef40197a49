#pragma once

#include <memory>

#include "camera/camera_system.h"

// The camera system the program runs with, chosen from its command line.
std::unique_ptr<CameraSystem> makeCameraSystem(int argc, char** argv);
