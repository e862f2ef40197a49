#pragma once

#include <array>

// Control identifiers of the main dialog (template 102) and the video window
// (template 135). Named after what the control is for.
namespace ctl {

inline constexpr int DialogOk = 1;
inline constexpr int CloseProgram = 2;  // the dialog's cancel command
inline constexpr int OpenCamera = 1000;
inline constexpr int CloseCamera = 1001;
inline constexpr int Circle2Color = 1004;
inline constexpr int CameraSettings = 1005;
inline constexpr int Circle2RadiusSlider = 1006;
inline constexpr int Circle2RadiusField = 1007;
inline constexpr int Circle2ThicknessField = 1009;
inline constexpr int Circle2ThicknessSlider = 1011;
inline constexpr int Circle1Color = 1012;
inline constexpr int Circle2Enable = 1013;
inline constexpr int Circle1Enable = 1014;
inline constexpr int Circle1RadiusSlider = 1015;
inline constexpr int OffsetEnable = 1016;
inline constexpr int Circle1ThicknessSlider = 1017;
inline constexpr int Circle1ThicknessField = 1018;
inline constexpr int OffsetVerticalField = 1019;
inline constexpr int Circle1RadiusField = 1020;
inline constexpr int Circle3RadiusSlider = 1021;
inline constexpr int OffsetVerticalSlider = 1022;
inline constexpr int Circle3ThicknessSlider = 1023;
inline constexpr int Circle3ThicknessField = 1024;
inline constexpr int OffsetHorizontalField = 1025;
inline constexpr int Circle3RadiusField = 1026;
inline constexpr int Circle3Enable = 1027;
inline constexpr int Circle3Color = 1028;
inline constexpr int CrosshairEnable = 1029;
inline constexpr int CrosshairColor = 1030;
inline constexpr int CrosshairLengthSlider = 1031;
inline constexpr int OffsetHorizontalSlider = 1032;
inline constexpr int CrosshairThicknessSlider = 1033;
inline constexpr int CrosshairThicknessField = 1034;
inline constexpr int CrosshairLengthField = 1036;
inline constexpr int CrosshairAngleSlider = 1037;
inline constexpr int CrosshairAngleField = 1038;
inline constexpr int SaveParameters = 1040;
inline constexpr int Picture = 1041;  // video window

// The controls usable only while a capture run is active, in the order in
// which start-up disables them.
inline constexpr std::array<int, 34> captureControls = {
    CameraSettings,         CloseCamera,           OffsetEnable,
    OffsetVerticalField,    OffsetHorizontalField, OffsetVerticalSlider,
    OffsetHorizontalSlider, Circle1Enable,         Circle2Enable,
    Circle3Enable,          CrosshairEnable,       SaveParameters,
    Circle2RadiusField,     Circle2ThicknessField, Circle1RadiusField,
    Circle1ThicknessField,  Circle3RadiusField,    Circle3ThicknessField,
    CrosshairLengthField,   CrosshairThicknessField, CrosshairAngleField,
    Circle2Color,           CrosshairColor,        Circle1Color,
    Circle3Color,           Circle2RadiusSlider,   Circle2ThicknessSlider,
    Circle3RadiusSlider,    Circle3ThicknessSlider, Circle1RadiusSlider,
    Circle1ThicknessSlider, CrosshairLengthSlider, CrosshairThicknessSlider,
    CrosshairAngleSlider,
};

}  // namespace ctl
