#include "app/app_globals.h"
#include "app/measure_and_snapshot.h"
#include "app/varnix_dlg.h"
#include "video/movie.h"

// The close-program button, Esc, the window's close button and Alt+F4 all end
// here: the video window goes, the camera is released, the dialog ends. A
// capture run waiting in its frame loop finds the camera closed and returns.
void CVarnixDlg::OnCloseProgram() {
  endCaptureRun(ControlsAfterRun::Unchanged);
  OnCancel();
}

void CVarnixDlg::endCaptureRun(ControlsAfterRun controls) {
  if (videoWindow != nullptr) videoWindow->DestroyWindow();
  if (controls == ControlsAfterRun::Disabled) enableCaptureControls(false);
  cameraSettings.close();  // the settings window must not outlive the controls it edits
  if (capture) capture->release();
  // Writes what is queued, then its thread ends.
  measureAndSnapshot.reset();
}

// The close button turns into the cancel command, which is OnCloseProgram.
void CVarnixDlg::OnClose() {
  Dialog::OnClose();
}

// Enter outside a push button: pull the controls and end the dialog. Neither
// the camera nor the video window is touched. During a capture run Enter does
// nothing: ending the dialog then would leave the camera open and the video
// window up with no way left to end the program.
void CVarnixDlg::OnDialogOk() {
  if (captureIsRunning()) return;
  OnOK();
}
