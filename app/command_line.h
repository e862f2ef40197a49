#pragma once

#include <optional>
#include <string>
#include <vector>

#include "camera/camera_system_factory.h"

// The program's own options. Without them it reads no arguments at all.
struct CommandLineOptions {
  std::optional<std::string> simulatedCameraName;
  std::optional<std::string> simulatedSource;
};

// Parses the arguments left after QApplication took its own, without the
// program name (argv[1] onwards). On error returns nullopt and sets `error`
// to a message with the usage text, for stderr and exit code 2.
std::optional<CommandLineOptions> parseCommandLine(const std::vector<std::string>& arguments,
                                                   std::string& error);

// What the options ask of the camera system.
CameraSystemOptions cameraSystemOptions(const CommandLineOptions& options);
