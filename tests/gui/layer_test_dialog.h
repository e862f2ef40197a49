#pragma once

// A small dialog for exercising the dialog layer: one control of each kind,
// handlers that log what reached them, and a data exchange over all of it.

#include <array>
#include <string>
#include <vector>

#include "platform/dialog.h"

namespace layer_test {

inline constexpr int ApplyButton = 10;
inline constexpr int Field = 11;
inline constexpr int Slider = 12;
inline constexpr int Check = 13;
inline constexpr int Color = 14;
inline constexpr int OtherButton = 15;
inline constexpr int Picture = 16;

using namespace control_style;

inline constexpr std::array<ControlTemplate, 8> controls = {{
    {ApplyButton, ControlKind::PushButton, "Apply", {4, 4, 40, 14}, TabStop},
    {-1, ControlKind::StaticText, "Value", {4, 22, 30, 8}, Group},
    {Field, ControlKind::NumberField, "", {40, 20, 30, 14}, TabStop | Border | DigitsOnly | AutoHScroll},
    {Slider, ControlKind::Slider, "", {4, 40, 80, 10}, TabStop | NoTicks},
    {Check, ControlKind::CheckBox, "Enable", {4, 54, 40, 10}, TabStop},
    {Color, ControlKind::ColorButton, "", {50, 54, 40, 14}, TabStop},
    {OtherButton, ControlKind::PushButton, "Other", {4, 70, 40, 14}, TabStop},
    {Picture, ControlKind::Picture, "", {4, 90, 80, 40}, BlackFrame},
}};

inline constexpr std::array<ColorButtonInit, 1> colorButtons = {{
    {Color, {.otherColorsButton = true, .columns = 5}},
}};

inline constexpr DialogTemplate layerTemplate{
    .id = 900,
    .caption = "Layer",
    .rect = {0, 0, 100, 140},
    .fontFamily = "MS Shell Dlg",
    .fontPointSize = 9,
    .style = window_style::Caption | window_style::SystemMenu | window_style::ModalFrame |
             window_style::HScroll | window_style::VScroll,
    .controls = controls,
    .colorButtons = colorButtons,
};

struct ScrollEvent {
  ScrollCode code;
  int position;     // as the notification carried it
  int pulledValue;  // what a pull inside the handler found
  int controlId;
};

class LayerDialog : public Dialog {
 public:
  LayerDialog() : Dialog(layerTemplate) {}

  // Members bound by the exchange.
  int sliderValue = 0;
  std::string fieldText;
  int checked = 0;

  std::vector<std::string> fieldTextsSeen;  // one entry per change notification
  std::vector<ScrollEvent> scrolls;
  std::vector<std::string> log;  // handler names in call order
  int initCount = 0;

  using Dialog::OnInitDialog;

 protected:
  bool OnInitDialog() override {
    ++initCount;
    return Dialog::OnInitDialog();
  }

  void DoDataExchange(DataExchange& dx) override {
    DDX_Slider(dx, Slider, sliderValue);
    DDX_Text(dx, Field, fieldText);
    DDX_Check(dx, Check, checked);
  }

  MessageMap GetMessageMap() const override {
    static constexpr CommandEntry map[] = {
        onClicked<&LayerDialog::OnApply>(ApplyButton),
        onEditChange<&LayerDialog::OnChangeField>(Field),
        onClicked<&LayerDialog::OnCheck>(Check),
        onClicked<&LayerDialog::OnColor>(Color),
    };
    return map;
  }

  void OnHScroll(ScrollCode code, int position, int controlId) override {
    UpdateData(true);
    scrolls.push_back({code, position, sliderValue, controlId});
  }

  void OnOK() override {
    log.push_back("OnOK");
    Dialog::OnOK();
  }
  void OnCancel() override {
    log.push_back("OnCancel");
    Dialog::OnCancel();
  }
  void OnClose() override {
    log.push_back("OnClose");
    Dialog::OnClose();
  }
  void OnLButtonDown(unsigned, MousePoint point) override {
    log.push_back("OnLButtonDown " + std::to_string(point.x) + "," + std::to_string(point.y));
  }

 private:
  void OnApply() { log.push_back("OnApply"); }
  void OnChangeField() {
    UpdateData(true);
    fieldTextsSeen.push_back(fieldText);
  }
  void OnCheck() { log.push_back("OnCheck"); }
  void OnColor() { log.push_back("OnColor"); }
};

}  // namespace layer_test
