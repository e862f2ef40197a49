#include "camera/camera_models.h"

#include <algorithm>

namespace {

constexpr float fourByThree = 4.0f / 3.0f;
constexpr float sixteenByNine = 16.0f / 9.0f;

bool isKnownModel(std::string_view name) {
  return std::find(KnownCameraModels.begin(), KnownCameraModels.end(), name) != KnownCameraModels.end();
}

}  // namespace

bool MatchKnownCamera(const std::vector<CameraEntry>& cameraNameList, int& selectedCameraIndex) {
  if (cameraNameList.empty()) return false;
  // The first known device in enumeration order wins, whichever model it is.
  for (std::size_t position = 0; position < cameraNameList.size(); ++position) {
    selectedCameraIndex = static_cast<int>(position);
    if (isKnownModel(cameraNameList[position].name)) return true;
  }
  selectedCameraIndex = static_cast<int>(cameraNameList.size());
  return false;
}

CameraProfile SelectCameraProfile(std::string_view name) {
  if (name == "vexa4.0") return {4000, 3000, fourByThree, false};
  if (name == " USB CAMERA KTR" || name == "RP-Z42" || name == "vexa3.5")
    return {3840, 2160, sixteenByNine, true};
  // Same size as the three above, but this model is left in its own default format.
  if (name == "vexa3") return {3840, 2160, sixteenByNine, false};
  return {3264, 2448, fourByThree, true};
}

int DiscoverCameras(CameraSystem& system, std::vector<CameraEntry>& cameraNameList) {
  std::vector<CameraEntry> found = system.enumerateDevices();
  const int count = static_cast<int>(found.size());
  cameraNameList.insert(cameraNameList.end(), std::make_move_iterator(found.begin()),
                        std::make_move_iterator(found.end()));
  return count;
}
