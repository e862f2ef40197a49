#include "app/varnix_dlg.h"

// The capture run fills these: the overlay panel's reaction to sliders,
// number fields and colour picks.

void CVarnixDlg::OnHScroll(ScrollCode /*code*/, int /*position*/, int /*controlId*/) {}

void CVarnixDlg::OnCircle1Color() {}
void CVarnixDlg::OnCircle2Color() {}
void CVarnixDlg::OnCircle3Color() {}
void CVarnixDlg::OnCrosshairColor() {}

void CVarnixDlg::OnChangeCircle1Radius() {}
void CVarnixDlg::OnChangeCircle1Thickness() {}
void CVarnixDlg::OnChangeCircle2Radius() {}
void CVarnixDlg::OnChangeCircle2Thickness() {}
void CVarnixDlg::OnChangeCircle3Radius() {}
void CVarnixDlg::OnChangeCircle3Thickness() {}
void CVarnixDlg::OnChangeCrosshairLength() {}
void CVarnixDlg::OnChangeCrosshairThickness() {}
void CVarnixDlg::OnChangeCrosshairAngle() {}
void CVarnixDlg::OnChangeOffsetVertical() {}
void CVarnixDlg::OnChangeOffsetHorizontal() {}
