#include "camera/camera_models.h"

#include <algorithm>

namespace {

const CameraModel* findKnownModel(std::string_view name) {
  const auto it = std::find_if(KnownCameraModels.begin(), KnownCameraModels.end(),
                               [name](const CameraModel& model) { return model.name == name; });
  return it == KnownCameraModels.end() ? nullptr : &*it;
}

}  // namespace

bool MatchKnownCamera(const std::vector<CameraEntry>& cameraNameList, int& selectedCameraIndex) {
  if (cameraNameList.empty()) return false;
  // The first known device in enumeration order wins, whichever model it is.
  for (std::size_t position = 0; position < cameraNameList.size(); ++position) {
    selectedCameraIndex = static_cast<int>(position);
    if (findKnownModel(cameraNameList[position].name) != nullptr) return true;
  }
  selectedCameraIndex = static_cast<int>(cameraNameList.size());
  return false;
}

CameraProfile SelectCameraProfile(std::string_view name) {
  const CameraModel* model = findKnownModel(name);
  return model != nullptr ? model->profile : otherModelProfile;
}

int DiscoverCameras(CameraSystem& system, std::vector<CameraEntry>& cameraNameList) {
  std::vector<CameraEntry> found = system.enumerateDevices();
  const int count = static_cast<int>(found.size());
  cameraNameList.insert(cameraNameList.end(), std::make_move_iterator(found.begin()),
                        std::make_move_iterator(found.end()));
  return count;
}
