#include "app/control_bindings.h"
#include "app/varnix_dlg.h"
#include "overlay/panel_values.h"
#include "platform/color_button.h"

// The overlay panel's reaction to the user. The slider position is the value
// and the number field only mirrors it, so a slider move rewrites the fields,
// and a field edit settles on a value in bounds and moves its slider there.
//
// The pushes below write field texts; the dialog layer discards what the
// fields report during an exchange, and setting a slider from code reports
// nothing, so no handler here ever starts another.

namespace {

// One edit handler serves all eleven fields; they differ only in the value.
void settleField(CVarnixDlg& dialog, NumericValue value) {
  if (!dialog.UpdateData(true)) return;  // a half-read panel is not worth pushing back
  settleFieldText(dialog.records, value);
  (void)dialog.UpdateData(false);
}

void takeButtonColor(CVarnixDlg& dialog, ColoredElement element) {
  const ColorButton* button = dialog.colorButton(colorButtonOf(element));
  if (button == nullptr) return;
  drawColorOf(dialog.records, element) = colorToScalar(button->GetColor());
}

}  // namespace

void CVarnixDlg::OnHScroll(ScrollCode code, int position, int controlId) {
  // Whichever slider moved and however, every field is brought into line:
  // a field whose edit was lost shows its slider again after any move.
  if (UpdateData(true)) {
    writeTextsFromValues(records);
    (void)UpdateData(false);
  }
  Dialog::OnHScroll(code, position, controlId);
}

// A colour pick changes only the drawing colour; the fields and sliders stay
// as they are until the next exchange.
void CVarnixDlg::OnCircle1Color() {
  takeButtonColor(*this, ColoredElement::Circle1);
}
void CVarnixDlg::OnCircle2Color() {
  takeButtonColor(*this, ColoredElement::Circle2);
}
void CVarnixDlg::OnCircle3Color() {
  takeButtonColor(*this, ColoredElement::Circle3);
}
void CVarnixDlg::OnCrosshairColor() {
  takeButtonColor(*this, ColoredElement::Crosshair);
}

void CVarnixDlg::OnChangeCircle1Radius() {
  settleField(*this, NumericValue::Circle1Radius);
}
void CVarnixDlg::OnChangeCircle1Thickness() {
  settleField(*this, NumericValue::Circle1Thickness);
}
void CVarnixDlg::OnChangeCircle2Radius() {
  settleField(*this, NumericValue::Circle2Radius);
}
void CVarnixDlg::OnChangeCircle2Thickness() {
  settleField(*this, NumericValue::Circle2Thickness);
}
void CVarnixDlg::OnChangeCircle3Radius() {
  settleField(*this, NumericValue::Circle3Radius);
}
void CVarnixDlg::OnChangeCircle3Thickness() {
  settleField(*this, NumericValue::Circle3Thickness);
}
void CVarnixDlg::OnChangeCrosshairLength() {
  settleField(*this, NumericValue::CrosshairLength);
}
void CVarnixDlg::OnChangeCrosshairThickness() {
  settleField(*this, NumericValue::CrosshairThickness);
}
void CVarnixDlg::OnChangeCrosshairAngle() {
  settleField(*this, NumericValue::CrosshairAngle);
}
void CVarnixDlg::OnChangeOffsetVertical() {
  settleField(*this, NumericValue::OffsetVertical);
}
void CVarnixDlg::OnChangeOffsetHorizontal() {
  settleField(*this, NumericValue::OffsetHorizontal);
}
