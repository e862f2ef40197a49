#include "camera/v4l2_controls.h"

#include <gtest/gtest.h>
#include <linux/videodev2.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>

namespace {

struct DriverControl {
  std::uint32_t id;
  std::uint32_t type;
  const char* name;
  std::int64_t minimum, maximum, step, defaultValue;
  std::uint32_t flags;
  std::int32_t value;
  std::map<std::uint32_t, const char*> menu;  // index -> name; missing indices are holes
};

template <typename Char, std::size_t N>
void copyName(Char (&field)[N], const char* name) {
  std::memcpy(field, name, std::min(std::strlen(name), N));
}

// A driver answering the control requests the way the kernel does, in
// ascending id order.
class FakeDriver final : public V4l2Port {
 public:
  FakeDriver(std::vector<DriverControl> controls, bool hasExtendedQuery)
      : controls_(std::move(controls)), hasExtendedQuery_(hasExtendedQuery) {}

  IoctlResult ioctl(unsigned long request, void* argument) override {
    switch (request) {
      case VIDIOC_QUERY_EXT_CTRL: {
        if (!hasExtendedQuery_) return {ENOTTY};
        auto* query = static_cast<v4l2_query_ext_ctrl*>(argument);
        const DriverControl* control = find(query->id);
        if (control == nullptr) return {EINVAL};
        *query = {};
        query->id = control->id;
        query->type = control->type;
        copyName(query->name, control->name);
        query->minimum = control->minimum;
        query->maximum = control->maximum;
        query->step = static_cast<std::uint64_t>(control->step);
        query->default_value = control->defaultValue;
        query->flags = control->flags;
        return {};
      }
      case VIDIOC_QUERYCTRL: {
        auto* query = static_cast<v4l2_queryctrl*>(argument);
        const DriverControl* control = find(query->id);
        if (control == nullptr) return {EINVAL};
        *query = {};
        query->id = control->id;
        query->type = control->type;
        copyName(query->name, control->name);
        query->minimum = static_cast<std::int32_t>(control->minimum);
        query->maximum = static_cast<std::int32_t>(control->maximum);
        query->step = static_cast<std::int32_t>(control->step);
        query->default_value = static_cast<std::int32_t>(control->defaultValue);
        query->flags = control->flags;
        return {};
      }
      case VIDIOC_QUERYMENU: {
        auto* item = static_cast<v4l2_querymenu*>(argument);
        DriverControl* control = exact(item->id);
        if (control == nullptr || !control->menu.contains(item->index)) return {EINVAL};
        if (control->type == V4L2_CTRL_TYPE_INTEGER_MENU) {
          item->value = std::stoll(control->menu[item->index]);
        } else {
          std::memcpy(item->name, control->menu[item->index], std::strlen(control->menu[item->index]));
        }
        return {};
      }
      case VIDIOC_G_CTRL: {
        auto* value = static_cast<v4l2_control*>(argument);
        DriverControl* control = exact(value->id);
        if (control == nullptr || (control->flags & V4L2_CTRL_FLAG_WRITE_ONLY) != 0) return {EACCES};
        value->value = control->value;
        return {};
      }
      case VIDIOC_S_CTRL: {
        auto* value = static_cast<v4l2_control*>(argument);
        sets.emplace_back(value->id, value->value);
        DriverControl* control = exact(value->id);
        if (control == nullptr) return {EINVAL};
        if (value->value < control->minimum || value->value > control->maximum) return {ERANGE};
        control->value = value->value;
        return {};
      }
      default: return {ENOTTY};
    }
  }

  std::vector<std::pair<std::uint32_t, std::int32_t>> sets;

 private:
  // The control a query for `query` answers: the first one after the id with
  // V4L2_CTRL_FLAG_NEXT_CTRL, else the id itself.
  const DriverControl* find(std::uint32_t query) {
    if ((query & V4L2_CTRL_FLAG_NEXT_CTRL) == 0) return exact(query);
    const std::uint32_t after = query & ~(V4L2_CTRL_FLAG_NEXT_CTRL | V4L2_CTRL_FLAG_NEXT_COMPOUND);
    for (const auto& control : controls_)
      if (control.id > after) return &control;
    return nullptr;
  }
  DriverControl* exact(std::uint32_t id) {
    for (auto& control : controls_)
      if (control.id == id) return &control;
    return nullptr;
  }

  std::vector<DriverControl> controls_;
  bool hasExtendedQuery_;
};

// What a typical UVC camera offers, plus the kinds the list leaves out.
std::vector<DriverControl> uvcLikeControls() {
  return {
      {V4L2_CID_USER_CLASS,
       V4L2_CTRL_TYPE_CTRL_CLASS,
       "User Controls",
       0,
       0,
       0,
       0,
       V4L2_CTRL_FLAG_READ_ONLY,
       0,
       {}},
      {V4L2_CID_BRIGHTNESS,
       V4L2_CTRL_TYPE_INTEGER,
       "Brightness",
       -64,
       64,
       1,
       0,
       V4L2_CTRL_FLAG_SLIDER,
       12,
       {}},
      {V4L2_CID_CONTRAST, V4L2_CTRL_TYPE_INTEGER, "Contrast", 0, 95, 1, 32, V4L2_CTRL_FLAG_DISABLED, 32, {}},
      {V4L2_CID_AUTO_WHITE_BALANCE, V4L2_CTRL_TYPE_BOOLEAN, "White Balance, Automatic", 0, 1, 1, 1, 0, 0, {}},
      {V4L2_CID_DO_WHITE_BALANCE,
       V4L2_CTRL_TYPE_BUTTON,
       "Do White Balance",
       0,
       0,
       0,
       0,
       V4L2_CTRL_FLAG_WRITE_ONLY,
       0,
       {}},
      {V4L2_CID_POWER_LINE_FREQUENCY,
       V4L2_CTRL_TYPE_MENU,
       "Power Line Frequency",
       0,
       2,
       1,
       1,
       0,
       2,
       {{0, "Disabled"}, {1, "50 Hz"}, {2, "60 Hz"}}},
      {V4L2_CID_WHITE_BALANCE_TEMPERATURE,
       V4L2_CTRL_TYPE_INTEGER,
       "White Balance Temperature",
       2800,
       6500,
       10,
       4600,
       V4L2_CTRL_FLAG_INACTIVE,
       4600,
       {}},
      {V4L2_CID_CAMERA_CLASS,
       V4L2_CTRL_TYPE_CTRL_CLASS,
       "Camera Controls",
       0,
       0,
       0,
       0,
       V4L2_CTRL_FLAG_READ_ONLY,
       0,
       {}},
      {V4L2_CID_EXPOSURE_AUTO,
       V4L2_CTRL_TYPE_MENU,
       "Auto Exposure",
       0,
       3,
       1,
       3,
       0,
       1,
       {{1, "Manual Mode"}, {3, "Aperture Priority Mode"}}},
      {V4L2_CID_PAN_ABSOLUTE, V4L2_CTRL_TYPE_INTEGER64, "Pan, Absolute", -36000, 36000, 3600, 0, 0, 0, {}},
      {V4L2_CID_PRIVACY, V4L2_CTRL_TYPE_BOOLEAN, "Privacy", 0, 1, 1, 0, V4L2_CTRL_FLAG_READ_ONLY, 1, {}},
      {V4L2_CID_AUTO_EXPOSURE_BIAS,
       V4L2_CTRL_TYPE_INTEGER_MENU,
       "Auto Exposure Bias",
       0,
       2,
       1,
       1,
       0,
       1,
       {{0, "-2"}, {1, "0"}, {2, "2"}}},
  };
}

struct Expected {
  std::uint32_t id;
  ControlType type;
  std::int64_t value;
  bool readOnly;
  bool inactive;
  std::vector<std::string> menuNames;
};

}  // namespace

TEST(V4l2Controls, ListsOfferedControlsWithValuesAndMenusWithEitherQueryRequest) {
  const std::vector<Expected> expected = {
      {V4L2_CID_BRIGHTNESS, ControlType::Integer, 12, false, false, {}},
      {V4L2_CID_AUTO_WHITE_BALANCE, ControlType::Boolean, 0, false, false, {}},
      {V4L2_CID_DO_WHITE_BALANCE, ControlType::Button, 0, false, false, {}},
      {V4L2_CID_POWER_LINE_FREQUENCY, ControlType::Menu, 2, false, false, {"Disabled", "50 Hz", "60 Hz"}},
      {V4L2_CID_WHITE_BALANCE_TEMPERATURE, ControlType::Integer, 4600, false, true, {}},
      {V4L2_CID_EXPOSURE_AUTO, ControlType::Menu, 1, false, false, {"Manual Mode", "Aperture Priority Mode"}},
      {V4L2_CID_PRIVACY, ControlType::Boolean, 1, true, false, {}},
      {V4L2_CID_AUTO_EXPOSURE_BIAS, ControlType::Menu, 1, false, false, {"-2", "0", "2"}},
  };
  for (const bool extended : {true, false}) {
    SCOPED_TRACE(extended ? "VIDIOC_QUERY_EXT_CTRL" : "VIDIOC_QUERYCTRL only");
    V4l2Controls controls(std::make_unique<FakeDriver>(uvcLikeControls(), extended));
    const auto list = controls.queryControls();
    ASSERT_EQ(list.size(), expected.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
      SCOPED_TRACE(list[i].name);
      EXPECT_EQ(list[i].id, expected[i].id);
      EXPECT_EQ(list[i].type, expected[i].type);
      EXPECT_EQ(list[i].value, expected[i].value);
      EXPECT_EQ(list[i].readOnly, expected[i].readOnly);
      EXPECT_EQ(list[i].inactive, expected[i].inactive);
      std::vector<std::string> menuNames;
      for (const auto& item : list[i].menuItems) menuNames.push_back(item.name);
      EXPECT_EQ(menuNames, expected[i].menuNames);
    }
    EXPECT_EQ(list[0].name, "Brightness");
    EXPECT_EQ(list[0].minimum, -64);
    EXPECT_EQ(list[0].maximum, 64);
    EXPECT_EQ(list[4].step, 10);
    // The menu's values are the driver's indices, holes left out.
    EXPECT_EQ(list[5].menuItems[1].value, 3);
  }
}

TEST(V4l2Controls, SetsReachTheDriverAndRefusalsAreReported) {
  auto driver = std::make_unique<FakeDriver>(uvcLikeControls(), true);
  FakeDriver* fake = driver.get();
  V4l2Controls controls(std::move(driver));

  EXPECT_TRUE(controls.setControl(V4L2_CID_BRIGHTNESS, -20));
  EXPECT_FALSE(controls.setControl(V4L2_CID_BRIGHTNESS, 65));                     // out of range: ERANGE
  EXPECT_FALSE(controls.setControl(V4L2_CID_BRIGHTNESS, std::int64_t{1} << 40));  // never truncated to fit
  EXPECT_EQ(fake->sets, (std::vector<std::pair<std::uint32_t, std::int32_t>>{{V4L2_CID_BRIGHTNESS, -20},
                                                                             {V4L2_CID_BRIGHTNESS, 65}}));
  EXPECT_EQ(controls.queryControls()[0].value, -20);
}

TEST(V4l2Controls, ADriverThatRepeatsItselfEndsTheWalk) {
  class Repeating final : public V4l2Port {
   public:
    IoctlResult ioctl(unsigned long request, void* argument) override {
      if (request != VIDIOC_QUERY_EXT_CTRL) return {EINVAL};
      auto* query = static_cast<v4l2_query_ext_ctrl*>(argument);
      *query = {};
      query->id = V4L2_CID_BRIGHTNESS;
      query->type = V4L2_CTRL_TYPE_INTEGER;
      query->maximum = 10;
      return {};
    }
  };
  V4l2Controls controls(std::make_unique<Repeating>());
  EXPECT_EQ(controls.queryControls().size(), 1u);
}

TEST(V4l2Controls, ANodeThatCannotBeOpenedHasNoControls) {
  EXPECT_EQ(V4l2Controls::open("/dev/video-that-does-not-exist"), nullptr);
}
