#include "camera/camera_models.h"

#include <gtest/gtest.h>

#include <utility>

#include "tests/camera_doubles.h"

namespace {

std::vector<CameraEntry> entriesNamed(std::initializer_list<const char*> names) {
  std::vector<CameraEntry> entries;
  int node = 0;
  for (const char* name : names) entries.push_back({name, "/dev/video" + std::to_string(node++)});
  return entries;
}

}  // namespace

TEST(MatchKnownCamera, ComparesWholeNamesByteForByte) {
  struct Case {
    std::vector<CameraEntry> list;
    bool matched;
    int selectedCameraIndex;
  };
  const Case cases[] = {
      {entriesNamed({"vexa4.0"}), true, 0},
      {entriesNamed({" USB CAMERA KTR"}), true, 0},
      {entriesNamed({"RP-Z42"}), true, 0},
      {entriesNamed({"vexa3.5"}), true, 0},
      {entriesNamed({" vex calibration"}), true, 0},
      {entriesNamed({"vex calibration"}), true, 0},
      {entriesNamed({"vexa2.0"}), true, 0},
      {entriesNamed({"vexa2"}), true, 0},
      {entriesNamed({"vexa3"}), true, 0},
      {entriesNamed({"VEXA4.0"}), false, 1},            // letter case
      {entriesNamed({"USB CAMERA KTR"}), false, 1},     // leading blank missing
      {entriesNamed({"vexa4.0 "}), false, 1},           // trailing blank added
      {entriesNamed({"  vex calibration"}), false, 1},  // one blank too many
      {entriesNamed({"vexa"}), false, 1},               // a prefix of known names
      {entriesNamed({""}), false, 1},                   // unreadable friendly name
      {entriesNamed({"Integrated Camera", "vexa3.5"}), true, 1},
      // The first known device in enumeration order wins, not the first in the model table.
      {entriesNamed({"Integrated Camera", "vexa3", "vexa4.0"}), true, 1},
      {entriesNamed({"a", "b", "c"}), false, 3},
  };
  for (const Case& c : cases) {
    int selectedCameraIndex = -7;
    EXPECT_EQ(MatchKnownCamera(c.list, selectedCameraIndex), c.matched) << "'" << c.list.front().name << "'";
    EXPECT_EQ(selectedCameraIndex, c.selectedCameraIndex) << "'" << c.list.front().name << "'";
  }
}

TEST(MatchKnownCamera, EmptyListLeavesTheIndexAlone) {
  int selectedCameraIndex = 5;
  EXPECT_FALSE(MatchKnownCamera({}, selectedCameraIndex));
  EXPECT_EQ(selectedCameraIndex, 5);
}

TEST(SelectCameraProfile, EveryKnownModelGetsItsRow) {
  struct Case {
    std::string_view name;
    CameraProfile profile;
  };
  const Case cases[] = {
      {"vexa4.0", {4000, 3000, 1.3333334f, false}},
      {" USB CAMERA KTR", {3840, 2160, 1.7777778f, true}},
      {"RP-Z42", {3840, 2160, 1.7777778f, true}},
      {"vexa3.5", {3840, 2160, 1.7777778f, true}},
      {"vexa3", {3840, 2160, 1.7777778f, false}},
      {" vex calibration", {3264, 2448, 1.3333334f, true}},
      {"vex calibration", {3264, 2448, 1.3333334f, true}},
      {"vexa2.0", {3264, 2448, 1.3333334f, true}},
      {"vexa2", {3264, 2448, 1.3333334f, true}},
      {"Integrated Camera", {3264, 2448, 1.3333334f, true}},  // no known model
  };
  ASSERT_EQ(std::size(cases), KnownCameraModels.size() + 1);
  for (const Case& c : cases) {
    const CameraProfile profile = SelectCameraProfile(c.name);
    EXPECT_EQ(profile.requestedWidth, c.profile.requestedWidth) << c.name;
    EXPECT_EQ(profile.requestedHeight, c.profile.requestedHeight) << c.name;
    EXPECT_EQ(profile.aspectRatio, c.profile.aspectRatio)
        << c.name;  // exact: the nearest floats to 4/3 and 16/9
    EXPECT_EQ(profile.setsCaptureFormat, c.profile.setsCaptureFormat) << c.name;
  }
}

TEST(DiscoverCameras, AppendsInEnumerationOrderAndCounts) {
  FakeCameraSystem system(entriesNamed({"Integrated Camera", " USB CAMERA KTR"}));
  std::vector<CameraEntry> cameraNameList = entriesNamed({"left over"});

  EXPECT_EQ(DiscoverCameras(system, cameraNameList), 2);
  ASSERT_EQ(cameraNameList.size(), 3u);
  EXPECT_EQ(cameraNameList[0].name, "left over");
  EXPECT_EQ(cameraNameList[1].name, "Integrated Camera");
  EXPECT_EQ(cameraNameList[2].name, " USB CAMERA KTR");
  EXPECT_EQ(cameraNameList[2].devicePath, "/dev/video1");

  FakeCameraSystem none;
  EXPECT_EQ(DiscoverCameras(none, cameraNameList), 0);
  EXPECT_EQ(cameraNameList.size(), 3u);
}
