#include "res/dialog_templates.h"

#include <array>

#include "res/control_ids.h"

namespace {

using namespace control_style;

constexpr std::uint32_t kTabStop = TabStop;
constexpr std::uint32_t kSliderStyle = TabStop | NoTicks;
constexpr std::uint32_t kFieldStyle = TabStop | Border | DigitsOnly | AutoHScroll;
constexpr std::uint32_t kStaticStyle = Group;

// Main dialog, template 102. Template order is the tab order, which is why
// circle 2's controls come before circle 1's.
constexpr std::array<ControlTemplate, 53> mainControls = {{
    {ctl::CloseProgram, ControlKind::PushButton, "关闭程序", {67, 40, 55, 14}, kTabStop},
    {ctl::OpenCamera, ControlKind::PushButton, "开启摄像头", {7, 24, 55, 14}, kTabStop},
    {ctl::CloseCamera, ControlKind::PushButton, "关闭摄像头", {67, 24, 54, 14}, kTabStop},
    {ctl::Circle2Color, ControlKind::ColorButton, "", {67, 180, 50, 14}, kTabStop},
    {ctl::CameraSettings, ControlKind::PushButton, "摄像头设置", {7, 40, 54, 14}, kTabStop},
    {noControlId, ControlKind::GroupBox, "圈1设置", {8, 112, 119, 57}, 0},
    {noControlId, ControlKind::GroupBox, "圈2设置", {8, 171, 119, 57}, 0},
    {noControlId, ControlKind::GroupBox, "圈3设置", {8, 231, 119, 57}, 0},
    {ctl::Circle2RadiusSlider, ControlKind::Slider, "", {71, 199, 55, 10}, kSliderStyle},
    {noControlId, ControlKind::StaticText, "半  径", {14, 200, 19, 8}, kStaticStyle},
    {noControlId, ControlKind::StaticText, "粗  细", {14, 214, 19, 8}, kStaticStyle},
    {ctl::Circle2ThicknessSlider, ControlKind::Slider, "", {71, 213, 55, 10}, kSliderStyle},
    {ctl::Circle2Enable, ControlKind::CheckBox, "启  用", {22, 181, 34, 10}, kTabStop},
    {ctl::Circle2ThicknessField, ControlKind::NumberField, "", {40, 211, 29, 14}, kFieldStyle},
    {ctl::Circle2RadiusField, ControlKind::NumberField, "", {40, 196, 29, 14}, kFieldStyle},
    {ctl::Circle1Enable, ControlKind::CheckBox, "启  用", {23, 123, 34, 10}, kTabStop},
    {ctl::Circle1Color, ControlKind::ColorButton, "", {67, 121, 50, 14}, kTabStop},
    {ctl::Circle1RadiusSlider, ControlKind::Slider, "", {71, 140, 55, 10}, kSliderStyle},
    {noControlId, ControlKind::StaticText, "半  径", {14, 140, 19, 8}, kStaticStyle},
    {noControlId, ControlKind::StaticText, "粗  细", {14, 155, 19, 8}, kStaticStyle},
    {ctl::Circle1ThicknessSlider, ControlKind::Slider, "", {71, 155, 55, 10}, kSliderStyle},
    {ctl::Circle1ThicknessField, ControlKind::NumberField, "", {40, 152, 28, 14}, kFieldStyle},
    {ctl::Circle1RadiusField, ControlKind::NumberField, "", {40, 137, 28, 14}, kFieldStyle},
    {ctl::Circle3RadiusSlider, ControlKind::Slider, "", {71, 259, 55, 10}, kSliderStyle},
    {noControlId, ControlKind::StaticText, "半  径", {14, 260, 19, 8}, kStaticStyle},
    {noControlId, ControlKind::StaticText, "粗  细", {14, 273, 19, 8}, kStaticStyle},
    {ctl::Circle3ThicknessSlider, ControlKind::Slider, "", {71, 274, 55, 10}, kSliderStyle},
    {ctl::Circle3ThicknessField, ControlKind::NumberField, "", {40, 271, 28, 14}, kFieldStyle},
    {ctl::Circle3RadiusField, ControlKind::NumberField, "", {40, 256, 28, 14}, kFieldStyle},
    {ctl::Circle3Enable, ControlKind::CheckBox, "启  用", {21, 241, 34, 10}, kTabStop},
    {ctl::Circle3Color, ControlKind::ColorButton, "", {67, 240, 50, 14}, kTabStop},
    {noControlId, ControlKind::GroupBox, "准星设置", {8, 290, 119, 72}, 0},
    {ctl::CrosshairEnable, ControlKind::CheckBox, "启  用", {22, 300, 34, 10}, kTabStop},
    {ctl::CrosshairColor, ControlKind::ColorButton, "", {67, 299, 50, 14}, kTabStop},
    {ctl::CrosshairLengthSlider, ControlKind::Slider, "", {71, 317, 55, 10}, kSliderStyle},
    {noControlId, ControlKind::StaticText, "长  度", {14, 317, 19, 8}, kStaticStyle},
    {noControlId, ControlKind::StaticText, "粗  细", {15, 333, 19, 8}, kStaticStyle},
    {ctl::CrosshairThicknessSlider, ControlKind::Slider, "", {71, 333, 55, 10}, kSliderStyle},
    {ctl::CrosshairThicknessField, ControlKind::NumberField, "", {40, 330, 28, 14}, kFieldStyle},
    {ctl::CrosshairLengthField, ControlKind::NumberField, "", {40, 315, 28, 14}, kFieldStyle},
    {noControlId, ControlKind::StaticText, "角  度", {15, 348, 19, 8}, kStaticStyle},
    {ctl::CrosshairAngleSlider, ControlKind::Slider, "", {71, 348, 55, 10}, kSliderStyle},
    {ctl::CrosshairAngleField, ControlKind::NumberField, "", {40, 345, 28, 14}, kFieldStyle},
    {noControlId, ControlKind::StaticText, "摄像头", {16, 9, 22, 8}, kStaticStyle},
    {noControlId, ControlKind::StaticText, "VEXA Collimator", {56, 9, 50, 8}, kStaticStyle},
    {noControlId, ControlKind::StaticText, "上  下", {11, 79, 19, 8}, kStaticStyle},
    {ctl::OffsetVerticalField, ControlKind::NumberField, "", {37, 76, 32, 14}, kFieldStyle},
    {ctl::OffsetVerticalSlider, ControlKind::Slider, "", {69, 79, 55, 10}, kSliderStyle},
    {noControlId, ControlKind::StaticText, "左  右", {11, 94, 19, 8}, kStaticStyle},
    {ctl::OffsetHorizontalField, ControlKind::NumberField, "", {37, 93, 32, 14}, kFieldStyle},
    {ctl::OffsetHorizontalSlider, ControlKind::Slider, "", {69, 96, 55, 10}, kSliderStyle},
    {ctl::OffsetEnable, ControlKind::CheckBox, "启用圆心偏移", {35, 61, 57, 10}, kTabStop},
    {ctl::SaveParameters, ControlKind::PushButton, "保存参数", {31, 365, 72, 14}, kTabStop},
}};

// Every colour button's palette: a button for further colours, five colours
// per row.
constexpr ColorButtonOptions paletteOptions{.otherColorsButton = true, .columns = 5};

constexpr std::array<ColorButtonInit, 4> mainColorButtons = {{
    {ctl::Circle2Color, paletteOptions},
    {ctl::Circle1Color, paletteOptions},
    {ctl::Circle3Color, paletteOptions},
    {ctl::CrosshairColor, paletteOptions},
}};

constexpr DialogTemplate mainDialog{
    .id = mainDialogTemplateId,
    .caption = "VEXA",
    .rect = {0, 0, 139, 418},
    .fontFamily = "MS Shell Dlg",
    .fontPointSize = 9,
    .style = window_style::Visible | window_style::Caption | window_style::SystemMenu |
             window_style::ModalFrame | window_style::AppWindow,
    .controls = mainControls,
    .colorButtons = mainColorButtons,
};

// Video window, template 135: one picture that passes the mouse through to the
// window, which zooms and pans.
constexpr std::array<ControlTemplate, 1> videoControls = {{
    {ctl::Picture, ControlKind::Picture, "", {24, 12, 137, 113}, BlackFrame},
}};

constexpr DialogTemplate videoWindow{
    .id = videoWindowTemplateId,
    .caption = "Camera",
    .rect = {0, 0, 317, 183},
    .fontFamily = "MS Shell Dlg",
    .fontPointSize = 8,
    .style = window_style::Caption | window_style::ThickFrame | window_style::HScroll | window_style::VScroll,
    .controls = videoControls,
    .colorButtons = {},
};

}  // namespace

const DialogTemplate& mainDialogTemplate() {
  return mainDialog;
}

const DialogTemplate& videoWindowTemplate() {
  return videoWindow;
}

const DialogTemplate* findDialogTemplate(int templateId) {
  if (templateId == mainDialogTemplateId) return &mainDialog;
  if (templateId == videoWindowTemplateId) return &videoWindow;
  return nullptr;
}
