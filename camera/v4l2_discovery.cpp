#include "camera/v4l2_discovery.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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

// Nodes in ascending node number; other names are left out.
std::vector<std::string> numberedNodes(V4l2NodeAccess& nodes) {
  std::vector<std::pair<unsigned long, std::string>> numbered;
  for (auto& path : nodes.listVideoNodes())
    if (const auto number = nodeNumber(path)) numbered.emplace_back(*number, std::move(path));
  std::sort(numbered.begin(), numbered.end());
  std::vector<std::string> paths;
  paths.reserve(numbered.size());
  for (auto& entry : numbered) paths.push_back(std::move(entry.second));
  return paths;
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

bool SystemV4l2Nodes::accessDenied(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0) {
    ::close(fd);
    return false;
  }
  return errno == EACCES || errno == EPERM;
}

std::string SystemV4l2Nodes::nameWithoutOpening(const std::string& path) {
  const std::string attribute =
      "/sys/class/video4linux/" + std::filesystem::path(path).filename().string() + "/name";
  const int fd = ::open(attribute.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  char text[64] = {};  // the kernel's name field is 32 bytes
  const ssize_t length = ::read(fd, text, sizeof text - 1);
  ::close(fd);
  if (length <= 0) return {};
  std::string name(text, static_cast<std::size_t>(length));
  if (!name.empty() && name.back() == '\n') name.pop_back();
  return name;
}

std::vector<CameraEntry> discoverV4l2Cameras(V4l2NodeAccess& nodes) {
  std::vector<CameraEntry> entries;
  for (const std::string& path : numberedNodes(nodes)) {
    const auto capability = nodes.queryCapability(path);
    if (!capability || !capturesVideo(*capability)) continue;
    entries.push_back({fixedFieldText(capability->card), path});
  }
  return entries;
}

std::vector<CameraEntry> discoverDeniedV4l2Nodes(V4l2NodeAccess& nodes) {
  std::vector<CameraEntry> entries;
  for (const std::string& path : numberedNodes(nodes))
    if (nodes.accessDenied(path)) entries.push_back({nodes.nameWithoutOpening(path), path});
  return entries;
}
