#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "camera/camera_system.h"

// What a camera model asks for: the capture size, the aspect ratio of its
// picture and whether size and motion-JPEG format are sent after opening.
struct CameraProfile {
  int requestedWidth = 0;
  int requestedHeight = 0;
  float aspectRatio = 0.0f;
  bool setsCaptureFormat = false;
};

// A model this program works with: its friendly name, byte for byte (leading
// blanks are part of it), and its profile.
struct CameraModel {
  std::string_view name;
  CameraProfile profile;
};

namespace aspect_ratio {
inline constexpr float fourByThree = 4.0f / 3.0f;
inline constexpr float sixteenByNine = 16.0f / 9.0f;
}  // namespace aspect_ratio

// The known models in the order they are compared; matching and profile
// selection both read this one table.
inline constexpr std::array<CameraModel, 9> KnownCameraModels = {{
    {"vexa4.0", {4000, 3000, aspect_ratio::fourByThree, false}},
    {" USB CAMERA KTR", {3840, 2160, aspect_ratio::sixteenByNine, true}},
    {"RP-Z42", {3840, 2160, aspect_ratio::sixteenByNine, true}},
    {"vexa3.5", {3840, 2160, aspect_ratio::sixteenByNine, true}},
    {" vex calibration", {3264, 2448, aspect_ratio::fourByThree, true}},
    {"vex calibration", {3264, 2448, aspect_ratio::fourByThree, true}},
    {"vexa2.0", {3264, 2448, aspect_ratio::fourByThree, true}},
    {"vexa2", {3264, 2448, aspect_ratio::fourByThree, true}},
    // The size of the 16:9 models above, but left in its own default format.
    {"vexa3", {3840, 2160, aspect_ratio::sixteenByNine, false}},
}};

// What a name outside the table gets.
inline constexpr CameraProfile otherModelProfile = {3264, 2448, aspect_ratio::fourByThree, true};

// True when an entry of `cameraNameList` is a known model name, compared
// whole and byte for byte. `selectedCameraIndex` is left alone for an empty
// list; otherwise it becomes the position of the first known entry, or the
// list size when there is none.
bool MatchKnownCamera(const std::vector<CameraEntry>& cameraNameList, int& selectedCameraIndex);

// The profile of a known model name; any other name gets otherModelProfile.
CameraProfile SelectCameraProfile(std::string_view name);

// Appends the devices `system` lists, in its order, to `cameraNameList`
// without clearing it; returns how many were appended.
int DiscoverCameras(CameraSystem& system, std::vector<CameraEntry>& cameraNameList);
