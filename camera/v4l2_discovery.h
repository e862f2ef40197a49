#pragma once

#include <linux/videodev2.h>

#include <optional>
#include <string>
#include <vector>

#include "camera/camera_system.h"

// The video device nodes of the machine, behind a seam so discovery can be
// tested with nodes that no machine here has.
class V4l2NodeAccess {
 public:
  virtual ~V4l2NodeAccess() = default;
  // Paths of the /dev/videoN nodes, in any order.
  virtual std::vector<std::string> listVideoNodes() = 0;
  // VIDIOC_QUERYCAP of one node; nullopt when it cannot be opened or queried.
  virtual std::optional<v4l2_capability> queryCapability(const std::string& path) = 0;
  // True when this user may not open the node (no membership of its group,
  // no seat access).
  virtual bool accessDenied(const std::string& /*path*/) { return false; }
  // The device's name as the kernel shows it without opening the node;
  // empty when unknown.
  virtual std::string nameWithoutOpening(const std::string& /*path*/) { return {}; }
};

// The real nodes: every "videoN" entry of a device directory.
class SystemV4l2Nodes final : public V4l2NodeAccess {
 public:
  explicit SystemV4l2Nodes(std::string deviceDirectory = "/dev");
  std::vector<std::string> listVideoNodes() override;
  std::optional<v4l2_capability> queryCapability(const std::string& path) override;
  bool accessDenied(const std::string& path) override;
  // From /sys/class/video4linux/videoN/name, which anyone may read.
  std::string nameWithoutOpening(const std::string& path) override;

 private:
  std::string deviceDirectory_;
};

// One entry per node that captures video, in ascending node number. Nodes that
// cannot be queried and metadata nodes get no entry. Never throws.
std::vector<CameraEntry> discoverV4l2Cameras(V4l2NodeAccess& nodes);

// One entry per node this user may not open, in ascending node number, named
// as the kernel shows it (possibly empty). Never throws.
std::vector<CameraEntry> discoverDeniedV4l2Nodes(V4l2NodeAccess& nodes);
