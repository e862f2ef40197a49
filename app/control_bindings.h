#pragma once

#include <array>
#include <cstddef>

#include "overlay/overlay_records.h"
#include "res/control_ids.h"

// Which controls of the main dialog show which overlay value. The data
// exchange, the slider set-up and the colour buttons all read these tables.

// The slider and the number field of one numeric value.
struct ValueControls {
  NumericValue value;
  int sliderId;
  int fieldId;
};

// One row per value, in file order, so that a value is the index of its row.
inline constexpr std::array<ValueControls, numericValueCount> valueControls = {{
    {NumericValue::Circle1Radius, ctl::Circle1RadiusSlider, ctl::Circle1RadiusField},
    {NumericValue::Circle1Thickness, ctl::Circle1ThicknessSlider, ctl::Circle1ThicknessField},
    {NumericValue::Circle2Radius, ctl::Circle2RadiusSlider, ctl::Circle2RadiusField},
    {NumericValue::Circle2Thickness, ctl::Circle2ThicknessSlider, ctl::Circle2ThicknessField},
    {NumericValue::Circle3Radius, ctl::Circle3RadiusSlider, ctl::Circle3RadiusField},
    {NumericValue::Circle3Thickness, ctl::Circle3ThicknessSlider, ctl::Circle3ThicknessField},
    {NumericValue::CrosshairLength, ctl::CrosshairLengthSlider, ctl::CrosshairLengthField},
    {NumericValue::CrosshairThickness, ctl::CrosshairThicknessSlider, ctl::CrosshairThicknessField},
    {NumericValue::CrosshairAngle, ctl::CrosshairAngleSlider, ctl::CrosshairAngleField},
    {NumericValue::OffsetVertical, ctl::OffsetVerticalSlider, ctl::OffsetVerticalField},
    {NumericValue::OffsetHorizontal, ctl::OffsetHorizontalSlider, ctl::OffsetHorizontalField},
}};

constexpr const ValueControls& controlsOf(NumericValue value) {
  return valueControls[static_cast<std::size_t>(value)];
}

// The colour button of one coloured element.
struct ColorControl {
  ColoredElement element;
  int buttonId;
};

// In the order of ColoredElement, so that an element is the index of its row.
inline constexpr std::array<ColorControl, 4> colorControls = {{
    {ColoredElement::Circle2, ctl::Circle2Color},
    {ColoredElement::Circle1, ctl::Circle1Color},
    {ColoredElement::Circle3, ctl::Circle3Color},
    {ColoredElement::Crosshair, ctl::CrosshairColor},
}};

constexpr int colorButtonOf(ColoredElement element) {
  return colorControls[static_cast<std::size_t>(element)].buttonId;
}

// Each row stands at the index of its value or element.
static_assert(
    [] {
      for (std::size_t i = 0; i < valueControls.size(); ++i)
        if (static_cast<std::size_t>(valueControls[i].value) != i) return false;
      for (std::size_t i = 0; i < colorControls.size(); ++i)
        if (static_cast<std::size_t>(colorControls[i].element) != i) return false;
      return true;
    }(),
    "a binding row out of its place");
