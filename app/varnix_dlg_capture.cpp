#include "app/varnix_dlg.h"

// The capture run fills these: open the camera and run the frame loop, close
// it, ask the camera for its settings, and save the overlay parameters.

void CVarnixDlg::OnOpenCamera() {}

void CVarnixDlg::OnCloseCamera() {}

void CVarnixDlg::OnCameraSettings() {}

void CVarnixDlg::OnSaveParameters() {}
