#include "controls.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>

namespace fakeuvc {

namespace {

constexpr std::uint32_t idMask = ~(V4L2_CTRL_FLAG_NEXT_CTRL | V4L2_CTRL_FLAG_NEXT_COMPOUND);

// Menu entries of the auto-exposure control, by value; this camera offers
// manual and aperture priority, as most do.
const char* exposureMenuName(std::uint32_t index) {
  switch (index) {
    case V4L2_EXPOSURE_AUTO: return "Auto Mode";
    case V4L2_EXPOSURE_MANUAL: return "Manual Mode";
    case V4L2_EXPOSURE_SHUTTER_PRIORITY: return "Shutter Priority Mode";
    case V4L2_EXPOSURE_APERTURE_PRIORITY: return "Aperture Priority Mode";
    default: return nullptr;
  }
}

template <typename Char, std::size_t N>
void copyName(Char (&field)[N], const char* name) {
  static_assert(sizeof(Char) == 1);
  std::memset(field, 0, N);
  std::memcpy(field, name, std::min(std::strlen(name), N - 1));
}

bool isClass(std::uint32_t type) {
  return type == V4L2_CTRL_TYPE_CTRL_CLASS;
}

}  // namespace

ControlSet::ControlSet() {
  constexpr std::uint32_t menuMask = (1u << V4L2_EXPOSURE_MANUAL) | (1u << V4L2_EXPOSURE_APERTURE_PRIORITY);
  controls_ = {
      {V4L2_CID_USER_CLASS, V4L2_CTRL_TYPE_CTRL_CLASS, "User Controls", 0, 0, 0, 0, 0, 0},
      {V4L2_CID_BRIGHTNESS, V4L2_CTRL_TYPE_INTEGER, "Brightness", -64, 64, 1, 0, 0, 0},
      {V4L2_CID_CONTRAST, V4L2_CTRL_TYPE_INTEGER, "Contrast", 0, 64, 1, 32, 0, 32},
      {V4L2_CID_AUTO_WHITE_BALANCE, V4L2_CTRL_TYPE_BOOLEAN, "White Balance, Automatic", 0, 1, 1, 1, 0, 1},
      {V4L2_CID_GAIN, V4L2_CTRL_TYPE_INTEGER, "Gain", 0, 100, 1, 0, 0, 0},
      {V4L2_CID_CAMERA_CLASS, V4L2_CTRL_TYPE_CTRL_CLASS, "Camera Controls", 0, 0, 0, 0, 0, 0},
      {V4L2_CID_EXPOSURE_AUTO, V4L2_CTRL_TYPE_MENU, "Auto Exposure", 0, 3, 1, V4L2_EXPOSURE_APERTURE_PRIORITY,
       menuMask, V4L2_EXPOSURE_APERTURE_PRIORITY},
      {V4L2_CID_EXPOSURE_ABSOLUTE, V4L2_CTRL_TYPE_INTEGER, "Exposure Time, Absolute", 3, 2047, 1, 250, 0,
       250},
  };
}

const ControlSet::Control* ControlSet::find(std::uint32_t id) const {
  for (const Control& control : controls_)
    if (control.id == id) return &control;
  return nullptr;
}

const ControlSet::Control* ControlSet::queried(std::uint32_t id) const {
  if ((id & V4L2_CTRL_FLAG_NEXT_CTRL) == 0) return find(id);
  const std::uint32_t after = id & idMask;
  for (const Control& control : controls_)
    if (control.id > after) return &control;
  return nullptr;
}

std::uint32_t ControlSet::flags(const Control& control) const {
  if (isClass(control.type)) return V4L2_CTRL_FLAG_READ_ONLY | V4L2_CTRL_FLAG_WRITE_ONLY;
  // The exposure time only counts in manual mode; the menu that decides it
  // tells clients to look again after a change.
  if (control.id == V4L2_CID_EXPOSURE_ABSOLUTE && find(V4L2_CID_EXPOSURE_AUTO)->value != V4L2_EXPOSURE_MANUAL)
    return V4L2_CTRL_FLAG_INACTIVE;
  if (control.id == V4L2_CID_EXPOSURE_AUTO) return V4L2_CTRL_FLAG_UPDATE;
  return 0;
}

int ControlSet::query(v4l2_queryctrl& out) const {
  const Control* control = queried(out.id);
  if (control == nullptr) return EINVAL;
  out = v4l2_queryctrl{};
  out.id = control->id;
  out.type = control->type;
  copyName(out.name, control->name);
  out.minimum = control->minimum;
  out.maximum = control->maximum;
  out.step = control->step;
  out.default_value = control->defaultValue;
  out.flags = flags(*control);
  return 0;
}

int ControlSet::queryExtended(v4l2_query_ext_ctrl& out) const {
  const Control* control = queried(out.id);
  if (control == nullptr) return EINVAL;
  out = v4l2_query_ext_ctrl{};
  out.id = control->id;
  out.type = control->type;
  copyName(out.name, control->name);
  out.minimum = control->minimum;
  out.maximum = control->maximum;
  out.step = static_cast<std::uint64_t>(control->step);
  out.default_value = control->defaultValue;
  out.flags = flags(*control);
  out.elem_size = 4;
  out.elems = 1;
  return 0;
}

int ControlSet::queryMenu(v4l2_querymenu& item) const {
  const Control* control = find(item.id);
  if (control == nullptr || control->type != V4L2_CTRL_TYPE_MENU) return EINVAL;
  const std::uint32_t index = item.index;
  if (index < static_cast<std::uint32_t>(control->minimum) ||
      index > static_cast<std::uint32_t>(control->maximum) || (control->menuMask & (1u << index)) == 0)
    return EINVAL;
  const std::uint32_t id = item.id;
  std::memset(&item, 0, sizeof item);
  item.id = id;
  item.index = index;
  std::strncpy(reinterpret_cast<char*>(item.name), exposureMenuName(index), sizeof item.name - 1);
  return 0;
}

int ControlSet::fit(const Control& control, std::int32_t& value) {
  switch (control.type) {
    case V4L2_CTRL_TYPE_MENU:
      if (value < control.minimum || value > control.maximum) return ERANGE;
      if ((control.menuMask & (1u << value)) == 0) return EINVAL;
      return 0;
    default: {
      const std::int64_t clamped = std::clamp<std::int64_t>(value, control.minimum, control.maximum);
      const std::int64_t steps = (clamped - control.minimum + control.step / 2) / control.step;
      value = static_cast<std::int32_t>(
          std::min<std::int64_t>(control.minimum + steps * control.step, control.maximum));
      return 0;
    }
  }
}

int ControlSet::get(v4l2_control& control) {
  v4l2_ext_control one{};
  one.id = control.id;
  v4l2_ext_controls request{};
  request.which = V4L2_CTRL_ID2WHICH(control.id);
  request.count = 1;
  request.controls = &one;
  const int error = extended(VIDIOC_G_EXT_CTRLS, request);
  if (error == 0) control.value = one.value;
  return error;
}

int ControlSet::set(v4l2_control& control) {
  v4l2_ext_control one{};
  one.id = control.id;
  one.value = control.value;
  v4l2_ext_controls request{};
  request.which = V4L2_CTRL_ID2WHICH(control.id);
  request.count = 1;
  request.controls = &one;
  const int error = extended(VIDIOC_S_EXT_CTRLS, request);
  if (error == 0) control.value = one.value;
  return error;
}

int ControlSet::extended(unsigned long request, v4l2_ext_controls& list) {
  const bool reading = request == VIDIOC_G_EXT_CTRLS;
  const bool trying = request == VIDIOC_TRY_EXT_CTRLS;
  const std::uint32_t count = list.count;
  // Problems found before any value is touched point past the list, except
  // for TRY, which names the control.
  list.error_idx = count;
  if (count > V4L2_CID_MAX_CTRLS) return EINVAL;
  if (count > 0 && list.controls == nullptr) return EFAULT;
  const std::uint32_t which = list.which;
  if (which == V4L2_CTRL_WHICH_REQUEST_VAL) return EINVAL;
  if (which == V4L2_CTRL_WHICH_DEF_VAL && !reading) return EINVAL;
  v4l2_ext_control* const items = list.controls;

  if (which != V4L2_CTRL_WHICH_CUR_VAL && which != V4L2_CTRL_WHICH_DEF_VAL) {
    for (std::uint32_t i = 0; i < count; ++i) {
      if (V4L2_CTRL_ID2WHICH(items[i].id) != which) {
        list.error_idx = trying ? i : count;
        return EINVAL;
      }
    }
  }

  // The value the auto-exposure menu will have once this request is done.
  std::int32_t exposureMode = find(V4L2_CID_EXPOSURE_AUTO)->value;
  if (!reading) {
    for (std::uint32_t i = 0; i < count; ++i)
      if (items[i].id == V4L2_CID_EXPOSURE_AUTO) exposureMode = items[i].value;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    const Control* control = find(items[i].id);
    int error = 0;
    if (control == nullptr)
      error = EINVAL;
    else if (isClass(control->type))
      error = EACCES;
    else if (!reading && !trying && control->id == V4L2_CID_EXPOSURE_ABSOLUTE &&
             exposureMode != V4L2_EXPOSURE_MANUAL)
      error = EACCES;  // the camera refuses an inactive control
    if (error != 0) {
      list.error_idx = trying ? i : count;
      return error;
    }
  }

  if (reading) {
    for (std::uint32_t i = 0; i < count; ++i) {
      const Control* control = find(items[i].id);
      items[i].value = which == V4L2_CTRL_WHICH_DEF_VAL ? control->defaultValue : control->value;
    }
    list.error_idx = 0;
    return 0;
  }

  // All or nothing: the new values are kept only when every one fits.
  std::map<std::uint32_t, std::int32_t> accepted;
  for (std::uint32_t i = 0; i < count; ++i) {
    const Control* control = find(items[i].id);
    std::int32_t value = items[i].value;
    if (const int error = fit(*control, value)) {
      list.error_idx = trying ? i : count;
      return error;
    }
    items[i].value = value;
    accepted[control->id] = value;
  }
  list.error_idx = 0;
  if (trying) return 0;
  for (Control& control : controls_) {
    const auto it = accepted.find(control.id);
    if (it != accepted.end()) control.value = it->second;
  }
  return 0;
}

}  // namespace fakeuvc
