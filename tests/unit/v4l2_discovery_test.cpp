#include "camera/v4l2_discovery.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "camera/v4l2_capture.h"
#include "tests/unit/temp_folder.h"

namespace {

v4l2_capability nodeCapability(const std::string& card, std::uint32_t deviceCaps) {
  v4l2_capability capability{};
  std::memcpy(capability.card, card.data(), std::min(card.size(), sizeof capability.card));
  capability.capabilities = deviceCaps | V4L2_CAP_DEVICE_CAPS | V4L2_CAP_META_CAPTURE;
  capability.device_caps = deviceCaps;
  return capability;
}

// Nodes as a test describes them; a node mapped to nullopt cannot be opened.
class FakeNodes final : public V4l2NodeAccess {
 public:
  std::vector<std::string> listVideoNodes() override {
    std::vector<std::string> paths;
    for (const auto& [path, capability] : nodes) paths.push_back(path);
    std::reverse(paths.begin(), paths.end());  // whatever order the directory gives
    return paths;
  }
  std::optional<v4l2_capability> queryCapability(const std::string& path) override { return nodes.at(path); }
  bool accessDenied(const std::string& path) override { return kernelNamesOfDenied.count(path) != 0; }
  std::string nameWithoutOpening(const std::string& path) override { return kernelNamesOfDenied.at(path); }

  std::map<std::string, std::optional<v4l2_capability>> nodes;
  std::map<std::string, std::string> kernelNamesOfDenied;  // nodes this user may not open
};

std::vector<std::string> names(const std::vector<CameraEntry>& entries) {
  std::vector<std::string> result;
  result.reserve(entries.size());
  for (const auto& entry : entries) result.push_back(entry.name);
  return result;
}

std::vector<std::string> paths(const std::vector<CameraEntry>& entries) {
  std::vector<std::string> result;
  result.reserve(entries.size());
  for (const auto& entry : entries) result.push_back(entry.devicePath);
  return result;
}

}  // namespace

TEST(V4l2Discovery, ListsCaptureNodesInNodeNumberOrderWithTheirCardNames) {
  FakeNodes fake;
  fake.nodes["/dev/video0"] =
      nodeCapability("Integrated Camera", V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING);
  fake.nodes["/dev/video1"] =
      nodeCapability("Integrated Camera", V4L2_CAP_META_CAPTURE);  // UVC metadata node
  fake.nodes["/dev/video2"] = std::nullopt;                        // cannot be opened
  fake.nodes["/dev/video9"] = nodeCapability(" USB CAMERA KTR", V4L2_CAP_VIDEO_CAPTURE);
  fake.nodes["/dev/video10"] = nodeCapability("vexa4.0", V4L2_CAP_VIDEO_CAPTURE);
  fake.nodes["/dev/video12"] = nodeCapability("", V4L2_CAP_VIDEO_CAPTURE);
  fake.nodes["/dev/video13"] = nodeCapability("output only", V4L2_CAP_VIDEO_OUTPUT);

  const auto entries = discoverV4l2Cameras(fake);

  EXPECT_EQ(names(entries),
            (std::vector<std::string>{"Integrated Camera", " USB CAMERA KTR", "vexa4.0", ""}));
  EXPECT_EQ(paths(entries),
            (std::vector<std::string>{"/dev/video0", "/dev/video9", "/dev/video10", "/dev/video12"}));
}

TEST(V4l2Discovery, NodesThisUserMayNotOpenAreListedApartWithTheKernelsNames) {
  FakeNodes fake;
  fake.nodes["/dev/video0"] = nodeCapability("Integrated Camera", V4L2_CAP_VIDEO_CAPTURE);
  fake.nodes["/dev/video4"] = std::nullopt;
  fake.nodes["/dev/video11"] = std::nullopt;
  fake.nodes["/dev/video2"] = std::nullopt;  // cannot be opened for another reason
  fake.kernelNamesOfDenied = {{"/dev/video11", "vexa4.0"}, {"/dev/video4", " USB CAMERA KTR"}};

  const auto denied = discoverDeniedV4l2Nodes(fake);

  EXPECT_EQ(names(denied), (std::vector<std::string>{" USB CAMERA KTR", "vexa4.0"}));
  EXPECT_EQ(paths(denied), (std::vector<std::string>{"/dev/video4", "/dev/video11"}));
  EXPECT_EQ(names(discoverV4l2Cameras(fake)), (std::vector<std::string>{"Integrated Camera"}));
}

TEST(V4l2Discovery, UsesTheWholeDeviceCapabilitiesWhenTheDriverHasNoDeviceCaps) {
  FakeNodes fake;
  v4l2_capability old{};
  std::memcpy(old.card, "old", 3);
  old.capabilities = V4L2_CAP_VIDEO_CAPTURE;
  old.device_caps = 0;  // not filled in by drivers that predate it
  fake.nodes["/dev/video0"] = old;

  EXPECT_EQ(names(discoverV4l2Cameras(fake)), (std::vector<std::string>{"old"}));
}

TEST(V4l2Discovery, ACardNameFillingTheWholeFieldEndsAtTheField) {
  FakeNodes fake;
  v4l2_capability full = nodeCapability(std::string(32, 'A'), V4L2_CAP_VIDEO_CAPTURE);
  std::memcpy(full.bus_info, "usb-0000", 8);  // what comes right after the card field
  fake.nodes["/dev/video0"] = full;

  EXPECT_EQ(names(discoverV4l2Cameras(fake)), (std::vector<std::string>{std::string(32, 'A')}));
}

TEST(SystemV4l2Nodes, ListsOnlyVideoNodesAndSkipsWhatCannotBeQueried) {
  const auto directory =
      std::filesystem::temp_directory_path() / ("varnix-nodes-" + std::to_string(::getpid()));
  std::filesystem::create_directories(directory);
  for (const char* name : {"video0", "video12", "video", "videoA", "video1x", "vbi0", "media0"})
    std::ofstream(directory / name) << "not a device";

  SystemV4l2Nodes nodes(directory.string());
  auto listed = nodes.listVideoNodes();
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed,
            (std::vector<std::string>{(directory / "video0").string(), (directory / "video12").string()}));
  // A plain file answers no VIDIOC_QUERYCAP.
  EXPECT_FALSE(nodes.queryCapability((directory / "video0").string()));
  EXPECT_TRUE(discoverV4l2Cameras(nodes).empty());

  std::filesystem::remove_all(directory);
  EXPECT_TRUE(SystemV4l2Nodes(directory.string()).listVideoNodes().empty());
}

TEST(V4l2CameraSystem, FindsNoCameraWithoutVideoNodes) {
  const TempFolder noNodes;
  ASSERT_TRUE(std::filesystem::is_directory(noNodes.path()));

  EXPECT_TRUE(V4l2CameraSystem(std::make_unique<SystemV4l2Nodes>(noNodes.path().string()))
                  .enumerateDevices()
                  .empty());
}

TEST(V4l2Capture, ANodeThatCannotBeOpenedFailsWithoutAFrame) {
  V4l2Capture capture("/dev/video-that-does-not-exist");
  EXPECT_FALSE(capture.open());
  EXPECT_FALSE(capture.isOpened());
  EXPECT_EQ(capture.controls(), nullptr);
  cv::Mat frame(4, 4, CV_8UC3);
  EXPECT_FALSE(capture.read(frame));
  EXPECT_TRUE(frame.empty());
  capture.release();
}
