#include "app/control_bindings.h"

#include <gtest/gtest.h>

#include <set>

#include "res/dialog_templates.h"

namespace {

ControlKind kindInMainDialog(int controlId) {
  const ControlTemplate* control = findControl(mainDialogTemplate(), controlId);
  return control != nullptr ? control->kind : ControlKind::StaticText;
}

}  // namespace

TEST(ControlBindings, EveryValueAndColourHasAControlOfItsOwnAndOfTheRightKind) {
  std::set<int> bound;
  for (const ValueControls& row : valueControls) {
    EXPECT_EQ(kindInMainDialog(row.sliderId), ControlKind::Slider) << row.sliderId;
    EXPECT_EQ(kindInMainDialog(row.fieldId), ControlKind::NumberField) << row.fieldId;
    EXPECT_TRUE(bound.insert(row.sliderId).second) << row.sliderId;
    EXPECT_TRUE(bound.insert(row.fieldId).second) << row.fieldId;
  }
  for (const ColorControl& row : colorControls) {
    EXPECT_EQ(kindInMainDialog(row.buttonId), ControlKind::ColorButton) << row.buttonId;
    EXPECT_TRUE(bound.insert(row.buttonId).second) << row.buttonId;
  }
  EXPECT_EQ(controlsOf(NumericValue::CrosshairAngle).fieldId, ctl::CrosshairAngleField);
  EXPECT_EQ(controlsOf(NumericValue::OffsetHorizontal).sliderId, ctl::OffsetHorizontalSlider);
  EXPECT_EQ(colorButtonOf(ColoredElement::Circle2), ctl::Circle2Color);
}
