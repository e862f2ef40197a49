#pragma once

#include <array>

#include "overlay/overlay_records.h"

// How the overlay sliders are set up: range, tick frequency and whether the
// slider is put on its value then, in the order they are set up.
struct SliderSetup {
  NumericValue value;
  int minimum;
  int maximum;
  int ticFrequency;
  bool setsPosition;
};

// At start-up. The radius and length ranges grow once a camera is opened.
inline constexpr std::array<SliderSetup, numericValueCount> startSliders = {{
    {NumericValue::Circle2Radius, 1, 1000, 10, true},
    {NumericValue::Circle2Thickness, 1, 4, 1, false},
    {NumericValue::Circle1Radius, 1, 1000, 10, true},
    {NumericValue::OffsetVertical, -20, 20, 10, true},
    {NumericValue::OffsetHorizontal, -20, 20, 10, true},
    {NumericValue::Circle1Thickness, 1, 4, 1, false},
    {NumericValue::Circle3Radius, 1, 1000, 10, true},
    {NumericValue::Circle3Thickness, 1, 4, 1, false},
    {NumericValue::CrosshairLength, 1, 1000, 10, false},
    {NumericValue::CrosshairThickness, 1, 4, 1, false},
    {NumericValue::CrosshairAngle, 0, 900, 10, false},
}};

// At every opening of the camera, whatever the model; the centre-offset
// sliders keep their start-up set-up.
inline constexpr std::array<SliderSetup, 9> runSliders = {{
    {NumericValue::Circle2Radius, 1, 4000, 10, true},
    {NumericValue::Circle2Thickness, 1, 4, 1, false},
    {NumericValue::Circle1Radius, 1, 4000, 10, true},
    {NumericValue::Circle1Thickness, 1, 4, 1, false},
    {NumericValue::Circle3Radius, 1, 4000, 10, true},
    {NumericValue::Circle3Thickness, 1, 4, 1, false},
    {NumericValue::CrosshairLength, 1, 4000, 10, true},
    {NumericValue::CrosshairThickness, 1, 4, 1, false},
    {NumericValue::CrosshairAngle, 0, 900, 10, false},
}};
