#pragma once

#include <linux/videodev2.h>

#include <cstdint>
#include <vector>

namespace fakeuvc {

// The camera's controls as the driver shows them: brightness, contrast,
// automatic white balance, gain, the auto-exposure menu and the exposure
// time, with the two class entries the driver lists before each group.
// Every function returns 0 or the errno the driver would give.
class ControlSet {
 public:
  ControlSet();

  int query(v4l2_queryctrl& control) const;
  int queryExtended(v4l2_query_ext_ctrl& control) const;
  int queryMenu(v4l2_querymenu& item) const;
  int get(v4l2_control& control);
  int set(v4l2_control& control);
  // VIDIOC_G_EXT_CTRLS, VIDIOC_S_EXT_CTRLS or VIDIOC_TRY_EXT_CTRLS.
  int extended(unsigned long request, v4l2_ext_controls& controls);

 private:
  struct Control {
    std::uint32_t id;
    std::uint32_t type;
    const char* name;
    std::int32_t minimum;
    std::int32_t maximum;
    std::int32_t step;
    std::int32_t defaultValue;
    std::uint32_t menuMask;  // bit n: menu item n is offered
    std::int32_t value;
  };

  const Control* find(std::uint32_t id) const;
  // The control a query asks for, honouring V4L2_CTRL_FLAG_NEXT_CTRL.
  const Control* queried(std::uint32_t id) const;
  std::uint32_t flags(const Control& control) const;
  // Clamps integers and booleans; menu values must be offered items.
  static int fit(const Control& control, std::int32_t& value);

  std::vector<Control> controls_;  // by id
};

}  // namespace fakeuvc
