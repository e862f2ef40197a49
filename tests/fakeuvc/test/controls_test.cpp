// The camera's controls, through every request a client may use for them.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "v4l2_client.h"

using client::Node;

namespace {

std::int32_t value(const Node& node, std::uint32_t id) {
  v4l2_control control{id, 0};
  EXPECT_EQ(node.call(VIDIOC_G_CTRL, &control), 0) << std::hex << id;
  return control.value;
}

int set(const Node& node, std::uint32_t id, std::int32_t wanted, std::int32_t* result = nullptr) {
  v4l2_control control{id, wanted};
  const int error = node.call(VIDIOC_S_CTRL, &control);
  if (result != nullptr) *result = control.value;
  return error;
}

}  // namespace

TEST(Controls, WalkInIdOrderWithTheirClassesInBothQueryForms) {
  const Node camera;
  const std::vector<std::uint32_t> expected{
      V4L2_CID_USER_CLASS, V4L2_CID_BRIGHTNESS,   V4L2_CID_CONTRAST,      V4L2_CID_AUTO_WHITE_BALANCE,
      V4L2_CID_GAIN,       V4L2_CID_CAMERA_CLASS, V4L2_CID_EXPOSURE_AUTO, V4L2_CID_EXPOSURE_ABSOLUTE};
  std::vector<std::uint32_t> legacy;
  v4l2_queryctrl query{};
  query.id = V4L2_CTRL_FLAG_NEXT_CTRL;
  for (; camera.call(VIDIOC_QUERYCTRL, &query) == 0; query.id |= V4L2_CTRL_FLAG_NEXT_CTRL)
    legacy.push_back(query.id);
  EXPECT_EQ(legacy, expected);

  std::vector<std::uint32_t> extended;
  v4l2_query_ext_ctrl queryExt{};
  queryExt.id = V4L2_CTRL_FLAG_NEXT_CTRL | V4L2_CTRL_FLAG_NEXT_COMPOUND;
  for (; camera.call(VIDIOC_QUERY_EXT_CTRL, &queryExt) == 0;
       queryExt.id |= V4L2_CTRL_FLAG_NEXT_CTRL | V4L2_CTRL_FLAG_NEXT_COMPOUND) {
    extended.push_back(queryExt.id);
    EXPECT_EQ(queryExt.elem_size, 4u);
  }
  EXPECT_EQ(extended, expected);

  struct Shape {
    std::uint32_t id;
    std::uint32_t type;
    const char* name;
  };
  for (const Shape& shape :
       {Shape{V4L2_CID_GAIN, V4L2_CTRL_TYPE_INTEGER, "Gain"},
        Shape{V4L2_CID_AUTO_WHITE_BALANCE, V4L2_CTRL_TYPE_BOOLEAN, "White Balance, Automatic"},
        Shape{V4L2_CID_EXPOSURE_AUTO, V4L2_CTRL_TYPE_MENU, "Auto Exposure"}}) {
    v4l2_queryctrl one{};
    one.id = shape.id;
    ASSERT_EQ(camera.call(VIDIOC_QUERYCTRL, &one), 0);
    EXPECT_EQ(one.type, shape.type);
    EXPECT_STREQ(reinterpret_cast<const char*>(one.name), shape.name);
  }
  v4l2_queryctrl unknown{};
  unknown.id = V4L2_CID_HUE;
  EXPECT_EQ(camera.call(VIDIOC_QUERYCTRL, &unknown), EINVAL);
}

TEST(Controls, ValuesAreClampedToTheirRangeAndSharedByEveryOpen) {
  const Node first;
  const Node second;
  struct Case {
    std::uint32_t id;
    std::int32_t wanted;
    std::int32_t kept;
  };
  for (const Case& c :
       {Case{V4L2_CID_BRIGHTNESS, 1000, 64}, Case{V4L2_CID_BRIGHTNESS, -1000, -64},
        Case{V4L2_CID_BRIGHTNESS, 5, 5}, Case{V4L2_CID_CONTRAST, -3, 0}, Case{V4L2_CID_GAIN, 101, 100},
        Case{V4L2_CID_AUTO_WHITE_BALANCE, 7, 1}, Case{V4L2_CID_AUTO_WHITE_BALANCE, 0, 0}}) {
    std::int32_t answered = 0;
    ASSERT_EQ(set(first, c.id, c.wanted, &answered), 0) << std::hex << c.id << std::dec << " " << c.wanted;
    EXPECT_EQ(answered, c.kept);
    EXPECT_EQ(value(second, c.id), c.kept);
  }
}

TEST(Controls, TheExposureMenuOffersManualAndAperturePriorityOnly) {
  const Node camera;
  std::vector<std::string> items;
  for (std::uint32_t index = 0; index <= 3; ++index) {
    v4l2_querymenu item{};
    item.id = V4L2_CID_EXPOSURE_AUTO;
    item.index = index;
    if (camera.call(VIDIOC_QUERYMENU, &item) == 0)
      items.push_back(std::to_string(index) + " " + reinterpret_cast<const char*>(item.name));
  }
  EXPECT_EQ(items, (std::vector<std::string>{"1 Manual Mode", "3 Aperture Priority Mode"}));

  EXPECT_EQ(set(camera, V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_AUTO), EINVAL) << "an item it does not offer";
  EXPECT_EQ(set(camera, V4L2_CID_EXPOSURE_AUTO, 9), ERANGE);
  v4l2_querymenu notAMenu{};
  notAMenu.id = V4L2_CID_GAIN;
  EXPECT_EQ(camera.call(VIDIOC_QUERYMENU, &notAMenu), EINVAL);
}

TEST(Controls, TheExposureTimeCountsOnlyInManualMode) {
  const Node camera;
  ASSERT_EQ(set(camera, V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_APERTURE_PRIORITY), 0);
  v4l2_queryctrl exposure{};
  exposure.id = V4L2_CID_EXPOSURE_ABSOLUTE;
  ASSERT_EQ(camera.call(VIDIOC_QUERYCTRL, &exposure), 0);
  EXPECT_NE(exposure.flags & V4L2_CTRL_FLAG_INACTIVE, 0u);
  EXPECT_EQ(set(camera, V4L2_CID_EXPOSURE_ABSOLUTE, 100), EACCES);

  // Switching to manual and setting the time in one request works, clamped.
  v4l2_ext_control both[2]{};
  both[0].id = V4L2_CID_EXPOSURE_AUTO;
  both[0].value = V4L2_EXPOSURE_MANUAL;
  both[1].id = V4L2_CID_EXPOSURE_ABSOLUTE;
  both[1].value = 100000;
  v4l2_ext_controls request{};
  request.which = V4L2_CTRL_WHICH_CUR_VAL;
  request.count = 2;
  request.controls = both;
  ASSERT_EQ(camera.call(VIDIOC_S_EXT_CTRLS, &request), 0);
  EXPECT_EQ(both[1].value, 2047);
  EXPECT_EQ(value(camera, V4L2_CID_EXPOSURE_ABSOLUTE), 2047);
  ASSERT_EQ(camera.call(VIDIOC_QUERYCTRL, &exposure), 0);
  EXPECT_EQ(exposure.flags & V4L2_CTRL_FLAG_INACTIVE, 0u);
}

TEST(Controls, ExtendedRequestsChangeAllOrNothing) {
  const Node camera;
  ASSERT_EQ(set(camera, V4L2_CID_GAIN, 10), 0);
  ASSERT_EQ(set(camera, V4L2_CID_CONTRAST, 20), 0);

  v4l2_ext_control list[3]{};
  list[0].id = V4L2_CID_GAIN;
  list[0].value = 50;
  list[1].id = V4L2_CID_CONTRAST;
  list[1].value = 500;
  list[2].id = V4L2_CID_HUE;  // not a control of this camera
  v4l2_ext_controls request{};
  request.count = 3;
  request.controls = list;

  // TRY names the culprit; S points past the list, as nothing was written.
  EXPECT_EQ(camera.call(VIDIOC_TRY_EXT_CTRLS, &request), EINVAL);
  EXPECT_EQ(request.error_idx, 2u);
  EXPECT_EQ(camera.call(VIDIOC_S_EXT_CTRLS, &request), EINVAL);
  EXPECT_EQ(request.error_idx, 3u);
  EXPECT_EQ(value(camera, V4L2_CID_GAIN), 10);

  // A valid TRY clamps the values it returns and changes nothing.
  request.count = 2;
  ASSERT_EQ(camera.call(VIDIOC_TRY_EXT_CTRLS, &request), 0);
  EXPECT_EQ(list[1].value, 64);
  EXPECT_EQ(value(camera, V4L2_CID_CONTRAST), 20);
  ASSERT_EQ(camera.call(VIDIOC_S_EXT_CTRLS, &request), 0);
  EXPECT_EQ(value(camera, V4L2_CID_GAIN), 50);
  EXPECT_EQ(value(camera, V4L2_CID_CONTRAST), 64);

  // The defaults stay readable.
  request.which = V4L2_CTRL_WHICH_DEF_VAL;
  ASSERT_EQ(camera.call(VIDIOC_G_EXT_CTRLS, &request), 0);
  EXPECT_EQ(list[0].value, 0);
  EXPECT_EQ(list[1].value, 32);
  // A class names the controls a request may hold.
  request.which = V4L2_CTRL_CLASS_CAMERA;
  EXPECT_EQ(camera.call(VIDIOC_G_EXT_CTRLS, &request), EINVAL);
}
