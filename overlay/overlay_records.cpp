#include "overlay/overlay_records.h"

#include "res/control_ids.h"

namespace {

constexpr std::array<NumericValueInfo, numericValueCount> table = {{
    {NumericValue::Circle1Radius, ctl::Circle1RadiusSlider, ctl::Circle1RadiusField, 1, 4000, 150},
    {NumericValue::Circle1Thickness, ctl::Circle1ThicknessSlider, ctl::Circle1ThicknessField, 1, 4, 1},
    {NumericValue::Circle2Radius, ctl::Circle2RadiusSlider, ctl::Circle2RadiusField, 1, 4000, 100},
    {NumericValue::Circle2Thickness, ctl::Circle2ThicknessSlider, ctl::Circle2ThicknessField, 1, 4, 1},
    {NumericValue::Circle3Radius, ctl::Circle3RadiusSlider, ctl::Circle3RadiusField, 1, 4000, 50},
    {NumericValue::Circle3Thickness, ctl::Circle3ThicknessSlider, ctl::Circle3ThicknessField, 1, 4, 1},
    {NumericValue::CrosshairLength, ctl::CrosshairLengthSlider, ctl::CrosshairLengthField, 1, 4000, 100},
    {NumericValue::CrosshairThickness, ctl::CrosshairThicknessSlider, ctl::CrosshairThicknessField, 1, 4, 1},
    {NumericValue::CrosshairAngle, ctl::CrosshairAngleSlider, ctl::CrosshairAngleField, 0, 900, 0},
    {NumericValue::OffsetVertical, ctl::OffsetVerticalSlider, ctl::OffsetVerticalField, -20, 20, 0},
    {NumericValue::OffsetHorizontal, ctl::OffsetHorizontalSlider, ctl::OffsetHorizontalField, -20, 20, 0},
}};

constexpr std::array<DefaultColor, 4> colors = {{
    {ColoredElement::Circle2, ctl::Circle2Color, 0x0000FF},    // red
    {ColoredElement::Circle1, ctl::Circle1Color, 0x00FF00},    // green
    {ColoredElement::Circle3, ctl::Circle3Color, 0xFF0000},    // blue
    {ColoredElement::Crosshair, ctl::CrosshairColor, 0xFF00FF},  // magenta
}};

}  // namespace

const std::array<NumericValueInfo, numericValueCount>& numericValueTable() { return table; }

const NumericValueInfo& numericValueInfo(NumericValue value) {
  return table[static_cast<std::size_t>(value)];
}

int& numericValue(OverlayRecords& r, NumericValue value) {
  switch (value) {
    case NumericValue::Circle1Radius: return r.circle1.radius;
    case NumericValue::Circle1Thickness: return r.circle1.thickness;
    case NumericValue::Circle2Radius: return r.circle2.radius;
    case NumericValue::Circle2Thickness: return r.circle2.thickness;
    case NumericValue::Circle3Radius: return r.circle3.radius;
    case NumericValue::Circle3Thickness: return r.circle3.thickness;
    case NumericValue::CrosshairLength: return r.crosshair.length;
    case NumericValue::CrosshairThickness: return r.crosshair.thickness;
    case NumericValue::CrosshairAngle: return r.crosshair.angle;
    case NumericValue::OffsetVertical: return r.centerOffset.vertical;
    case NumericValue::OffsetHorizontal: return r.centerOffset.horizontal;
  }
  return r.circle1.radius;  // unreachable: every enumerator is handled above
}

int numericValue(const OverlayRecords& r, NumericValue value) {
  return numericValue(const_cast<OverlayRecords&>(r), value);
}

std::string& numericText(OverlayRecords& r, NumericValue value) {
  switch (value) {
    case NumericValue::Circle1Radius: return r.circle1.radiusText;
    case NumericValue::Circle1Thickness: return r.circle1.thicknessText;
    case NumericValue::Circle2Radius: return r.circle2.radiusText;
    case NumericValue::Circle2Thickness: return r.circle2.thicknessText;
    case NumericValue::Circle3Radius: return r.circle3.radiusText;
    case NumericValue::Circle3Thickness: return r.circle3.thicknessText;
    case NumericValue::CrosshairLength: return r.crosshair.lengthText;
    case NumericValue::CrosshairThickness: return r.crosshair.thicknessText;
    case NumericValue::CrosshairAngle: return r.crosshair.angleText;
    case NumericValue::OffsetVertical: return r.centerOffset.verticalText;
    case NumericValue::OffsetHorizontal: return r.centerOffset.horizontalText;
  }
  return r.circle1.radiusText;  // unreachable
}

cv::Scalar colorToScalar(std::uint32_t colorRef) {
  return cv::Scalar(static_cast<double>((colorRef >> 16) & 0xFF), static_cast<double>((colorRef >> 8) & 0xFF),
                    static_cast<double>(colorRef & 0xFF), 0.0);
}

const std::array<DefaultColor, 4>& defaultColors() { return colors; }

cv::Scalar& drawColorOf(OverlayRecords& r, ColoredElement element) {
  switch (element) {
    case ColoredElement::Circle2: return r.circle2.drawColor;
    case ColoredElement::Circle1: return r.circle1.drawColor;
    case ColoredElement::Circle3: return r.circle3.drawColor;
    case ColoredElement::Crosshair: return r.crosshair.drawColor;
  }
  return r.circle1.drawColor;  // unreachable
}
