#include "camera/camera_system_factory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <opencv2/videoio.hpp>

#include "camera/v4l2_capture.h"
#include "tests/camera_doubles.h"
#include "tests/unit/temp_folder.h"

namespace {

// Stands for the machine's cameras; its captures are recognisable by path.
std::unique_ptr<FakeCameraSystem> fakeRealCameras() {
  return std::make_unique<FakeCameraSystem>(
      std::vector<CameraEntry>{{"Integrated Camera", "/dev/video0"}, {"vexa4.0", "/dev/video2"}});
}

}  // namespace

TEST(MakeCameraSystem, WithoutTheOptionListsTheRealCamerasOnly) {
  auto real = fakeRealCameras();
  FakeCameraSystem* fake = real.get();
  const auto system = makeCameraSystem(CameraSystemOptions{}, std::move(real));
  const auto entries = system->enumerateDevices();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_NE(dynamic_cast<FakeCapture*>(system->createCapture(entries[1]).get()), nullptr);
  EXPECT_EQ(fake->log.createdFor, std::vector<std::string>{"/dev/video2"});
}

TEST(MakeCameraSystem, AppendsTheSimulatedCameraAfterTheRealOnes) {
  auto real = fakeRealCameras();
  FakeCameraSystem* fake = real.get();
  CameraSystemOptions options;
  options.simulatedCameraName = " vex calibration";
  const auto system = makeCameraSystem(options, std::move(real));

  const auto entries = system->enumerateDevices();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "Integrated Camera");
  EXPECT_EQ(entries[2].name, " vex calibration");

  const auto simulated = system->createCapture(entries[2]);
  ASSERT_NE(simulated, nullptr);
  ASSERT_TRUE(simulated->open());
  ASSERT_TRUE(simulated->set(cv::CAP_PROP_FRAME_WIDTH, 320));
  ASSERT_TRUE(simulated->set(cv::CAP_PROP_FRAME_HEIGHT, 240));
  cv::Mat frame;
  EXPECT_TRUE(simulated->read(frame));
  EXPECT_EQ(frame.size(), cv::Size(320, 240));
  EXPECT_TRUE(fake->log.createdFor.empty());

  (void)system->createCapture(entries[0]);
  EXPECT_EQ(fake->log.createdFor, std::vector<std::string>{"/dev/video0"});
}

TEST(MakeCameraSystem, WithoutVideoNodesTheSimulatedCameraIsTheOnlyOne) {
  const TempFolder noNodes;
  ASSERT_TRUE(std::filesystem::is_directory(noNodes.path()));

  CameraSystemOptions options;
  options.simulatedCameraName = "vexa4.0";
  options.simulatedSource = "missing.png";
  const auto system = makeCameraSystem(
      options,
      std::make_unique<V4l2CameraSystem>(std::make_unique<SystemV4l2Nodes>(noNodes.path().string())));
  const auto entries = system->enumerateDevices();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].name, "vexa4.0");
  // The source is only read when the camera opens, and then fails it.
  EXPECT_FALSE(system->createCapture(entries[0])->open());
}
