#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The schema of dialog templates: every window of a program built on this
// layer is described by one of these tables, the way a resource file
// describes a dialog. Rectangles are in dialog units, so the layout scales
// with the dialog font.

enum class ControlKind {
  PushButton,
  GroupBox,
  CheckBox,
  ColorButton,
  Slider,
  NumberField,
  StaticText,
  Picture,
};

// Styles that change how a control behaves; anything purely cosmetic is left out.
namespace control_style {
inline constexpr std::uint32_t TabStop = 1u << 0;      // reachable with Tab
inline constexpr std::uint32_t Group = 1u << 1;        // starts a group of controls
inline constexpr std::uint32_t Border = 1u << 2;       // thin border around a field
inline constexpr std::uint32_t DigitsOnly = 1u << 3;   // typed input accepts digits only
inline constexpr std::uint32_t AutoHScroll = 1u << 4;  // a field scrolls instead of refusing long text
inline constexpr std::uint32_t NoTicks = 1u << 5;      // a slider draws no tick marks
inline constexpr std::uint32_t BlackFrame = 1u << 6;   // a picture shows a black frame
}  // namespace control_style

namespace window_style {
inline constexpr std::uint32_t Visible = 1u << 0;     // shown as soon as it is created
inline constexpr std::uint32_t Caption = 1u << 1;     // has a title bar
inline constexpr std::uint32_t SystemMenu = 1u << 2;  // title bar carries the close button
inline constexpr std::uint32_t ModalFrame = 1u << 3;  // fixed-size dialog frame
inline constexpr std::uint32_t ThickFrame = 1u << 4;  // the user can resize the window
inline constexpr std::uint32_t HScroll = 1u << 5;     // standard horizontal scroll bar
inline constexpr std::uint32_t VScroll = 1u << 6;     // standard vertical scroll bar
inline constexpr std::uint32_t AppWindow = 1u << 7;   // shows up in the task bar
}  // namespace window_style

struct DialogRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The id of controls nobody refers to (group boxes, labels); several may share it.
inline constexpr int noControlId = -1;

struct ControlTemplate {
  int id = 0;  // noControlId for controls nobody refers to
  ControlKind kind = ControlKind::StaticText;
  std::string_view caption;
  DialogRect rect;
  std::uint32_t style = 0;  // control_style bits
};

// What a colour button's palette offers.
struct ColorButtonOptions {
  bool otherColorsButton = false;  // a button that opens the full colour dialog
  int columns = 0;                 // colours per palette row
};

struct ColorButtonInit {
  int controlId = 0;
  ColorButtonOptions options;
};

struct DialogTemplate {
  int id = 0;
  std::string_view caption;
  DialogRect rect;
  std::string_view fontFamily;
  int fontPointSize = 0;
  std::uint32_t style = 0;                    // window_style bits
  std::span<const ControlTemplate> controls;  // template order is the tab order
  std::span<const ColorButtonInit> colorButtons;
};

const ControlTemplate* findControl(const DialogTemplate& dialog, int controlId);
const ColorButtonOptions* findColorButtonOptions(const DialogTemplate& dialog, int controlId);
