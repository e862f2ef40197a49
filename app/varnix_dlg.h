#pragma once

#include <functional>
#include <memory>
#include <span>

#include "app/camera_controls_window.h"
#include "camera/camera_system.h"
#include "overlay/overlay_records.h"
#include "platform/dialog.h"
#include "platform/icon.h"

// The main control dialog: camera buttons, the overlay panel and the save
// button. The whole program runs inside it; the capture run with its frame
// loop runs inside the open-camera handler.
//
// Its code is spread over a few files:
//   varnix_dlg.cpp          construction, initialisation, data exchange, message map
//   varnix_dlg_closing.cpp  the ways the dialog and a capture run end
//   varnix_dlg_capture.cpp  open, close and set up the camera; save the parameters
//   varnix_dlg_panel.cpp    sliders, number fields and colour buttons
class MeasureAndSnapshot;
class movie;
struct SliderSetup;

class CVarnixDlg : public Dialog {
 public:
  explicit CVarnixDlg(CameraSystem& cameraSystem);
  ~CVarnixDlg() override;

  // Colour buttons back to their defaults, and the drawing colours derived
  // from what the buttons then show.
  void applyDefaultColors();

  Icon m_hIcon;
  std::unique_ptr<CaptureDevice> capture;  // null or closed until a capture run opens it
  FocusPoint focusPoint;
  int captureRunning = 0;
  OverlayRecords records;  // circle1, circle2, circle3, crosshair, centerOffset

  // One pass of the frame loop after the frame has been read: pull the
  // controls, draw the overlay, show the viewport.
  void framePass();
  // Passes made since the program started, for tests and measurements.
  long passCount = 0;
  // Called at the end of every pass, once the picture is presented; for
  // measurements. Empty in the program.
  std::function<void()> afterPass;

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(DataExchange& dx) override;
  MessageMap GetMessageMap() const override;
  void OnClose() override;
  void OnHScroll(ScrollCode code, int position, int controlId) override;
  // Ctrl+S takes a snapshot while a capture run goes on.
  bool OnLetterKey(char letter, unsigned keyFlags, KeyRepeat repeat) override;

  // Commands.
  void OnDialogOk();
  void OnCloseProgram();
  void OnOpenCamera();
  void OnCloseCamera();
  void OnCameraSettings();
  void OnSaveParameters();

  // A colour picked with a colour button.
  void OnCircle1Color();
  void OnCircle2Color();
  void OnCircle3Color();
  void OnCrosshairColor();

  // The text of a number field changed.
  void OnChangeCircle1Radius();
  void OnChangeCircle1Thickness();
  void OnChangeCircle2Radius();
  void OnChangeCircle2Thickness();
  void OnChangeCircle3Radius();
  void OnChangeCircle3Thickness();
  void OnChangeCrosshairLength();
  void OnChangeCrosshairThickness();
  void OnChangeCrosshairAngle();
  void OnChangeOffsetVertical();
  void OnChangeOffsetHorizontal();

  CameraSystem& cameraSystem;

 private:
  // Clears the device list, discovers and matches; without a known camera
  // shows why and ends the process.
  void discoverKnownCameraOrExit();
  enum class ControlsAfterRun { Unchanged, Disabled };
  // The teardown both close commands share: the video window goes, then the
  // capture controls when asked, the settings window and the camera. A frame
  // loop waiting between passes finds the camera closed and returns.
  void endCaptureRun(ControlsAfterRun controls);
  void setUpSliders(std::span<const SliderSetup> setups);
  void enableCaptureControls(bool enable);
  bool captureIsRunning() const;
  void createVideoWindow(float aspectRatio);

  // The latest capture run's video window; videoWindow points at it.
  std::unique_ptr<movie> videoWindowStorage;
  // The live measurement and the snapshots of the running capture run.
  std::unique_ptr<MeasureAndSnapshot> measureAndSnapshot;
  // The camera-controls window of the open camera, at most one.
  CameraSettingsWindowKeeper cameraSettings{nullptr};
};
