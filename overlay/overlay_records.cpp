#include "overlay/overlay_records.h"

namespace {

constexpr std::array<NumericValueInfo, numericValueCount> table = {{
    {NumericValue::Circle1Radius, 1, 4000, 150},
    {NumericValue::Circle1Thickness, 1, 4, 1},
    {NumericValue::Circle2Radius, 1, 4000, 100},
    {NumericValue::Circle2Thickness, 1, 4, 1},
    {NumericValue::Circle3Radius, 1, 4000, 50},
    {NumericValue::Circle3Thickness, 1, 4, 1},
    {NumericValue::CrosshairLength, 1, 4000, 100},
    {NumericValue::CrosshairThickness, 1, 4, 1},
    {NumericValue::CrosshairAngle, 0, 900, 0},
    {NumericValue::OffsetVertical, -20, 20, 0},
    {NumericValue::OffsetHorizontal, -20, 20, 0},
}};

constexpr std::array<DefaultColor, 4> colors = {{
    {ColoredElement::Circle2, 0x0000FF},    // red
    {ColoredElement::Circle1, 0x00FF00},    // green
    {ColoredElement::Circle3, 0xFF0000},    // blue
    {ColoredElement::Crosshair, 0xFF00FF},  // magenta
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
