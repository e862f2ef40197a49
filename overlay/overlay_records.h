#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <opencv2/core/types.hpp>

// The overlay parameters held by the main dialog. The slider position is the
// value; the text is the number field's mirror of it ("%d").

struct OverlayCircle {
  int enabled = 0;
  int radius = 0;
  int thickness = 0;
  cv::Scalar drawColor;
  std::string radiusText;
  std::string thicknessText;
};

struct Crosshair {
  int enabled = 0;
  int length = 0;
  int thickness = 0;
  int angle = 0;  // tenths of a degree
  cv::Scalar drawColor;
  std::string lengthText;
  std::string thicknessText;
  std::string angleText;
};

struct CenterOffset {
  int enabled = 0;
  int vertical = 0;    // added to the row of the centre; positive moves down
  int horizontal = 0;  // added to the column; positive moves right
  std::string verticalText;
  std::string horizontalText;
};

// The calibrated optical centre in full-frame pixels.
struct FocusPoint {
  float x = 0.0f;
  float y = 0.0f;
};

struct OverlayRecords {
  OverlayCircle circle1;
  OverlayCircle circle2;
  OverlayCircle circle3;
  Crosshair crosshair;
  CenterOffset centerOffset;
};

// The eleven numeric values, in the order of the parameter file.
enum class NumericValue {
  Circle1Radius,
  Circle1Thickness,
  Circle2Radius,
  Circle2Thickness,
  Circle3Radius,
  Circle3Thickness,
  CrosshairLength,
  CrosshairThickness,
  CrosshairAngle,
  OffsetVertical,
  OffsetHorizontal,
};

struct NumericValueInfo {
  NumericValue value;
  int lowerBound;
  int upperBound;
  int startValue;  // set by the dialog's initialisation
};

inline constexpr int numericValueCount = 11;

// One row per value, in file order, with the bounds the number fields clamp to.
const std::array<NumericValueInfo, numericValueCount>& numericValueTable();
const NumericValueInfo& numericValueInfo(NumericValue value);

int& numericValue(OverlayRecords& records, NumericValue value);
int numericValue(const OverlayRecords& records, NumericValue value);
std::string& numericText(OverlayRecords& records, NumericValue value);

// (blue, green, red, 0) from a colour as the colour buttons hold it: red in
// the low byte, then green, then blue.
cv::Scalar colorToScalar(std::uint32_t colorRef);

// The elements that carry a colour, in the order their defaults are applied.
enum class ColoredElement { Circle2, Circle1, Circle3, Crosshair };

struct DefaultColor {
  ColoredElement element;
  std::uint32_t color;  // as colorToScalar takes it
};

const std::array<DefaultColor, 4>& defaultColors();

cv::Scalar& drawColorOf(OverlayRecords& records, ColoredElement element);
