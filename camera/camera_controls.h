#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The adjustable controls of an open camera as plain data, so the settings
// window can be built and tested without a device behind it.

enum class ControlType { Integer, Boolean, Menu, Button };

struct MenuItem {
  std::int64_t value = 0;
  std::string name;
};

struct CameraControlInfo {
  std::uint32_t id = 0;
  ControlType type = ControlType::Integer;
  std::string name;
  std::int64_t minimum = 0;
  std::int64_t maximum = 0;
  std::int64_t step = 1;
  std::int64_t defaultValue = 0;
  std::int64_t value = 0;
  bool readOnly = false;
  // The driver offers the control but ignores it at the moment (for example
  // the exposure time while auto exposure is on).
  bool inactive = false;
  std::vector<MenuItem> menuItems;
};

class CameraControls {
 public:
  virtual ~CameraControls() = default;

  // Every control the device offers, with its current value, in device order.
  virtual std::vector<CameraControlInfo> queryControls() = 0;
  // Applies `value` at once; false when the device refuses it.
  virtual bool setControl(std::uint32_t id, std::int64_t value) = 0;
};
