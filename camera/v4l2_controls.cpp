#include "camera/v4l2_controls.h"

#include <linux/videodev2.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

namespace {

// A driver that keeps answering must not keep us here.
constexpr int maxControls = 1024;
constexpr std::int64_t maxMenuEntries = 256;

// What both query requests report, in the wider of their two layouts.
struct RawControl {
  std::uint32_t id = 0;
  std::uint32_t type = 0;
  std::string name;
  std::int64_t minimum = 0;
  std::int64_t maximum = 0;
  std::int64_t step = 0;
  std::int64_t defaultValue = 0;
  std::uint32_t flags = 0;
};

std::optional<RawControl> queryExtended(V4l2Port& port, std::uint32_t query) {
  v4l2_query_ext_ctrl control{};
  control.id = query;
  if (!port.ioctl(VIDIOC_QUERY_EXT_CTRL, &control).ok()) return std::nullopt;
  return RawControl{control.id,
                    control.type,
                    fixedFieldText(control.name),
                    control.minimum,
                    control.maximum,
                    static_cast<std::int64_t>(
                        std::min<std::uint64_t>(control.step, std::numeric_limits<std::int64_t>::max())),
                    control.default_value,
                    control.flags};
}

std::optional<RawControl> queryLegacy(V4l2Port& port, std::uint32_t query) {
  v4l2_queryctrl control{};
  control.id = query;
  if (!port.ioctl(VIDIOC_QUERYCTRL, &control).ok()) return std::nullopt;
  return RawControl{control.id,      control.type, fixedFieldText(control.name), control.minimum,
                    control.maximum, control.step, control.default_value,        control.flags};
}

std::optional<ControlType> controlType(std::uint32_t v4l2Type) {
  switch (v4l2Type) {
    case V4L2_CTRL_TYPE_INTEGER: return ControlType::Integer;
    case V4L2_CTRL_TYPE_BOOLEAN: return ControlType::Boolean;
    case V4L2_CTRL_TYPE_MENU:
    case V4L2_CTRL_TYPE_INTEGER_MENU: return ControlType::Menu;
    case V4L2_CTRL_TYPE_BUTTON: return ControlType::Button;
    // 64-bit, string, bitmask and compound controls have nothing a camera
    // user adjusts and do not fit VIDIOC_G_CTRL.
    default: return std::nullopt;
  }
}

std::vector<MenuItem> menuItems(V4l2Port& port, const RawControl& raw) {
  std::vector<MenuItem> items;
  const std::int64_t last = std::min(raw.maximum, raw.minimum + maxMenuEntries - 1);
  for (std::int64_t index = std::max<std::int64_t>(raw.minimum, 0); index <= last; ++index) {
    v4l2_querymenu entry{};
    entry.id = raw.id;
    entry.index = static_cast<std::uint32_t>(index);
    // Menus may have holes: indices the driver does not offer fail and are left out.
    if (!port.ioctl(VIDIOC_QUERYMENU, &entry).ok()) continue;
    if (raw.type == V4L2_CTRL_TYPE_INTEGER_MENU) {
      const std::int64_t number = entry.value;
      items.push_back({index, std::to_string(number)});
    } else {
      // The entry is packed: its name is read in place, not bound by reference.
      items.push_back({index, fixedFieldText(entry.name, sizeof entry.name)});
    }
  }
  return items;
}

std::optional<CameraControlInfo> describe(V4l2Port& port, const RawControl& raw) {
  if ((raw.flags & V4L2_CTRL_FLAG_DISABLED) != 0 || (raw.flags & V4L2_CTRL_FLAG_HAS_PAYLOAD) != 0)
    return std::nullopt;
  const auto type = controlType(raw.type);
  if (!type) return std::nullopt;

  CameraControlInfo info;
  info.id = raw.id;
  info.type = *type;
  info.name = raw.name;
  info.minimum = raw.minimum;
  info.maximum = raw.maximum;
  info.step = raw.step;
  info.defaultValue = raw.defaultValue;
  info.value = raw.defaultValue;
  info.readOnly = (raw.flags & V4L2_CTRL_FLAG_READ_ONLY) != 0;
  // Grabbed means busy for now (another program is streaming), like inactive.
  info.inactive = (raw.flags & (V4L2_CTRL_FLAG_INACTIVE | V4L2_CTRL_FLAG_GRABBED)) != 0;

  // Buttons and write-only controls have no value to read back.
  if (info.type != ControlType::Button && (raw.flags & V4L2_CTRL_FLAG_WRITE_ONLY) == 0) {
    v4l2_control current{};
    current.id = raw.id;
    if (port.ioctl(VIDIOC_G_CTRL, &current).ok()) info.value = current.value;
  }
  if (info.type == ControlType::Menu) info.menuItems = menuItems(port, raw);
  return info;
}

}  // namespace

V4l2Controls::V4l2Controls(std::unique_ptr<V4l2Port> port) : port_(std::move(port)) {}

std::unique_ptr<V4l2Controls> V4l2Controls::open(const std::string& devicePath) {
  auto device = std::make_unique<V4l2Device>();
  if (!device->open(devicePath)) return nullptr;
  return std::make_unique<V4l2Controls>(std::move(device));
}

std::vector<CameraControlInfo> V4l2Controls::queryControls() {
  std::vector<CameraControlInfo> controls;
  if (!port_) return controls;

  // Drivers older than VIDIOC_QUERY_EXT_CTRL answer the legacy request only.
  auto query = &queryExtended;
  std::optional<RawControl> raw = query(*port_, V4L2_CTRL_FLAG_NEXT_CTRL);
  if (!raw) {
    query = &queryLegacy;
    raw = query(*port_, V4L2_CTRL_FLAG_NEXT_CTRL);
  }
  for (int count = 0; raw && count < maxControls; ++count) {
    if (auto info = describe(*port_, *raw)) controls.push_back(std::move(*info));
    const std::uint32_t previous = raw->id;
    raw = query(*port_, previous | V4L2_CTRL_FLAG_NEXT_CTRL);
    // Each answer must move forward; a driver repeating itself ends the walk.
    if (raw && raw->id <= previous) break;
  }
  return controls;
}

bool V4l2Controls::setControl(std::uint32_t id, std::int64_t value) {
  if (!port_ || value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max())
    return false;
  v4l2_control control{};
  control.id = id;
  control.value = static_cast<std::int32_t>(value);
  return port_->ioctl(VIDIOC_S_CTRL, &control).ok();
}
