#include "camera/camera_models.h"

#include <algorithm>

bool MatchKnownCamera(const std::vector<CameraEntry>& cameraNameList, int& selectedCameraIndex) {
  if (cameraNameList.empty()) return false;
  for (selectedCameraIndex = 0; selectedCameraIndex < static_cast<int>(cameraNameList.size());
       ++selectedCameraIndex) {
    const std::string& name = cameraNameList[static_cast<std::size_t>(selectedCameraIndex)].name;
    if (std::find(KnownCameraModels.begin(), KnownCameraModels.end(), name) != KnownCameraModels.end())
      return true;
  }
  return false;
}

CameraProfile SelectCameraProfile(std::string_view name) {
  if (name == "vexa4.0") return {4000, 3000, 4.0f / 3.0f, false};
  if (name == " USB CAMERA KTR" || name == "RP-Z42" || name == "vexa3.5")
    return {3840, 2160, 16.0f / 9.0f, true};
  if (name == "vexa3") return {3840, 2160, 16.0f / 9.0f, false};
  return {3264, 2448, 4.0f / 3.0f, true};
}

int DiscoverCameras(CameraSystem& system, std::vector<CameraEntry>& cameraNameList) {
  const std::vector<CameraEntry> devices = system.enumerateDevices();
  cameraNameList.insert(cameraNameList.end(), devices.begin(), devices.end());
  return static_cast<int>(devices.size());
}
