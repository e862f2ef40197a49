#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "camera/camera_system.h"

// The friendly names of the camera models this program works with, in the
// order they are compared. Leading blanks are part of the names.
inline constexpr std::array<std::string_view, 9> KnownCameraModels = {
    "vexa4.0",         " USB CAMERA KTR", "RP-Z42", "vexa3.5", " vex calibration",
    "vex calibration", "vexa2.0",         "vexa2",  "vexa3",
};

// What a camera model asks for: the capture size, the aspect ratio of its
// picture and whether size and motion-JPEG format are sent after opening.
struct CameraProfile {
  int requestedWidth = 0;
  int requestedHeight = 0;
  float aspectRatio = 0.0f;
  bool setsCaptureFormat = false;
};

// True when an entry of `cameraNameList` is a known model name, compared
// whole and byte for byte. `selectedCameraIndex` is left alone for an empty
// list; otherwise it becomes the position of the first known entry, or the
// list size when there is none.
bool MatchKnownCamera(const std::vector<CameraEntry>& cameraNameList, int& selectedCameraIndex);

// The profile of a known model name; any other name gets the 3264 x 2448 one.
CameraProfile SelectCameraProfile(std::string_view name);

// Appends the devices `system` lists, in its order, to `cameraNameList`
// without clearing it; returns how many were appended.
int DiscoverCameras(CameraSystem& system, std::vector<CameraEntry>& cameraNameList);
