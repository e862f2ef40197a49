#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "camera/camera_system.h"

// The camera models the program works with, recognised by the exact friendly
// name of the device (leading blanks are part of the name).
inline constexpr std::array<std::string_view, 9> KnownCameraModels = {
    "vexa4.0",         " USB CAMERA KTR", "RP-Z42", "vexa3.5", " vex calibration",
    "vex calibration", "vexa2.0",         "vexa2",  "vexa3",
};

struct CameraProfile {
  int requestedWidth;
  int requestedHeight;
  float aspectRatio;
  bool setsCaptureFormat;
};

// True when an entry of the list equals a known name byte for byte. Leaves
// `selectedCameraIndex` alone for an empty list; otherwise it ends at the
// first matching position, or at the list size when nothing matched.
bool MatchKnownCamera(const std::vector<CameraEntry>& cameraNameList, int& selectedCameraIndex);

CameraProfile SelectCameraProfile(std::string_view name);

// Appends every device the system lists; returns how many were appended.
int DiscoverCameras(CameraSystem& system, std::vector<CameraEntry>& cameraNameList);
