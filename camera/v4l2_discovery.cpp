#include "camera/v4l2_discovery.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

#include "camera/v4l2_device.h"

namespace {

constexpr std::string_view nodePrefix = "video";

// The N of ".../videoN"; nullopt for any other name.
std::optional<unsigned long> nodeNumber(const std::string& path) {
  const std::string name = std::filesystem::path(path).filename().string();
  if (name.size() <= nodePrefix.size() || name.compare(0, nodePrefix.size(), nodePrefix) != 0)
    return std::nullopt;
  const std::string digits = name.substr(nodePrefix.size());
  if (digits.size() > 9 ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  return std::stoul(digits);
}

bool capturesVideo(const v4l2_capability& capability) {
  // Nodes of drivers older than device_caps report for the whole device.
  const std::uint32_t caps = (capability.capabilities & V4L2_CAP_DEVICE_CAPS) != 0 ? capability.device_caps
                                                                                   : capability.capabilities;
  return (caps & V4L2_CAP_VIDEO_CAPTURE) != 0;
}

}  // namespace

SystemV4l2Nodes::SystemV4l2Nodes(std::string deviceDirectory)
    : deviceDirectory_(std::move(deviceDirectory)) {}

std::vector<std::string> SystemV4l2Nodes::listVideoNodes() {
  std::vector<std::string> nodes;
  std::error_code error;
  std::filesystem::directory_iterator it(deviceDirectory_, error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    const std::string path = it->path().string();
    if (nodeNumber(path)) nodes.push_back(path);
  }
  return nodes;
}

std::optional<v4l2_capability> SystemV4l2Nodes::queryCapability(const std::string& path) {
  V4l2Device device;
  if (!device.open(path)) return std::nullopt;
  v4l2_capability capability{};
  if (!device.ioctl(VIDIOC_QUERYCAP, &capability).ok()) return std::nullopt;
  return capability;
}

std::vector<CameraEntry> discoverV4l2Cameras(V4l2NodeAccess& nodes) {
  std::vector<std::pair<unsigned long, std::string>> numbered;
  for (auto& path : nodes.listVideoNodes())
    if (const auto number = nodeNumber(path)) numbered.emplace_back(*number, std::move(path));
  std::sort(numbered.begin(), numbered.end());

  std::vector<CameraEntry> entries;
  for (const auto& [number, path] : numbered) {
    const auto capability = nodes.queryCapability(path);
    if (!capability || !capturesVideo(*capability)) continue;
    entries.push_back({fixedFieldText(capability->card), path});
  }
  return entries;
}
