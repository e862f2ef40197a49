#include "res/dialog_templates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "res/control_ids.h"

TEST(MainDialogTemplate, HoldsTheFiftyThreeControlsInTabOrder) {
  const DialogTemplate& dialog = mainDialogTemplate();
  EXPECT_EQ(dialog.id, 102);
  EXPECT_EQ(dialog.caption, "VEXA");
  EXPECT_EQ(dialog.rect.width, 139);
  EXPECT_EQ(dialog.rect.height, 418);
  EXPECT_EQ(dialog.fontPointSize, 9);
  ASSERT_EQ(dialog.controls.size(), 53u);

  // First and last tab stops, and circle 2's block ahead of circle 1's.
  EXPECT_EQ(dialog.controls.front().id, ctl::CloseProgram);
  EXPECT_EQ(dialog.controls.front().caption, "关闭程序");
  EXPECT_EQ(dialog.controls[1].id, ctl::OpenCamera);
  EXPECT_EQ(dialog.controls.back().id, ctl::SaveParameters);
  EXPECT_EQ(dialog.controls.back().caption, "保存参数");
  const auto positionOf = [&dialog](int id) {
    return std::find_if(dialog.controls.begin(), dialog.controls.end(),
                        [id](const ControlTemplate& c) { return c.id == id; }) -
           dialog.controls.begin();
  };
  EXPECT_LT(positionOf(ctl::Circle2RadiusField), positionOf(ctl::Circle1RadiusField));
}

TEST(MainDialogTemplate, EveryCaptureControlAppearsExactlyOnce) {
  const DialogTemplate& dialog = mainDialogTemplate();
  for (const int id : ctl::captureControls) {
    const auto count = std::count_if(dialog.controls.begin(), dialog.controls.end(),
                                     [id](const ControlTemplate& c) { return c.id == id; });
    EXPECT_EQ(count, 1) << id;
  }
  // The capture controls plus open camera and close program are every control with an id.
  std::set<int> ids;
  for (const ControlTemplate& c : dialog.controls) {
    if (c.id != noControlId) {
      EXPECT_TRUE(ids.insert(c.id).second) << "duplicate id " << c.id;
    }
  }
  EXPECT_EQ(ids.size(), ctl::captureControls.size() + 2);
}

TEST(MainDialogTemplate, ControlKindsCarryTheirStyles) {
  struct Case {
    int id;
    ControlKind kind;
    DialogRect rect;
    std::uint32_t style;
  };
  using namespace control_style;
  const Case cases[] = {
      {ctl::Circle1RadiusField,
       ControlKind::NumberField,
       {40, 137, 28, 14},
       TabStop | Border | DigitsOnly | AutoHScroll},
      {ctl::OffsetVerticalField,
       ControlKind::NumberField,
       {37, 76, 32, 14},
       TabStop | Border | DigitsOnly | AutoHScroll},
      {ctl::CrosshairAngleSlider, ControlKind::Slider, {71, 348, 55, 10}, TabStop | NoTicks},
      {ctl::Circle2Color, ControlKind::ColorButton, {67, 180, 50, 14}, TabStop},
      {ctl::OffsetEnable, ControlKind::CheckBox, {35, 61, 57, 10}, TabStop},
      {ctl::CameraSettings, ControlKind::PushButton, {7, 40, 54, 14}, TabStop},
  };
  for (const Case& c : cases) {
    const ControlTemplate* control = findControl(mainDialogTemplate(), c.id);
    ASSERT_NE(control, nullptr) << c.id;
    EXPECT_EQ(control->kind, c.kind) << c.id;
    EXPECT_EQ(control->rect.x, c.rect.x) << c.id;
    EXPECT_EQ(control->rect.y, c.rect.y) << c.id;
    EXPECT_EQ(control->rect.width, c.rect.width) << c.id;
    EXPECT_EQ(control->rect.height, c.rect.height) << c.id;
    EXPECT_EQ(control->style, c.style) << c.id;
  }
  EXPECT_EQ(findControl(mainDialogTemplate(), noControlId), nullptr);
}

TEST(MainDialogTemplate, EveryColourButtonOffersOtherColoursInFiveColumns) {
  const DialogTemplate& dialog = mainDialogTemplate();
  ASSERT_EQ(dialog.colorButtons.size(), 4u);
  const int order[] = {ctl::Circle2Color, ctl::Circle1Color, ctl::Circle3Color, ctl::CrosshairColor};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(dialog.colorButtons[i].controlId, order[i]);
    const ColorButtonOptions* options = findColorButtonOptions(dialog, order[i]);
    ASSERT_NE(options, nullptr);
    EXPECT_TRUE(options->otherColorsButton);
    EXPECT_EQ(options->columns, 5);
    EXPECT_EQ(findControl(dialog, order[i])->kind, ControlKind::ColorButton);
  }
}

TEST(VideoWindowTemplate, IsAResizableCaptionedWindowWithScrollBarsAndOnePicture) {
  const DialogTemplate& dialog = videoWindowTemplate();
  EXPECT_EQ(dialog.id, 135);
  EXPECT_EQ(dialog.caption, "Camera");
  EXPECT_EQ(dialog.fontPointSize, 8);
  using namespace window_style;
  EXPECT_EQ(dialog.style, Caption | ThickFrame | HScroll | VScroll) << "no close button, hidden at creation";
  ASSERT_EQ(dialog.controls.size(), 1u);
  const ControlTemplate& picture = dialog.controls.front();
  EXPECT_EQ(picture.id, ctl::Picture);
  EXPECT_EQ(picture.kind, ControlKind::Picture);
  EXPECT_EQ(picture.style, control_style::BlackFrame);
  EXPECT_EQ(picture.rect.x, 24);
  EXPECT_EQ(picture.rect.width, 137);
  EXPECT_EQ(findDialogTemplate(135), &dialog);
  EXPECT_EQ(findDialogTemplate(102), &mainDialogTemplate());
  EXPECT_EQ(findDialogTemplate(7), nullptr);
}
